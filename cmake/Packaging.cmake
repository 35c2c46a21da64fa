# `make package`: a .deb whose dependencies dpkg-shlibdeps reads off the
# programs' shared libraries, so that apt installs what the window needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvik Simulator developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of a microprogrammed processor, with an assembler and a runner")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The Orvik Simulator runs a microprogram one microinstruction at a time in a window that shows\n every register, the current microinstruction and both listings. orvik-asm writes control-store\n and memory files from the window's notation; orvik-run runs them without the window.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvik Simulator developers <orvik-simulator@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
