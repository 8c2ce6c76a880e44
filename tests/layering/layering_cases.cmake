# cmake -DCHECK=<CheckLayers.cmake> -DWORK=<scratch folder> -P layering_cases.cmake
# Builds one small tree per case and runs the check on it: every broken tree must fail, naming the
# offending file; the clean one must pass.
set(cases
  "fail|demo/scene/a.cpp|#include <SDL.h>"
  "fail|demo/scene/a.h|#include <SDL2/SDL_video.h>"
  "fail|demo/overlay/b.cpp|#include <epoxy/gl.h>"
  "fail|demo/overlay/b.cpp|  #  include <GL/gl.h>"
  "fail|demo/content/c.cpp|#include <ft2build.h>"
  "fail|demo/content/c.cpp|#include FT_FREETYPE_H"
  "fail|demo/timeline/d.cpp|#include <libopenmpt/libopenmpt.hpp>"
  "fail|demo/timeline/d.cpp|#include <stb/stb_image.h>"
  "fail|demo/timeline/d.cpp|#include \"stb_image_write.h\""
  "fail|demo/shell/e.cpp|#include <fontconfig/fontconfig.h>"
  "fail|engine/gfx/f.cpp|#include \"demo/scene/scene_object.h\""
  "fail|engine/fx/g.h|#include \"../../demo/shell/shell_state.h\""
  "pass|demo/scene/a.cpp|#include \"engine/gfx/device.h\""
  "pass|demo/scene/a.cpp|#include <vector>"
  "pass|engine/gfx/f.cpp|#include <epoxy/gl.h>"
  "pass|tools/capture/h.cpp|#include \"demo/shell/win_main.h\""
)
set(index 0)
set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 expect)
  list(GET parts 1 file)
  list(GET parts 2 line)
  set(root ${WORK}/case${index})
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/demo/scene/ok.cpp "#include \"engine/gfx/device.h\"\n")
  file(WRITE ${root}/engine/gfx/ok.cpp "#include <epoxy/gl.h>\n")
  file(WRITE ${root}/${file} "// case ${index}\n${line}\nint x;\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CHECK} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect STREQUAL "fail")
    if(result EQUAL 0)
      string(APPEND failures "  ${file}: '${line}' was not caught\n")
    elseif(NOT err MATCHES "${file}")
      string(APPEND failures "  ${file}: '${line}' was caught without naming the file\n")
    endif()
  elseif(NOT result EQUAL 0)
    string(APPEND failures "  ${file}: '${line}' was refused: ${err}\n")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
if(failures)
  message(FATAL_ERROR "Layering check cases:\n${failures}")
endif()
