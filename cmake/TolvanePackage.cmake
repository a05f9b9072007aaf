# The Debian package: `cpack -G DEB` in a build folder makes tolvane_<version>_<arch>.deb from
# what `cmake --install` installs (the programs, the manual page, the desktop entry and the
# icons), with the library dependencies dpkg-shlibdeps finds.
set(CPACK_GENERATOR DEB)
# cpack (and the install target) take what is built and never build first: the package test runs
# beside other tests, and building a stale tree under them would replace the programs they run.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tolvane maintainers <maintainers@tolvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Numbers 3 digit ranking from the power spectra of past draws")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Numbers 3 digit ranking from the power spectra of past draws\n"
       "Ranks the ten digit values of each place of the next Numbers 3 draw by the peaks of\n"
       "the normalised power spectra of past draws, optionally FIR-filtered first. Comes as\n"
       "a Qt desktop application (tolvane) and a command-line tool (tolvane-cli).")
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
