# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh makes a Release
# build and runs it). The package installs under /usr whatever CMAKE_INSTALL_PREFIX the build
# was configured with; the programs find their tables from their own folder.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME benthix)
set(CPACK_PACKAGE_VENDOR "The Benthix project team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# CPACK_PACKAGE_CONTACT, the maintainer, is set in cmake/Install.cmake (the changelog names it).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "compare a test treatment with a reference treatment in bioassays")
# Paragraphs separated by an empty line, lines of at most 72 characters; CPack lays them out
# as the control file wants.
set(CPACK_PACKAGE_DESCRIPTION [=[
Benthix decides whether a test sample (for example a sediment or an
effluent) differs from a reference sample in a toxicity test or another
bioassay with up to ten replicates each. The window takes the replicate
results typed, pasted or loaded from a file, the hypothesis, the alpha
level and a transformation, and shows the decision with the statistics
behind it.

It checks the data for normality (Shapiro-Wilk) and equal variances
(Levene) and then uses Student's t, the t-test for unequal variances,
the Mann-Whitney rank test, a rankit transformation or a one-sample
t-test, optionally with the power of the test. Samples and logs are kept
as dBASE III tables; reports are written as CSV and Excel workbooks.

The package also holds benthix-cli, which runs single analyses and whole
surveys of samples against one reference from the command line, with
text, JSON or CSV output.]=])
set(CPACK_PACKAGE_INSTALL_DIRECTORY benthix)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # benthix_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: the packages of the shared libraries the programs are linked with (Qt, shapelib,
# libxlsxwriter, the C and C++ run-time), found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening a finished report in the spreadsheet program goes through xdg-open; a Wayland
# desktop runs the window natively with Qt's Wayland plugin (else through XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
