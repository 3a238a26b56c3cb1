# What `cmake --install` puts where, and the Debian package CPack makes of it.
#
# An installed program finds its data in <prefix>/share/sorabi beside <prefix>/bin (see
# platform/paths.h); the desktop files make it a menu entry that opens deck files.
include(GNUInstallDirs)

set(SORABI_APP_ID org.sorabi.Sorabi)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS sorabi sorabi-pics RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/sample.sb resources/strokes/kanjivg-strokes.qz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/sorabi)
install(FILES resources/desktop/${SORABI_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/${SORABI_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/desktop/${SORABI_APP_ID}.mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${SORABI_APP_ID}.xml)
foreach(size 16 32 48 64 128 256)
    if(size EQUAL 32)
        set(icon resources/icons/sorabi.png)
    else()
        set(icon resources/icons/sorabi-${size}.png)
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${SORABI_APP_ID}.png)
endforeach()

# Files compressed as Debian policy asks (gzip -9n: no name, no time stamp): the changelog of
# this native package and the manual pages.
function(sorabi_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9nc ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${output}")
endfunction()
set(SORABI_GZ ${PROJECT_BINARY_DIR}/gz)
file(MAKE_DIRECTORY ${SORABI_GZ})
sorabi_gzip(${PROJECT_SOURCE_DIR}/resources/debian/changelog ${SORABI_GZ}/changelog.gz)
sorabi_gzip(${PROJECT_SOURCE_DIR}/docs/man/sorabi.1 ${SORABI_GZ}/sorabi.1.gz)
sorabi_gzip(${PROJECT_SOURCE_DIR}/docs/man/sorabi-pics.1 ${SORABI_GZ}/sorabi-pics.1.gz)
add_custom_target(compressed_docs ALL DEPENDS ${SORABI_GZ}/changelog.gz ${SORABI_GZ}/sorabi.1.gz
    ${SORABI_GZ}/sorabi-pics.1.gz)
install(FILES resources/debian/copyright ${SORABI_GZ}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sorabi)
install(FILES ${SORABI_GZ}/sorabi.1.gz ${SORABI_GZ}/sorabi-pics.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorabi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sorabi developers")
set(CPACK_PACKAGE_CONTACT "The Sorabi developers <sorabi@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flash-card trainer for Japanese words")
set(CPACK_PACKAGE_DESCRIPTION
    "Sorabi keeps a narrow window at the top right of the screen and an icon in\n"
    "the notification area. Every few minutes it brings up the next card of a\n"
    "deck by itself: the kanji writing, the kana reading or the translation of a\n"
    "word, and a few seconds later the rest. Each card is graded as remembered\n"
    "or not, and the counts are kept in the deck file. Animated stroke-order\n"
    "pictures, drawn from KanjiVG data, show how every kanji is written. The\n"
    "interface is in Russian.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/kanji/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-mincho | fonts-japanese-mincho, fonts-ipafont-gothic | fonts-japanese-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
