# cmake -DROOT=<source root> -P CheckLayers.cmake
# Fails (naming file and line) when a file under demo/ includes a GL, SDL, FreeType, fontconfig,
# libopenmpt or stb header, or a file under engine/ includes one under demo/. The demo reaches the
# platform only through the engine's own API; the engine knows nothing of the demo.
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers.cmake needs -DROOT=<source root>")
endif()

set(platform_header "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL|SDL2/|epoxy/|GL/|GLES|EGL/|KHR/|ft2build|freetype|FT_|fontconfig/|libopenmpt/|stb[_/])")
set(demo_header "^[ \t]*#[ \t]*include[ \t]*[<\"](\\.\\./)*demo/")
# FreeType's own include style names its headers through macros.
set(freetype_macro "^[ \t]*#[ \t]*include[ \t]+FT_[A-Z_]+")

set(problems "")
function(scan folder pattern what)
  file(GLOB_RECURSE files LIST_DIRECTORIES false "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.hpp"
       "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.cc" "${ROOT}/${folder}/*.inl")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "#[ \t]*include")
    foreach(line IN LISTS lines)
      if(line MATCHES "${pattern}")
        file(RELATIVE_PATH rel "${ROOT}" "${file}")
        string(STRIP "${line}" line)
        string(APPEND problems "  ${rel}: ${line} (${what})\n")
      endif()
    endforeach()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

scan(demo "${platform_header}" "demo code uses the engine, not the platform")
scan(demo "${freetype_macro}" "demo code uses the engine, not the platform")
scan(engine "${demo_header}" "the engine does not depend on the demo")

if(problems)
  message(FATAL_ERROR "Layering broken:\n${problems}")
endif()
