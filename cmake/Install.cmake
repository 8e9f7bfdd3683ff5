# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Install rules and the Debian package.
#
# The program looks for its sounds in its own folder, so the executable and
# the four WAV files share one private folder (lib/tarmalo); bin/tarmalo is a
# relative link to it, which the program resolves back to that folder.
# Only the program and its data are installed: tests and benchmarks are not.

include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: on Debian that is the multiarch library folder,
# while a program's private files belong in lib/<name>.
set(TARMALO_INSTALL_PKGDIR "lib/tarmalo" CACHE STRING
    "Folder (under the prefix) for the executable and its sounds")
set(tarmalo_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tarmalo)
set(tarmalo_desktop_id tarmalo.desktop)
set(tarmalo_metainfo org.example.tarmalo.metainfo.xml)

install(TARGETS tarmalo RUNTIME DESTINATION ${TARMALO_INSTALL_PKGDIR})
install(FILES ${TARMALO_SOUND_FILES} DESTINATION ${TARMALO_INSTALL_PKGDIR})

# The link is made at configure time and installed as a link, so it appears
# in the manifest and in the package like any other file.
cmake_path(ABSOLUTE_PATH TARMALO_INSTALL_PKGDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE tarmalo_full_pkgdir)
file(RELATIVE_PATH tarmalo_link_target
     ${CMAKE_INSTALL_FULL_BINDIR} ${tarmalo_full_pkgdir}/tarmalo)
set(tarmalo_link ${CMAKE_CURRENT_BINARY_DIR}/install-links/tarmalo)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install-links)
file(CREATE_LINK ${tarmalo_link_target} ${tarmalo_link} SYMBOLIC)
install(FILES ${tarmalo_link} DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${tarmalo_desktop_id}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# The AppStream metadata, the package's changelog and the manual page take
# the project's version and release date.
set(tarmalo_generated ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/${tarmalo_metainfo}.in ${tarmalo_generated}/${tarmalo_metainfo} @ONLY)
install(FILES ${tarmalo_generated}/${tarmalo_metainfo}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
execute_process(COMMAND date -u -R -d "${TARMALO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE TARMALO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
# The changelog's "#" lines are notes for its editors, not entries.
set(tarmalo_changelog_in ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tarmalo_changelog_in})
file(READ ${tarmalo_changelog_in} tarmalo_changelog)
string(REGEX REPLACE "^(#[^\n]*\n)+" "" tarmalo_changelog "${tarmalo_changelog}")
file(CONFIGURE OUTPUT ${tarmalo_generated}/changelog CONTENT "${tarmalo_changelog}" @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/tarmalo.1 ${tarmalo_generated}/tarmalo.1 @ONLY)
# Debian keeps both compressed, without a time stamp (gzip -n), so the same
# sources make the same package.
foreach(doc changelog tarmalo.1)
  execute_process(COMMAND gzip -9n -c INPUT_FILE ${tarmalo_generated}/${doc}
                  OUTPUT_FILE ${tarmalo_generated}/${doc}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${tarmalo_generated}/tarmalo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(size IN LISTS TARMALO_HICOLOR_SIZES)
  install(FILES ${TARMALO_HICOLOR_DIR}/${size}/tarmalo.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# A package whose version has no Debian revision is native: its changelog
# is changelog.gz, not changelog.Debian.gz.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md
              ${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright
              ${tarmalo_generated}/changelog.gz
        DESTINATION ${tarmalo_docdir})
# What the README links under docs/ (its pictures, the System Info notes)
# goes beside it, so that the installed README shows no broken picture.
set(tarmalo_readme ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tarmalo_readme})
file(READ ${tarmalo_readme} tarmalo_readme_text)
string(REGEX MATCHALL "\\]\\(docs/[^)]+" tarmalo_readme_links "${tarmalo_readme_text}")
list(TRANSFORM tarmalo_readme_links REPLACE "\\]\\(" "${CMAKE_CURRENT_SOURCE_DIR}/")
list(REMOVE_DUPLICATES tarmalo_readme_links)
install(FILES ${tarmalo_readme_links} DESTINATION ${tarmalo_docdir}/docs)

# Debian package: cpack --config <build>/CPackConfig.cmake
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarmalo)
set(CPACK_PACKAGE_VENDOR "The Tarmalo developers")
set(CPACK_PACKAGE_CONTACT "Tarmalo developers <tarmalo@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarmalo lets a flight's passengers board in real wall-clock time while the\n"
    "pilot prepares the aircraft: type the departure time and the number of\n"
    "booked passengers, start the boarding and leave it beside the simulator.\n"
    "Short announcements mark the gate opening, the final call, the completed\n"
    "boarding, the departure and the pre-taxi briefing.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarmalo developers <tarmalo@example.org>")
# A companion beside the simulator, not a game itself.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps turns the linked libraries into versioned dependencies:
# Qt, libxcb1 and libpulse0, whose simple API plays the sounds.  A server that speaks
# PulseAudio is recommended.  The xcb window plugin ships in libqt6gui6 on
# Debian 12.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")
# The About box's System Info starts hardinfo, the first tool it looks for.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS hardinfo)
# A source archive (cpack --config CPackSourceConfig.cmake) leaves out
# build trees and version control.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/" "/_CPack_Packages/")
# CPack reads every value back from its configuration file: written escaped,
# each comes back as set here, backslashes included.
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
