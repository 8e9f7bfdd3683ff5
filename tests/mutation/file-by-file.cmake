# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Included after project() by the mutation check's build (CMAKE_PROJECT_INCLUDE):
# once every target is defined, the core library is compiled file by file,
# so a mutant rebuilds its own file rather than a batch of several.
cmake_language(DEFER CALL set_target_properties tarmalo_core PROPERTIES UNITY_BUILD OFF)
