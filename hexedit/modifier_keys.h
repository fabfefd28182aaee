// The modifier keys as the key and character handlers read them: held at the moment of the
// message, from the thread's key state.
#pragma once

#include <windows.h>

#include "hexedit/core/key_commands.h"

inline bool IsKeyHeld(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

// Ctrl as a command modifier: AltGr reports Ctrl+Alt, and what it types is a character.
inline bool CommandCtrlHeld() {
    return editing::IsCommandCtrl(IsKeyHeld(VK_CONTROL), IsKeyHeld(VK_MENU));
}
