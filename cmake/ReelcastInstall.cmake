# The installed tree follows the platform's layout: programs in bin/, the
# language files and help in share/reelcast/ (where the program looks for
# them relative to its own folder), and what a desktop needs to list, show
# and open the program: desktop entry, icons, AppStream metadata.
include(GNUInstallDirs)

install(TARGETS reelcast reelcast-convert DESTINATION ${CMAKE_INSTALL_BINDIR})

set(REELCAST_DATA_DIR ${CMAKE_INSTALL_DATADIR}/reelcast)
foreach(dir language help)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir})
    install(DIRECTORY ${dir}/ DESTINATION ${REELCAST_DATA_DIR}/${dir} PATTERN "*.in" EXCLUDE)
  endif()
endforeach()
# The home page, made from help/Reelcast.htm.in with the version.
install(FILES ${home_page} DESTINATION ${REELCAST_DATA_DIR}/help)

set(REELCAST_APP_ID com.tarnwick.Reelcast)
install(FILES packaging/${REELCAST_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# AppStream 1.0 reads <developer>, 0.16 <developer_name>; each takes the
# other's as a hint. A build with a home page on the web names it.
set(REELCAST_HOME_PAGE_LINE "")
if(REELCAST_HOME_PAGE)
  set(REELCAST_HOME_PAGE_LINE "\n  <url type=\"homepage\">${REELCAST_HOME_PAGE}</url>")
endif()
configure_file(packaging/${REELCAST_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/generated/${REELCAST_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/${REELCAST_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES packaging/icons/reelcast.svg DESTINATION ${icon_theme}/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES packaging/icons/reelcast-${size}.png
    DESTINATION ${icon_theme}/${size}x${size}/apps RENAME reelcast.png)
endforeach()

# The manual pages, which the build writes from the same text as --help.
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
