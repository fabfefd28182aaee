# Cross build for Windows with MinGW-w64, for the processor MINGW_PROCESSOR (x86_64 or i686) that
# the toolchain file including this one names. The posix thread model is needed: the
# win32-model GCC 12 has no std::mutex/std::thread and GoogleTest will not build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${MINGW_PROCESSOR}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PROCESSOR}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Without -static the DLL needs the MinGW runtime DLLs and Wine silently refuses it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
