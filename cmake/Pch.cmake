# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Qt's headers are most of what a file of ours compiles. TARMALO_PCH parses
# the ones in wide use once for the program, for the builds that only check
# (the Windows and sanitizer presets turn it on; the suites share one of
# their own in every build). The default build compiles the program without,
# so a file of it that forgets an include still fails to build there; so do
# the Windows-only files in every build, as only the Windows build compiles
# them.
option(TARMALO_PCH "Precompile Qt's headers (the Windows and sanitizer builds)" OFF)
if(NOT TARMALO_PCH)
  return()
endif()

# No <QApplication> or <QGuiApplication>: each turns qApp into a cast to its
# own class, which a file that runs under a bare QCoreApplication must not get.
set(TARMALO_PCH_HEADERS
  <algorithm> <array> <atomic> <chrono> <cmath> <functional> <memory> <optional> <vector>
  <QCoreApplication> <QDateTime> <QDir> <QFileInfo> <QObject> <QPointer> <QString> <QThread> <QTimer>
  <QIcon>
  <QAction> <QDialog> <QLabel> <QLineEdit> <QMainWindow> <QMenuBar> <QMessageBox>
  <QProgressBar> <QPushButton> <QStyle> <QWidget>)

# The program's library makes one, its Windows-only files left out; the
# programs built on it reuse it. (On Windows the program is a window program,
# whose main() Qt renames: the library's would not fit, and it has little to
# gain.)
target_precompile_headers(tarmalo_core PRIVATE ${TARMALO_PCH_HEADERS})
get_target_property(platform_sources tarmalo_core SOURCES)
get_target_property(core_dir tarmalo_core SOURCE_DIR)
list(FILTER platform_sources INCLUDE REGEX "(^|/)win32/[^/]*\\.cpp$")
list(TRANSFORM platform_sources PREPEND ${core_dir}/ REGEX "^[^/]")
if(platform_sources)
  set_source_files_properties(${platform_sources} TARGET_DIRECTORY tarmalo_core
                              PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endif()
set(programs tarmalo_driven tarmalo_soundcheck)
if(NOT WIN32)
  list(APPEND programs tarmalo)
endif()
foreach(program IN LISTS programs)
  if(TARGET ${program})
    target_precompile_headers(${program} REUSE_FROM tarmalo_core)
  endif()
endforeach()
