# Cross build for Windows, 64-bit (x86_64) or 32-bit (i686): the shell extension DLL, its
# launcher, and the test and benchmark executables that run under Wine.
enable_language(RC)

set(WIN_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601
    _WIN32_IE=0x0800)
# oleacc after uuid: both define IID_IAccessible, and uuid's is the one to take.
set(WIN_LIBS comctl32 shell32 shlwapi ole32 oleaut32 uuid oleacc imm32 gdi32 user32 advapi32 kernel32)

# Everything of the DLL except its entry point and export table, so that the Wine tests can
# link the very same code and drive it directly.
file(GLOB WIN_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/hexedit/*.cpp
    ${CMAKE_SOURCE_DIR}/page/*.cpp
    ${CMAKE_SOURCE_DIR}/server/*.cpp)
list(FILTER WIN_SOURCES EXCLUDE REGEX ".*/server/dll_main\\.cpp$")
add_library(propweave_win STATIC ${WIN_SOURCES})
target_compile_definitions(propweave_win PUBLIC ${WIN_DEFINES})
target_include_directories(propweave_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(propweave_win PUBLIC hexcore ${WIN_LIBS})
target_compile_definitions(hexcore PUBLIC ${WIN_DEFINES})

set(RESOURCE_FILE ${CMAKE_SOURCE_DIR}/resources/propweave.rc)

# The DLL with the given version in its version resource.
function(add_propweave_dll target major minor patch)
    add_library(${target} SHARED
        ${CMAKE_SOURCE_DIR}/server/dll_main.cpp
        ${CMAKE_SOURCE_DIR}/server/exports.def
        ${RESOURCE_FILE})
    target_compile_definitions(${target} PRIVATE PROPWEAVE_VERSION_MAJOR=${major}
        PROPWEAVE_VERSION_MINOR=${minor} PROPWEAVE_VERSION_PATCH=${patch})
    target_link_libraries(${target} PRIVATE propweave_win)
    set_target_properties(${target} PROPERTIES PREFIX "")
endfunction()
add_propweave_dll(propweave ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH})

# The Windows Installer package (tools/install/propweave.wxs), built with msitools' wixl and
# finished with its msibuild (tools/install/build_msi.sh), in the 64-bit tree. It holds the
# 32-bit DLL too, built in a tree of its own (tools/build.sh builds that one first).
set(PROPWEAVE_DLL32 ${CMAKE_BINARY_DIR}/../win32/propweave.dll CACHE FILEPATH
    "The 32-bit tree's propweave.dll, for the package")
find_program(WIXL wixl)
find_program(MSIBUILD msibuild)
if(WIXL AND MSIBUILD AND PROPWEAVE_DLL32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/tools/install/build_msi.sh)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/propweave.msi
        COMMAND ${PACKAGE_SCRIPT} ${PROJECT_VERSION} $<TARGET_FILE:propweave> ${PROPWEAVE_DLL32}
            ${CMAKE_BINARY_DIR}/propweave.msi
        DEPENDS propweave ${PROPWEAVE_DLL32} ${PACKAGE_SCRIPT}
            ${CMAKE_SOURCE_DIR}/tools/install/propweave.wxs
            ${CMAKE_SOURCE_DIR}/tools/install/registration.wxi
            ${CMAKE_SOURCE_DIR}/resources/header_icon.ico VERBATIM)
    add_custom_target(propweave_msi ALL DEPENDS ${CMAKE_BINARY_DIR}/propweave.msi)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    message(STATUS "wixl, msibuild or PROPWEAVE_DLL32 missing: no Windows Installer package")
endif()

# Launcher: opens the shell's own Properties dialog for the given paths.
add_executable(propweave_launch ${CMAKE_SOURCE_DIR}/tools/launcher/launch_properties.cpp)
target_compile_definitions(propweave_launch PRIVATE ${WIN_DEFINES})
target_include_directories(propweave_launch PRIVATE ${CMAKE_SOURCE_DIR})
if(NOT MSVC)
    target_link_options(propweave_launch PRIVATE -municode) # MSVC finds wmain by itself
endif()
target_link_libraries(propweave_launch PRIVATE ${WIN_LIBS})

# GoogleTest: built from Debian's sources for the cross target; an installed package elsewhere
# (for instance with MSVC and vcpkg).
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(GTEST_LIBRARY gtest)
    set(GTEST_MAIN_LIBRARY gtest_main)
else()
    find_package(GTest REQUIRED)
    set(GTEST_LIBRARY GTest::gtest)
    set(GTEST_MAIN_LIBRARY GTest::gtest_main)
endif()

# The portable core's tests for this processor, run under Wine: the 32-bit tree builds them
# (tools/build.sh), so that arithmetic that holds only with 64-bit sizes fails there.
file(GLOB CORE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(core_tests EXCLUDE_FROM_ALL ${CORE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE hexcore ${GTEST_MAIN_LIBRARY})

file(GLOB WINE_TEST_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/wine/support/*.cpp)
add_executable(wine_tests ${WINE_TEST_SOURCES} ${RESOURCE_FILE})
target_include_directories(wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine)
target_link_libraries(wine_tests PRIVATE propweave_win ${GTEST_LIBRARY})
add_dependencies(wine_tests propweave propweave_launch)

# The package test, run by tools/test.sh in a Wine prefix of its own. It upgrades to a package
# of this copy of the DLL, version 99.0.0.
add_propweave_dll(propweave_next 99 0 0)
add_executable(installer_tests ${CMAKE_SOURCE_DIR}/tests/install/installer_test.cpp)
target_compile_definitions(installer_tests PRIVATE ${WIN_DEFINES})
target_include_directories(installer_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(installer_tests PRIVATE ${GTEST_MAIN_LIBRARY} msi psapi ${WIN_LIBS})
add_dependencies(installer_tests propweave_next propweave_launch)

# One timing harness per file under bench/wine, each with its own main().
file(GLOB WINE_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/wine/*_bench.cpp)
foreach(source ${WINE_BENCH_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/wine/support/test_window.cpp
        ${CMAKE_SOURCE_DIR}/tests/wine/support/properties_driver.cpp
        ${CMAKE_SOURCE_DIR}/tests/wine/support/message_box_recorder.cpp
        ${CMAKE_SOURCE_DIR}/tests/wine/support/unix_files.cpp ${RESOURCE_FILE})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_SOURCE_DIR}/bench/wine)
    target_link_libraries(${name} PRIVATE propweave_win)
    add_dependencies(${name} propweave propweave_launch)
endforeach()

# A stand-in HTML Help library beside the Wine tests that records the popups asked of it
# (Wine's own shows no text popups). The test run prefers it over the built-in one.
add_library(hhctrl_standin SHARED ${CMAKE_SOURCE_DIR}/tests/wine/hhctrl_standin/hhctrl_standin.cpp
    ${CMAKE_SOURCE_DIR}/tests/wine/hhctrl_standin/hhctrl_standin.def)
target_compile_definitions(hhctrl_standin PRIVATE ${WIN_DEFINES})
set_target_properties(hhctrl_standin PROPERTIES PREFIX "" OUTPUT_NAME "hhctrl" SUFFIX ".ocx")
add_dependencies(wine_tests hhctrl_standin)

# The floor of the properties timing: the page's template with a dialog procedure that does
# nothing, as a shell extension of its own.
add_library(floor_page SHARED ${CMAKE_SOURCE_DIR}/bench/wine/floor_page/floor_page.cpp
    ${CMAKE_SOURCE_DIR}/bench/wine/floor_page/floor_page.def ${RESOURCE_FILE})
target_compile_definitions(floor_page PRIVATE ${WIN_DEFINES})
target_include_directories(floor_page PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/bench/wine)
target_link_libraries(floor_page PRIVATE ${WIN_LIBS})
set_target_properties(floor_page PROPERTIES PREFIX "")
add_dependencies(properties_bench floor_page)
