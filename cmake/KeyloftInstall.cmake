# `cmake --install` lays out a complete program folder at the prefix: the program reads its vault
# and Help.rtf beside its executable, so the prefix is the program's folder, not a /usr-style tree.
# The desktop files sit under share/ inside it; tools/install puts copies where the desktop looks.
set(KEYLOFT_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/assets/desktop)

install(TARGETS keyloft RUNTIME DESTINATION .)
# The browser's engine, loaded from beside the program at the first Visit.
install(TARGETS keyloft_platform_web_webengine LIBRARY DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/assets/Help.rtf DESTINATION .)

install(FILES ${KEYLOFT_DESKTOP_DIR}/keyloft.metainfo.xml
        DESTINATION share/metainfo RENAME app.keyloft.keyloft.metainfo.xml)
install(FILES ${KEYLOFT_DESKTOP_DIR}/keyloft.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${KEYLOFT_DESKTOP_DIR}/icons/${size}/keyloft.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The desktop entry starts the installed executable by its full path (known only at install time):
# ~/.local/bin is not on every desktop session's PATH.
install(CODE "
  set(desktop_template [[${KEYLOFT_DESKTOP_DIR}/keyloft.desktop.in]])
  set(desktop_out [[${CMAKE_CURRENT_BINARY_DIR}/keyloft.desktop]])
  include([[${CMAKE_CURRENT_LIST_DIR}/KeyloftDesktopEntry.cmake]])
  keyloft_write_desktop_entry(\"\${CMAKE_INSTALL_PREFIX}/keyloft\" \"\${desktop_template}\" \"\${desktop_out}\")
  file(INSTALL \"\${desktop_out}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\")
")
