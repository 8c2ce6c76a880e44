# Run by CPack on each staged tree before it is packed: the Debian package's documentation folder
# gets the changelog Debian expects and, when the tree carries a licence, the copyright file.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(GLOB_RECURSE _readme "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/velor/README.md")
if(NOT _readme)
  message(FATAL_ERROR "PackageDebianFiles: no share/doc/velor/README.md under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
list(GET _readme 0 _readme)
get_filename_component(_doc "${_readme}" DIRECTORY)

# The date honours SOURCE_DATE_EPOCH, so the same sources give the same package.
string(TIMESTAMP _date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${_doc}/changelog"
     "velor (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Built from the project's sources by scripts/package.\n\n"
     " -- ${CPACK_PACKAGE_CONTACT}  ${_date}\n")
execute_process(COMMAND gzip -9 -n -f "${_doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)

if(CPACK_VELOR_LICENCE_FILE)
  file(COPY_FILE "${CPACK_VELOR_LICENCE_FILE}" "${_doc}/copyright")
endif()
