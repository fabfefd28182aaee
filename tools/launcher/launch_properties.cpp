#include <windows.h>

int wmain() { return 0; }
