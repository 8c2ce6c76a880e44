# The browser build's libraries, under the names the engine links natively (PkgConfig::<NAME>).
# SDL2, libopenmpt and FreeType (with zlib) come from VELOR_WEB_PREFIX, built there by scripts/web;
# GL is the browser's WebGL2 through emscripten's ES 3.0 headers, so no loader is linked; stb is
# header-only; fonts are looked up without fontconfig.
set(VELOR_WEB_PREFIX "" CACHE PATH "Prefix holding SDL2, libopenmpt, FreeType and zlib built for the web")
if(NOT VELOR_WEB_PREFIX OR NOT EXISTS "${VELOR_WEB_PREFIX}/lib/pkgconfig")
  message(FATAL_ERROR "VELOR_WEB_PREFIX must name the prefix scripts/web builds (.cache/web-deps/prefix)")
endif()
# Only the web prefix's packages: the machine's own would be for the wrong target.
set(ENV{PKG_CONFIG_LIBDIR} "${VELOR_WEB_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# The toolchain searches its own sysroot only; the prefix is a second root.
list(APPEND CMAKE_FIND_ROOT_PATH "${VELOR_WEB_PREFIX}")
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
# Static FreeType needs zlib after it, which its non-static link line leaves out.
target_link_libraries(PkgConfig::FREETYPE INTERFACE "${VELOR_WEB_PREFIX}/lib/libz.a")

find_path(VELOR_STB_INCLUDE stb_image.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT VELOR_STB_INCLUDE)
  message(FATAL_ERROR "stb headers not found (Debian package libstb-dev)")
endif()
# Included both as <stb_image.h> and <stb/stb_image.h>; /usr/include itself holds the machine's own
# headers, so the second form goes through a folder with only a link to stb.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/stb-include)
file(CREATE_LINK ${VELOR_STB_INCLUDE} ${CMAKE_BINARY_DIR}/stb-include/stb SYMBOLIC)
add_library(PkgConfig::STB INTERFACE IMPORTED)
target_include_directories(PkgConfig::STB INTERFACE ${VELOR_STB_INCLUDE} ${CMAKE_BINARY_DIR}/stb-include)
add_library(PkgConfig::EPOXY INTERFACE IMPORTED)
set(VELOR_FONTCONFIG OFF CACHE BOOL "" FORCE)
