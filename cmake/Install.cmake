# What `cmake --install` puts where, in the layout of a Debian desktop
# application: the programs in bin, the menu entry, its icon and the AppStream
# metainfo under share, the guide and the examples in the doc folder.
set(ORVIK_APP_ID org.orvik.Simulator)

install(FILES ${PROJECT_SOURCE_DIR}/data/${ORVIK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${ORVIK_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/${ORVIK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The README and the guide link to docs/ and examples/ beside them; the doc
# folder keeps that layout so the links stay good.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/performance.md
              ${PROJECT_SOURCE_DIR}/docs/window.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.oasm" PATTERN "*.omem" PATTERN "*.ctl" PATTERN "*.mem" PATTERN "*.md")
