# Test executables: GoogleTest built by the same cross compiler, run under Wine
# through a wrapper that pins the build's own prefix.
set(ZARVO_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

include(GoogleTest)

file(GLOB ZARVO_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(zarvo_test_support STATIC ${ZARVO_SUPPORT_SOURCES})
target_include_directories(zarvo_test_support PUBLIC tests src)
target_link_libraries(zarvo_test_support PUBLIC zarvo gtest)
# The loopback HTTP server's sockets: the tests need them, the program never does.
target_link_libraries(zarvo_test_support PRIVATE ws2_32)
target_compile_definitions(zarvo_test_support PUBLIC
    ZARVO_DIST_DIR=L"${ZARVO_DIST_DIR}")

# The marker program that records how an item launched it.
add_executable(marker WIN32 tests/support/marker/marker.cpp)
target_link_libraries(marker PRIVATE shell32)
if(MINGW)
    target_link_options(marker PRIVATE -municode)
endif()

# Stand-ins for zvhook.dll that log their calls beside themselves (x86_64 only: the
# tests run there); tests copy one into a program folder as zvhook.dll.
add_library(fake_zvhook SHARED tests/support/fake_hook/fake_hook.cpp)
add_library(fake_zvhook_without_export SHARED tests/support/fake_hook/fake_hook.cpp)
target_compile_definitions(fake_zvhook_without_export PRIVATE FAKE_HOOK_WITHOUT_EXPORT=1)
set_target_properties(fake_zvhook fake_zvhook_without_export PROPERTIES PREFIX "")

# The test plug-in once more without "_OnEnter" and "_OnClick" (x86_64 only). The
# i686 one is looked for where scripts/test.sh builds it, so a test can show that a
# 32-bit plug-in takes no slot.
add_library(test_plugin_leave_only SHARED tests/support/test_plugin/test_plugin.cpp)
target_compile_definitions(test_plugin_leave_only PRIVATE TEST_PLUGIN_LEAVE_ONLY=1)
target_include_directories(test_plugin_leave_only PRIVATE src)
target_link_libraries(test_plugin_leave_only PRIVATE user32 kernel32)
set_target_properties(test_plugin_leave_only PROPERTIES PREFIX "")
set(ZARVO_I686_BUILD_DIR ${CMAKE_BINARY_DIR}/i686 CACHE PATH "The i686 build beside this one")
target_compile_definitions(zarvo_test_support PUBLIC
    ZARVO_I686_TEST_PLUGIN=L"${ZARVO_I686_BUILD_DIR}/test_plugin.dll")

# zarvo_add_suite(name PATTERNS glob... [LOCK] [RESOURCES name...]): one GoogleTest executable.
# LOCK marks suites that move the pointer, take the foreground or show any window:
# they share one resource lock so ctest -j never overlaps them. The others run beside
# them on the same desktop, so their tests fail when they show or activate a window,
# and a locked test fails when another program's window is still up as it starts
# (tests/support/desktop_watch.h). RESOURCES names further resource locks its tests
# hold, for state outside the build that two suites share (the user's Run key).
function(zarvo_add_suite name)
    cmake_parse_arguments(S "LOCK" "" "PATTERNS;EXCLUDE;RESOURCES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${S_PATTERNS})
    foreach(pattern IN LISTS S_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${pattern}")
    endforeach()
    # A suite whose folder has no tests yet is no suite.
    set(tests ${sources})
    list(FILTER tests EXCLUDE REGEX "environment\\.cpp$")
    if(NOT tests)
        return()
    endif()
    add_executable(${name} ${sources} tests/support/main/test_main.cpp resources/Tests.rc)
    target_link_libraries(${name} PRIVATE zarvo_test_support)
    set(props TIMEOUT 300)
    if(S_LOCK)
        list(APPEND props RESOURCE_LOCK desktop)
        target_compile_definitions(${name} PRIVATE ZARVO_DESKTOP_LOCK=1)
    else()
        # Such a suite fails a test that shows or activates a window (see desktop_watch.h).
        target_compile_definitions(${name} PRIVATE ZARVO_DESKTOP_LOCK=0)
    endif()
    # The suite's name leads each test's name, so "ctest -R dialogs" picks a suite.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_PREFIX "${name}."
                         PROPERTIES ${props})
    # A list survives no property of gtest_discover_tests: the further locks are set
    # by a script that ctest runs after the discovered tests are listed.
    if(S_RESOURCES)
        set(locks ${S_RESOURCES})
        if(S_LOCK)
            list(APPEND locks desktop)
        endif()
        set(script ${CMAKE_BINARY_DIR}/${name}_locks.cmake)
        file(WRITE ${script} "foreach(test IN LISTS ${name}_TESTS)\n"
                             "  set_tests_properties(\"\${test}\" PROPERTIES RESOURCE_LOCK \"${locks}\")\n"
                             "endforeach()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
    endif()
endfunction()

# Files named *_window_test.cpp create the real, topmost windows in-process.
zarvo_add_suite(core_tests PATTERNS tests/core/*.cpp EXCLUDE "_window_test\\.cpp$")
zarvo_add_suite(core_window_tests PATTERNS tests/core/*_window_test.cpp tests/core/environment.cpp LOCK)
zarvo_add_suite(popups_tests PATTERNS tests/popups/*.cpp tests/core/environment.cpp EXCLUDE "_window_test\\.cpp$")
zarvo_add_suite(popups_window_tests PATTERNS tests/popups/*_window_test.cpp tests/core/environment.cpp LOCK)
zarvo_add_suite(dialogs_tests PATTERNS tests/dialogs/*.cpp tests/core/environment.cpp EXCLUDE "_window_test\\.cpp$"
                RESOURCES run-key)
zarvo_add_suite(dialogs_window_tests PATTERNS tests/dialogs/*_window_test.cpp tests/core/environment.cpp LOCK)
zarvo_add_suite(e2e_tests PATTERNS tests/e2e/*.cpp LOCK RESOURCES run-key)
add_dependencies(e2e_tests dist marker fake_zvhook test_plugin)
add_dependencies(core_window_tests marker zvhook fake_zvhook fake_zvhook_without_export test_plugin
                 test_plugin_leave_only)
add_dependencies(popups_window_tests marker)
if(TARGET dialogs_window_tests)
    add_dependencies(dialogs_window_tests marker test_plugin)
endif()
# The default-skin checks and the shipped language files read the staged program folder.
add_dependencies(core_tests dist)
add_dependencies(dialogs_tests dist)

# Timings of the menu build and the compositor, run by scripts/bench.sh. Built with
# the tests so it always compiles; it is no test and ctest never runs it.
add_executable(menu_bench bench/menu_bench.cpp resources/Tests.rc)
target_link_libraries(menu_bench PRIVATE zarvo_test_support)
add_dependencies(menu_bench dist)

# The sub-menu renderer: a group built anew and from the cache, a listing's scroll step.
add_executable(sub_menu_bench bench/sub_menu_bench.cpp resources/Tests.rc)
target_link_libraries(sub_menu_bench PRIVATE zarvo_test_support)
add_dependencies(sub_menu_bench dist)

# The click effects and the deletion puff: a frame's cost and each effect's wall time.
add_executable(effects_bench bench/effects_bench.cpp resources/Tests.rc)
target_link_libraries(effects_bench PRIVATE zarvo_test_support)
add_dependencies(effects_bench dist)

# The settings dialog: its showing over 20 skins with previews, an Apply with a skin switch.
add_executable(settings_bench bench/settings_bench.cpp resources/Tests.rc)
target_link_libraries(settings_bench PRIVATE zarvo_test_support)
add_dependencies(settings_bench dist)

# Click-to-process-start latency of a launch of the marker program.
add_executable(launch_bench bench/launch_bench.cpp)
target_link_libraries(launch_bench PRIVATE zarvo_test_support)
add_dependencies(launch_bench marker)

# The index build beside a bare walk of the same tree, and a folder menu's fill and save.
add_executable(index_bench bench/index_bench.cpp resources/Tests.rc)
target_link_libraries(index_bench PRIVATE zarvo_test_support)
add_dependencies(index_bench dist)

# Start-button press to the pop-up menu shown, through the real zvhook.dll.
add_executable(popup_bench bench/popup_bench.cpp)
target_link_libraries(popup_bench PRIVATE zarvo_test_support)
add_dependencies(popup_bench dist)

# The quick-run box's search over a million-line Index.dat, through the real box.
add_executable(search_bench bench/search_bench.cpp resources/Tests.rc)
target_link_libraries(search_bench PRIVATE zarvo_test_support)
add_dependencies(search_bench dist)

# What LoadLanguage adds to start-up: the shipped translation and a 1 MiB file.
add_executable(language_bench bench/language_bench.cpp resources/Tests.rc)
target_link_libraries(language_bench PRIVATE zarvo_test_support)
add_dependencies(language_bench dist)
