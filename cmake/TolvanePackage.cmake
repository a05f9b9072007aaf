# The Debian package: `cpack -G DEB` in a build folder makes tolvane_<version>-1_<arch>.deb from
# what `cmake --install` installs (the programs, their manual pages, the desktop entry, the icons,
# the examples, the copyright file and the changelog), with the library dependencies
# dpkg-shlibdeps finds.
set(CPACK_GENERATOR DEB)
# cpack (and the install target) take what is built and never build first: the package test runs
# beside other tests, and building a stale tree under them would replace the programs they run.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package's own revision after the program's version, as Debian versions a package made of a
# program: 1.0.0.1-1. Its changelog is then changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(TOLVANE_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_PACKAGE_CONTACT "Tolvane maintainers <maintainers@tolvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Numbers 3 and Numbers 4 digit ranking from the power spectra of past draws")
# The lines after the summary, each at most 80 characters.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Ranks the ten digit values of each place of the next draw of the Japanese\n"
       "Numbers 3 and Numbers 4 lotteries by the peaks of the normalised power spectra\n"
       "of past draws, optionally FIR-filtered first. It also replays a history to\n"
       "count the hits and what tickets would have paid, against chance, shows digit\n"
       "statistics and imports downloaded results files. Comes as a Qt desktop\n"
       "application (tolvane) and a command-line tool (tolvane-cli).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(TOLVANE_BUILD_GUI)
  # Loaded at run time, so dpkg-shlibdeps cannot see them: the window's platform plugins, and a
  # font for its Japanese texts.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk")
endif()
include(CPack)

# What Debian asks of every package's documentation folder: the copyright in the machine-readable
# format and the changelog, gzipped; and lintian's note on the examples' encoding.
set(tolvane_changelog ${PROJECT_BINARY_DIR}/changelog.Debian)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${tolvane_changelog} @ONLY)
find_program(GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${tolvane_changelog}.gz
  COMMAND ${GZIP} -9nkf ${tolvane_changelog}
  DEPENDS ${tolvane_changelog}
  COMMENT "Writing the package changelog"
  VERBATIM)
add_custom_target(tolvane-changelog ALL DEPENDS ${tolvane_changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${tolvane_changelog}.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tolvane)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME tolvane)
