# Shared build helpers: warnings for our own code, area inclusion and test registration.

add_library(corvane_warnings INTERFACE)
target_compile_options(corvane_warnings INTERFACE -Wall -Wextra)

# Adds each listed folder that has a CMakeLists.txt of its own.
function(corvane_add_areas)
    foreach(area IN LISTS ARGN)
        if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt")
            add_subdirectory(${area})
        endif()
    endforeach()
endfunction()

# Every test process gets a HOME (and XDG folders) of its own under the build tree,
# so nothing a test does can reach the real user's files.
set(CORVANE_TEST_HOME "${CMAKE_BINARY_DIR}/test-home")

# corvane_add_test_program(NAME name SOURCES ... LIBS ... [JUCE])
#   Builds a test program; JUCE links the JUCE test main (message thread initialised)
#   instead of gtest_main.
function(corvane_add_test_program)
    cmake_parse_arguments(T "JUCE" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} corvane_warnings GTest::gtest GTest::gmock)
    if(T_JUCE)
        target_link_libraries(${T_NAME} PRIVATE corvane_juce_test_main)
    else()
        target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
    endif()
endfunction()

# corvane_add_test_run(name program [args...])
#   Registers a test that runs the program with the arguments, in a home of its own and without
#   any X display: JUCE reaches for one whenever a component is made visible, and would take the
#   one the tests were started on, or ":0.0" without one. The name "none" is one that X libraries
#   refuse without connecting (see DisplayAccess). The few tests that need windows are registered
#   to run on an X server of their own.
function(corvane_add_test_run name program)
    set(home "${CORVANE_TEST_HOME}/${name}")
    file(MAKE_DIRECTORY "${home}")
    # ThreadSanitizer slows the command-line host's runs several times over what the other
    # builds take, and its suite starts the host some hundred times.
    set(timeout 900)
    if(CORVANE_TSAN)
        set(timeout 3600)
    endif()
    add_test(NAME ${name} COMMAND ${program} ${ARGN})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;DISPLAY=none"
        TIMEOUT ${timeout})
endfunction()

# corvane_add_test(NAME name SOURCES ... LIBS ... [JUCE])
#   A test program, run whole as the test of that name.
function(corvane_add_test)
    cmake_parse_arguments(T "" "NAME" "" ${ARGN})
    corvane_add_test_program(${ARGN})
    corvane_add_test_run(${T_NAME} ${T_NAME})
endfunction()

# corvane_add_display_test_run(name program [args...])
#   Registers a test that runs the program on an X server of its own, where xvfb-run is there;
#   without it the test is left out, and the program's own run skips what needs a display.
function(corvane_add_display_test_run name program)
    find_program(XVFB_RUN xvfb-run)
    if(XVFB_RUN)
        set(home "${CORVANE_TEST_HOME}/${name}")
        file(MAKE_DIRECTORY "${home}")
        add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 1600x1000x24" $<TARGET_FILE:${program}> ${ARGN})
        set_tests_properties(${name} PROPERTIES
            LABELS x11
            TIMEOUT 300
            ENVIRONMENT "HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share")
    endif()
endfunction()
