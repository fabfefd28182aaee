# Cross build for 64-bit Windows: the DLL that Explorer and every 64-bit program load.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
