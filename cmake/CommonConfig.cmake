# One INTERFACE target that carries the language standard, warnings and
# sanitizer flags for every library, tool and test of the project.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(sorvane_common INTERFACE)
target_compile_features(sorvane_common INTERFACE cxx_std_20)
target_compile_options(sorvane_common INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_include_directories(sorvane_common INTERFACE "${PROJECT_SOURCE_DIR}/src")
target_compile_definitions(sorvane_common INTERFACE
    SORVANE_VERSION="${PROJECT_VERSION}"
    QT_NO_KEYWORDS)

if(SORVANE_SANITIZE)
    target_compile_options(sorvane_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(sorvane_common INTERFACE -fsanitize=address,undefined)
endif()
if(SORVANE_FUZZ)
    # Every library is instrumented for coverage; the fuzz targets add -fsanitize=fuzzer themselves.
    target_compile_options(sorvane_common INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(sorvane_common INTERFACE -fsanitize=address,undefined)
endif()

# Adds a subdirectory only once it exists, so the tree can grow subsystem by subsystem.
macro(sorvane_add_subdirectories)
    foreach(_dir ${ARGN})
        if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/CMakeLists.txt")
            add_subdirectory(${_dir})
        endif()
    endforeach()
endmacro()

# Registers a GoogleTest executable with CTest. LABELS: core (no display), gui, e2e.
# GUI and end-to-end tests get their own X server and session bus.
function(sorvane_add_test name)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL core)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE sorvane_common GTest::gtest GTest::gtest_main ${T_LIBS})
    if(T_LABEL STREQUAL "core")
        add_test(NAME ${name} COMMAND ${name})
    else()
        add_test(NAME ${name}
                 COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- $<TARGET_FILE:${name}>)
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABEL}" TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "SORVANE_MPV_OPTIONS=ao=null;SORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR};${T_ENV}")
endfunction()

# `cmake --build <dir> --target format` formats every C++ file of the tree with the
# repository's .clang-format.
find_program(CLANG_FORMAT_EXECUTABLE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXECUTABLE)
    file(GLOB_RECURSE _sorvane_format_sources CONFIGURE_DEPENDS
        "${PROJECT_SOURCE_DIR}/src/*.cpp" "${PROJECT_SOURCE_DIR}/src/*.h"
        "${PROJECT_SOURCE_DIR}/tests/*.cpp" "${PROJECT_SOURCE_DIR}/tests/*.h"
        "${PROJECT_SOURCE_DIR}/tools/*.cpp" "${PROJECT_SOURCE_DIR}/tools/*.h"
        "${PROJECT_SOURCE_DIR}/bench/*.cpp" "${PROJECT_SOURCE_DIR}/fuzz/*.cpp")
    add_custom_target(format
        COMMAND "${CLANG_FORMAT_EXECUTABLE}" -i ${_sorvane_format_sources}
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        COMMENT "Formatting the sources with clang-format"
        VERBATIM)
endif()
