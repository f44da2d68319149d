# What the program installs, and so what the Debian package holds.
include(GNUInstallDirs)
set(data_dir ${PROJECT_SOURCE_DIR}/data)
install(TARGETS testownik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Plain strip leaves the compiler's name in the program; Debian's own packages drop it too.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/testownik\" COMMAND_ERROR_IS_FATAL ANY)")
# Help, the sample end page and style sheets a teacher copies beside a generated test.
install(FILES ${data_dir}/test.hlp ${data_dir}/koniec.html DESTINATION ${CMAKE_INSTALL_DATADIR}/testownik)
install(DIRECTORY ${data_dir}/css ${data_dir}/pomoc DESTINATION ${CMAKE_INSTALL_DATADIR}/testownik)
install(FILES ${data_dir}/desktop/testownik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data_dir}/desktop/testownik.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${data_dir}/desktop/testownik-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME testownik.png)
install(FILES ${data_dir}/desktop/org.example.testownik.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data_dir}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${data_dir}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME testownik)

# The package takes its version from the project: the newest changelog entry and the newest
# release of the software centres' entry must name the same.
file(STRINGS ${data_dir}/debian/changelog newest LIMIT_COUNT 1)
file(READ ${data_dir}/desktop/org.example.testownik.metainfo.xml metainfo)
if(NOT newest MATCHES "^testownik \\(${PROJECT_VERSION}\\) "
   OR NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "data/debian/changelog and the metainfo file must start with version ${PROJECT_VERSION}")
endif()
# Debian wants the changelog and the manual page compressed with gzip -9n (no name, no time).
foreach(source debian/changelog man/testownik.1)
    get_filename_component(name ${source} NAME)
    set(packed ${PROJECT_BINARY_DIR}/gz/${name}.gz)
    add_custom_command(OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -E copy ${data_dir}/${source} ${PROJECT_BINARY_DIR}/gz/${name}
        COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/gz/${name}
        DEPENDS ${data_dir}/${source} VERBATIM)
    list(APPEND packed_files ${packed})
endforeach()
add_custom_target(packed_docs ALL DEPENDS ${packed_files})
add_dependencies(testownik packed_docs)
install(FILES ${PROJECT_BINARY_DIR}/gz/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_BINARY_DIR}/gz/testownik.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
