# CPack (scripts/package): a Debian package installing under /usr, with the system's libraries. The
# .tar.gz is scripts/linux-archive's, the same tree with its libraries beside it. The version is the
# project's.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velor")
set(VELOR_MAINTAINER "Velor developers <velor@packages.invalid>" CACHE STRING "The packages' maintainer")
set(CPACK_PACKAGE_CONTACT ${VELOR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo")
# Debian shows these lines as they are: under 80 columns each.
set(CPACK_PACKAGE_DESCRIPTION
    "Velor takes the screen at a 1024 x 768 back buffer, scaled to any display
keeping 4:3, starts a looping music module and plays six rendered 3D scenes
against the clock, until Escape or closing the window. All of its meshes,
textures and music are made procedurally.
.
velor-capture plays the demo headless and writes chosen frames as PNG
files, or a video with its music through ffmpeg.")
# The .deb takes Debian's own name.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

# The Debian package: its dependencies come from the binaries' shared libraries (dpkg-shlibdeps).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The text overlays ask fontconfig for a sans-serif face; the demo was made with this one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Files Debian expects beside the package's documentation, added to the staged tree.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageDebianFiles.cmake)
set(CPACK_VELOR_LICENCE_FILE "${VELOR_LICENCE_FILE}")  # CPACK_ names reach the script

include(CPack)
