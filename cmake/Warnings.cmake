# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Every target of ours is built with the same warnings; TARMALO_WERROR turns
# them into errors (the test command builds that way).
option(TARMALO_WERROR "Treat compiler warnings as errors" OFF)

function(tarmalo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${TARMALO_WERROR}>:-Werror>)
endfunction()
