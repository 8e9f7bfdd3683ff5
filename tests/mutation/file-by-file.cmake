# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Included after project() by the mutation check's build (CMAKE_PROJECT_INCLUDE):
# once every target is defined, each is compiled file by file, so a mutant
# rebuilds its own file rather than a batch of several.
function(tarmalo_mutation_file_by_file dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    tarmalo_mutation_file_by_file(${sub})
  endforeach()
endfunction()
cmake_language(DEFER CALL tarmalo_mutation_file_by_file ${CMAKE_SOURCE_DIR})
