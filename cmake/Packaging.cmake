# The Debian package of both programs and their tools (scripts/package.sh -> build/*.deb).
# Shared-library dependencies are computed by dpkg-shlibdeps; the fonts the reports ask for,
# Qt's Chinese translations and the platform plugins are declared here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessera-crack-inspection)
set(CPACK_PACKAGE_VENDOR "Tessera")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Debian wants a synopsis of at most 80 characters and description lines of at most 80.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "field inspection of concrete cracks: depth meter data, width records")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Marrowby receives the measuring points of a handheld crack depth meter over"
       "its USB-to-serial bridge, shows and corrects them, saves DM files, prints the"
       "data report and exports text. Fallowmere opens crack width meter projects"
       "(.cm) with their photographs, sorts, edits, deletes and merges records and"
       "prints one inspection report page per record."
       "."
       "The command-line tools marrowby-cli and fallowmere-cli do the same work"
       "without a display: conversions, PDF reports, downloads from the meter.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessera maintainers <maintainers@users.noreply.example>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStrip.cmake)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk | fonts-wqy-zenhei, fonts-liberation, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)
