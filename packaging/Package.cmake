# The Debian package (scripts/package): CPack's DEB generator over the install rules.

# The package carries the version the program reports of itself: the version resource's.
file(STRINGS ${PROJECT_SOURCE_DIR}/app/VersionResource.cpp velkon_version_line
     REGEX "\"[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\\\\0\"" LIMIT_COUNT 1)
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" velkon_resource_version "${velkon_version_line}")
if(NOT velkon_resource_version)
  message(FATAL_ERROR "no version found in app/VersionResource.cpp")
endif()

include(GNUInstallDirs)
set(velkon_doc ${CMAKE_INSTALL_DATADIR}/doc/velkon95)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${velkon_doc})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/velkon95.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME org.velkon95.Velkon95.metainfo.xml)

set(CPACK_PACKAGE_NAME velkon95)
set(CPACK_PACKAGE_VERSION ${velkon_resource_version})
set(CPACK_PACKAGE_VENDOR "Brambl Free Software")
set(CPACK_PACKAGE_CONTACT "Velkon95 maintainers <velkon95@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library names: the Japanese fonts the texts are drawn in, and Qt's own Japanese texts
# for its standard dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "database of member IDs picked up from the clipboard and terminals
Velkon95 keeps a database of member IDs of online services (three letters
and five digits, as in ABC12345) with a handle, memos and dates for each.
IDs come in by hand, from text copied to the clipboard, from a terminal
program (velkon-term) and from other programs (velkonctl).
.
オンラインサービスの会員ID（英字3文字と数字5桁）を管理するツールです。
クリップボードや端末から拾ったIDをハンドル名、メモ、日付とともに記録します。")
# Man pages and the changelog go in compressed, as Debian's policy asks.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressDocs.cmake)
set(CPACK_VELKON_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/changelog.Debian)
include(CPack)
