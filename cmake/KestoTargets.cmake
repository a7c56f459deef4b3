# Helpers that give every target of the project the same warnings and include root.

set(KESTO_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                   -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Werror)
# GCC 12 reports overlapping copies inside std::string concatenation when optimising (its bug
# 105329, a false positive), which would break every optimised build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND KESTO_WARNINGS -Wno-restrict)
endif()

function(kesto_target_defaults target)
    target_compile_options(${target} PRIVATE ${KESTO_WARNINGS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        # Wide Win32 APIs everywhere; keep windows.h from defining min/max.
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX
                                   WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
    endif()
endfunction()

# kesto_library(name SOURCES ... LIBS ...): a static library of the project's own code.
function(kesto_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    kesto_target_defaults(${name})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kesto_test(name SOURCES ... LIBS ...): a GoogleTest executable registered with CTest. Native
# builds register each test case; the Windows build runs each executable as one test under Wine.
# With RESOURCE_LOCK, no two of its test cases run at the same time (for tests that share a file
# only one process may hold, such as the trace log). With OWN_WINE_PREFIX, the Windows build runs
# it in a Wine prefix of its own (for tests that change the system's settings, such as the
# Internet Settings proxy, which would otherwise reach the other tests running beside them).
function(kesto_test name)
    cmake_parse_arguments(ARG "OWN_WINE_PREFIX" "RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    kesto_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING AND ARG_OWN_WINE_PREFIX)
        add_test(NAME ${name}
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR}/wine-prefix-${name}
                         $<TARGET_FILE:${name}>)
    elseif(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    elseif(ARG_RESOURCE_LOCK)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                             PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
    endif()
endfunction()

# kesto_gui_test(name SOURCES ... LIBS ... [ARGS ...]): a GoogleTest executable of the Windows
# build that opens windows; it runs (with ARGS on its command line) under Wine on a private X
# display (scripts/wine-gui-run), in a Wine prefix of its own.
function(kesto_gui_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ARGS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    kesto_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-gui-run
                     ${CMAKE_BINARY_DIR}/wine-gui/${name} $<TARGET_FILE:${name}> ${ARG_ARGS})
endfunction()

# kesto_copy_templates(target): after each build, the sample templates go into a folder
# "template" beside the target's executable, where the programs look for them.
function(kesto_copy_templates target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/template
                $<TARGET_FILE_DIR:${target}>/template
        VERBATIM)
endfunction()

# kesto_version_numbers(out): the project's version as four numbers (major, minor, patch,
# tweak), a missing one as 0, the form a Windows version resource takes.
function(kesto_version_numbers out)
    set(numbers)
    foreach(part MAJOR MINOR PATCH TWEAK)
        if("${PROJECT_VERSION_${part}}" STREQUAL "")
            list(APPEND numbers 0)
        else()
            list(APPEND numbers ${PROJECT_VERSION_${part}})
        endif()
    endforeach()
    set(${out} ${numbers} PARENT_SCOPE)
endfunction()

# kesto_windows_program_resources(target DESCRIPTION text): the Windows program's manifest
# (common controls 6, per-monitor DPI awareness, the user's own rights) and its version resource
# with the project's version, from platform/win32/resources. The resource script is compiled
# apart from the target's sources, since windres takes none of the compiler's warning options.
function(kesto_windows_program_resources target)
    cmake_parse_arguments(ARG "" "DESCRIPTION" "" ${ARGN})
    set(KESTO_PROGRAM_NAME ${target})
    set(KESTO_PROGRAM_DESCRIPTION ${ARG_DESCRIPTION})
    kesto_version_numbers(numbers)
    list(JOIN numbers "." KESTO_FILE_VERSION)
    list(JOIN numbers "," KESTO_VERSION_COMMAS)
    set(resources ${PROJECT_SOURCE_DIR}/platform/win32/resources)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
    set(KESTO_MANIFEST_FILE ${folder}/${target}.manifest)
    configure_file(${resources}/program.manifest.in ${KESTO_MANIFEST_FILE} @ONLY)
    configure_file(${resources}/program_resources.rc.in ${folder}/${target}.rc @ONLY)
    set_source_files_properties(${folder}/${target}.rc PROPERTIES
                                OBJECT_DEPENDS ${KESTO_MANIFEST_FILE})
    add_library(${target}_program_resources OBJECT ${folder}/${target}.rc)
    target_link_libraries(${target} PRIVATE ${target}_program_resources)
endfunction()

# kesto_translations(target [CATALOGS var]): the message catalogs, compiled by msgfmt from
# po/*.po into the folder "locale" beside the target's executable, where the program looks for
# them first (locale/LANGUAGE/LC_MESSAGES/kesto-decor.mo, on every system). CATALOGS names a
# variable that gets the catalogs' paths.
function(kesto_translations target)
    cmake_parse_arguments(ARG "" "CATALOGS" "" ${ARGN})
    find_program(MSGFMT msgfmt REQUIRED)
    file(GLOB translations CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
    set(catalogs)
    foreach(po ${translations})
        get_filename_component(language ${po} NAME_WE)
        set(folder ${CMAKE_CURRENT_BINARY_DIR}/locale/${language}/LC_MESSAGES)
        add_custom_command(OUTPUT ${folder}/kesto-decor.mo
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
            COMMAND ${MSGFMT} --check -o ${folder}/kesto-decor.mo ${po}
            DEPENDS ${po} VERBATIM)
        list(APPEND catalogs ${folder}/kesto-decor.mo)
    endforeach()
    add_custom_target(${target}_translations ALL DEPENDS ${catalogs})
    add_dependencies(${target} ${target}_translations)
    if(ARG_CATALOGS)
        set(${ARG_CATALOGS} ${catalogs} PARENT_SCOPE)
    endif()
endfunction()
