# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Programs built from the program's library for checks outside the suites.

# The packaging stage's check of an installed program's sounds; never installed.
add_executable(tarmalo_soundcheck ${CMAKE_CURRENT_SOURCE_DIR}/programs/soundcheck.cpp)
set_target_properties(tarmalo_soundcheck PROPERTIES OUTPUT_NAME tarmalo-soundcheck)
tarmalo_warnings(tarmalo_soundcheck)
target_link_libraries(tarmalo_soundcheck PRIVATE tarmalo_core)

# The program's own start-up with a driver that starts a boarding and ends
# the program while the chime plays; beside the built sounds in bin/. Its
# main() is the program's very object, compiled once for both.
add_executable(tarmalo_driven $<TARGET_OBJECTS:tarmalo> ${CMAKE_CURRENT_SOURCE_DIR}/programs/exitdriver.cpp)
tarmalo_warnings(tarmalo_driven)
target_link_libraries(tarmalo_driven PRIVATE tarmalo_core)
add_dependencies(tarmalo_suites tarmalo_driven)
add_test(NAME exit_leaves_nothing
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/programs/exit-leaves-nothing.sh
          $<TARGET_FILE:tarmalo_driven> ${PROJECT_SOURCE_DIR}/tests/audio/pulse-null.sh)
set_tests_properties(exit_leaves_nothing PROPERTIES
  SKIP_RETURN_CODE 77
  LABELS "audio"
  COST 18
  TIMEOUT 240)
