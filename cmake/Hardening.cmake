# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Every build of the program and its tests is hardened as Debian builds its
# packages (dpkg-buildflags with hardening=+all), with stack-clash and
# control-flow protection besides, and gives the same bytes wherever and
# whenever the same sources are built.

# Source and build folders leave no trace in the program (file names in the
# debug information and in assertions), so two checkouts build alike. The
# build folder comes second: its mapping wins when it lies inside the source.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build
                    -Wdate-time -Wformat -Werror=format-security)

if(WIN32)
  # Address-space randomisation, also above 4 GiB, and no code run from data;
  # no link time stamp in the program file.
  add_link_options(LINKER:--dynamicbase LINKER:--nxcompat LINKER:--high-entropy-va
                   LINKER:--no-insert-timestamp)
  return()
endif()

include(CheckPIESupported)
check_pie_supported(OUTPUT_VARIABLE tarmalo_pie_output LANGUAGES CXX)
if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
  message(FATAL_ERROR "The linker cannot make position-independent programs:\n${tarmalo_pie_output}")
endif()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong -fstack-clash-protection)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$")
  add_compile_options(-fcf-protection)
endif()
# Fortified functions need optimisation, and would hide from the sanitizers
# the calls they watch. Level 3 (GCC 12) also checks copies into buffers
# whose size is known only at run time; at level 2 every call of ours has
# its size checked while compiling, so none is left to check later.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
  set(tarmalo_fortify 3)
else()
  set(tarmalo_fortify 2)
endif()
if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=${tarmalo_fortify}>)
endif()
# The relocations are made read-only once resolved, all of them at start-up.
add_link_options(LINKER:-z,relro LINKER:-z,now)
