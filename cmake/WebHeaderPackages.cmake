# Debian's header-only CLI11 and nlohmann-json for the emscripten build. Their
# own package files point at /usr/include, whose C library headers must not
# mix with emscripten's; so the build sees their two folders alone, through
# links in the build tree, and find_package finds small package files that
# make the same targets from there.
set(web_headers ${CMAKE_BINARY_DIR}/debian-headers)
file(MAKE_DIRECTORY ${web_headers})
set(web_packages ${CMAKE_BINARY_DIR}/debian-packages)

function(orvik_web_header_package package target folder version)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: install the Debian package (scripts/install-deps.sh)")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${web_headers}/${folder} SYMBOLIC)
  file(WRITE ${web_packages}/${package}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${web_headers})\n"
       "endif()\n")
  file(WRITE ${web_packages}/${package}/${package}ConfigVersion.cmake
       "set(PACKAGE_VERSION ${version})\n"
       "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
  set(${package}_DIR ${web_packages}/${package} CACHE PATH "" FORCE)
endfunction()

orvik_web_header_package(CLI11 CLI11::CLI11 CLI 2)
orvik_web_header_package(nlohmann_json nlohmann_json::nlohmann_json nlohmann 3)
