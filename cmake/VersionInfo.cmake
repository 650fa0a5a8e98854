# version_info(TARGET PRODUCT name DESCRIPTION text): the program's VERSIONINFO
# resource (company, product, description, file and product version), with the
# version number of the project() command, so that one number names a release.
set(VERSION_COMPANY "Brellix")

function(version_info target)
  cmake_parse_arguments(VERSION "" "PRODUCT;DESCRIPTION" "" ${ARGN})
  set(VERSION_TARGET ${target})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
