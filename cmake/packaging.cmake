# Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME testownik)
set(CPACK_PACKAGE_VENDOR "Testownik")
set(CPACK_PACKAGE_CONTACT "Testownik <testownik@testownik.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Question sets and self-scoring test pages for teachers")
set(CPACK_PACKAGE_DESCRIPTION "Builds question sets (single choice, multiple choice, typed answer)\n\
and generates from them a self-scoring HTML test page. Polish interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
