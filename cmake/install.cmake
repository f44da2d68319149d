# What the program installs, and so what the Debian package holds.
include(GNUInstallDirs)
set(data_dir ${PROJECT_SOURCE_DIR}/data)
install(TARGETS testownik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Help, the sample end page and style sheets a teacher copies beside a generated test.
install(FILES ${data_dir}/test.hlp ${data_dir}/koniec.html DESTINATION ${CMAKE_INSTALL_DATADIR}/testownik)
install(DIRECTORY ${data_dir}/css ${data_dir}/pomoc DESTINATION ${CMAKE_INSTALL_DATADIR}/testownik)
install(FILES ${data_dir}/desktop/testownik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data_dir}/desktop/testownik.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${data_dir}/desktop/testownik-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME testownik.png)
install(FILES ${data_dir}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
