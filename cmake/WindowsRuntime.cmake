# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What zeluvar.exe of a MinGW build needs beside it in the folder it is installed into: the Qt
# libraries and plugins it uses and the compiler's runtime. `cmake --install --strip` strips them
# all, since a user has no use for their symbols.

set(zeluvar_qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets)
# Qt 6.8 replaced the windowsvista style by modernwindows, its Windows 10 and 11 look.
if(Qt6_VERSION VERSION_GREATER_EQUAL 6.8)
    set(zeluvar_style_plugin Qt6::QModernWindowsStylePlugin)
else()
    set(zeluvar_style_plugin Qt6::QWindowsVistaStylePlugin)
endif()
set(zeluvar_qt_plugins
    platforms Qt6::QWindowsIntegrationPlugin
    styles ${zeluvar_style_plugin}
)
# Which Debian source, and which of Debian's patches, the shipped Qt was built from.
set(zeluvar_qt_source "${QT6_INSTALL_PREFIX}/qt-source.txt")
if(NOT EXISTS "${zeluvar_qt_source}")
    message(FATAL_ERROR "${zeluvar_qt_source} is missing: it says which source the Qt for Windows "
                        "in ${QT6_INSTALL_PREFIX} was built from, and ships beside its DLLs")
endif()
install(FILES "${zeluvar_qt_source}" DESTINATION .)
cmake_path(GET zeluvar_qt_source FILENAME zeluvar_qt_source_name)

# The runtime of the compiler that built Qt, found where the compiler itself looks.
set(zeluvar_mingw_runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}")
        # libwinpthread lives with the target's libraries, not with the compiler's.
        find_file(dll_path_found ${dll} PATHS /usr/x86_64-w64-mingw32/lib NO_CACHE REQUIRED)
        set(dll_path ${dll_path_found})
    endif()
    list(APPEND zeluvar_mingw_runtime ${dll_path})
endforeach()

set(zeluvar_runtime_files)
foreach(library IN LISTS zeluvar_qt_libraries)
    list(APPEND zeluvar_runtime_files $<TARGET_FILE:${library}>)
endforeach()
install(FILES ${zeluvar_runtime_files} ${zeluvar_mingw_runtime} DESTINATION .)

# Where each shipped file comes from (the program itself, the Qt prefix, a Debian package), for
# the notices that name its part and its license: scripts/windows-package reads it.
set(zeluvar_origins "$<TARGET_FILE_NAME:zeluvar>\tzeluvar\n${zeluvar_qt_source_name}\t${zeluvar_qt_source}\n")
foreach(file IN LISTS zeluvar_runtime_files zeluvar_mingw_runtime)
    string(APPEND zeluvar_origins "$<PATH:GET_FILENAME,${file}>\t${file}\n")
endforeach()

while(zeluvar_qt_plugins)
    list(POP_FRONT zeluvar_qt_plugins folder plugin)
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder})
    string(APPEND zeluvar_origins "${folder}/$<TARGET_FILE_NAME:${plugin}>\t$<TARGET_FILE:${plugin}>\n")
endwhile()
file(GENERATE OUTPUT "${CMAKE_BINARY_DIR}/shipped-origins.tsv" CONTENT "${zeluvar_origins}")

install(CODE "set(zeluvar_strip \"${CMAKE_STRIP}\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        file(GLOB_RECURSE dlls "${CMAKE_INSTALL_PREFIX}/*.dll")
        foreach(dll IN LISTS dlls)
            execute_process(COMMAND "${zeluvar_strip}" --strip-unneeded "${dll}" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
]])
