# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Cross-compiling for 64-bit Windows with Debian's mingw-w64, posix thread
# model (std::thread and Qt need it). Used for Qt itself and for Tarmalo.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARMALO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARMALO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARMALO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARMALO_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARMALO_MINGW})
# Qt for Windows, as scripts/windows-qt.sh builds it, lies outside that root.
if(TARMALO_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${TARMALO_WINDOWS_QT})
  list(APPEND CMAKE_PREFIX_PATH ${TARMALO_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
