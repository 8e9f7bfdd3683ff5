# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Windows: the program folder holds the program, its sounds, the Qt DLLs and
# plugins it loads and the mingw-w64 runtime, so it runs from wherever it is
# unpacked. The build fills bin/ that way; `cmake --install` copies the same
# set, which the zip and the installer are made from.
#
# Qt is linked as DLLs, unchanged, so anyone can put in a Qt of their own
# (its licence asks for that); its licence texts go with the program.

set(tarmalo_qt_dlls Qt6::Core Qt6::Gui Qt6::Widgets)
# Plugin folder and plugin: the window system and the native look.
set(tarmalo_qt_plugins
  platforms Qt6::QWindowsIntegrationPlugin
  styles Qt6::QWindowsVistaStylePlugin)

set(tarmalo_runtime_dlls "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "The mingw-w64 runtime ${dll} was not found")
  endif()
  file(REAL_PATH "${found}" found)
  list(APPEND tarmalo_runtime_dlls ${found})
endforeach()

set(tarmalo_copy_commands "")
foreach(target IN LISTS tarmalo_qt_dlls)
  list(APPEND tarmalo_copy_commands
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${TARMALO_RUNTIME_DIR})
  install(FILES $<TARGET_FILE:${target}> DESTINATION .)
endforeach()
foreach(dll IN LISTS tarmalo_runtime_dlls)
  list(APPEND tarmalo_copy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll} ${TARMALO_RUNTIME_DIR})
endforeach()
install(FILES ${tarmalo_runtime_dlls} DESTINATION .)
while(tarmalo_qt_plugins)
  list(POP_FRONT tarmalo_qt_plugins folder target)
  list(APPEND tarmalo_copy_commands
       COMMAND ${CMAKE_COMMAND} -E make_directory ${TARMALO_RUNTIME_DIR}/${folder}
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${TARMALO_RUNTIME_DIR}/${folder})
  install(FILES $<TARGET_FILE:${target}> DESTINATION ${folder})
endwhile()
# What only the test suites beside it use: never installed.
if(TARMALO_BUILD_TESTS)
  list(APPEND tarmalo_copy_commands
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::Test> ${TARMALO_RUNTIME_DIR}
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
               ${TARMALO_RUNTIME_DIR}/platforms)
endif()
add_custom_target(tarmalo_runtime ALL ${tarmalo_copy_commands}
                  COMMENT "Placing the Qt and mingw-w64 DLLs beside the program" VERBATIM)

install(TARGETS tarmalo RUNTIME DESTINATION .)
install(FILES ${TARMALO_SOUND_FILES} DESTINATION .)
# The program's licence and licence notes (the setup shows the licence too),
# and Qt's licences for the DLLs it ships.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME COPYRIGHT.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt DESTINATION . RENAME LICENSE.txt)
find_path(TARMALO_QT_LICENSES LGPL-3.0-only.txt PATHS ${QT6_INSTALL_PREFIX}/LICENSES ${Qt6_DIR}/../../../LICENSES
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(TARMALO_QT_LICENSES)
  install(FILES ${TARMALO_QT_LICENSES}/LGPL-3.0-only.txt ${TARMALO_QT_LICENSES}/GPL-3.0-only.txt
          DESTINATION licenses OPTIONAL)
endif()
