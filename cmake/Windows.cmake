# The Windows build (scripts/windows, through cmake/MinGW-w64.cmake): the libraries under the names the
# engine links natively (PkgConfig::<NAME>), as DLLs from VELOR_WINDOWS_PREFIX; stb is header-only and
# fonts are the files shipped beside the executables (Windows has no fontconfig).
if(NOT VELOR_WINDOWS_PREFIX OR NOT EXISTS "${VELOR_WINDOWS_PREFIX}/lib/pkgconfig")
  message(FATAL_ERROR "VELOR_WINDOWS_PREFIX must name the prefix scripts/windows builds (.cache/windows-deps/prefix)")
endif()
# Only the prefix's packages: the machine's own are for the wrong target.
set(ENV{PKG_CONFIG_LIBDIR} "${VELOR_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
# SDL's own link line brings SDL2main and -mwindows, which would replace the programs' main and
# their console; the programs keep their own main (SDL_MAIN_HANDLED) and choose their subsystem.
find_path(VELOR_SDL2_INCLUDE SDL.h PATH_SUFFIXES SDL2 REQUIRED)
find_library(VELOR_SDL2_LIBRARY NAMES SDL2.dll SDL2 REQUIRED)
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${VELOR_SDL2_INCLUDE})
target_link_libraries(PkgConfig::SDL2 INTERFACE ${VELOR_SDL2_LIBRARY})
target_compile_definitions(PkgConfig::SDL2 INTERFACE SDL_MAIN_HANDLED)

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
set(VELOR_FONTCONFIG OFF CACHE BOOL "" FORCE)
# The C and C++ runtimes linked in, so that the zip carries only the libraries' DLLs and the
# threads library.
add_link_options(-static-libgcc -static-libstdc++)
