# cmake -DEXE=<program> -DARG=<argument> -DCODE=<exit code> -DREGEX=<pattern> -P run_and_match.cmake
# Passes when the program exits with CODE and its output (stdout and stderr) matches REGEX: a
# report with the wrong exit code fails, as does the right code with the wrong report.
execute_process(COMMAND ${EXE} ${ARG} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT "${result}" STREQUAL "${CODE}")
  message(FATAL_ERROR "${EXE} ${ARG} exited with ${result}, expected ${CODE}\n${out}${err}")
endif()
if(NOT "${out}${err}" MATCHES "${REGEX}")
  message(FATAL_ERROR "${EXE} ${ARG}: output does not match '${REGEX}':\n${out}${err}")
endif()
