# Cross build for 32-bit Windows: the same sources, for the DLL that 32-bit programs load (their
# Open and Save dialogs and their Properties of a file take only 32-bit shell extensions).
set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# The exports are __stdcall here (DllGetClassObject@12): the .def files name them undecorated,
# as on x64, and the linker is asked to match them up without a warning each.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT} -Wl,--enable-stdcall-fixup")
