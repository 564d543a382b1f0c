# Runs the program with the given arguments, without any display and with
# the user's places in FOLDER (RUNNER: with_user_folders), and checks its exit
# code and what it printed.
# -DPROGRAM=... -DARGS=a|b -DEXIT=n -DMATCH=regex -DRUNNER=... -DFOLDER=... [-DLANG=...]
string(REPLACE "|" ";" ARGS "${ARGS}")
set(ENV{QT_QPA_PLATFORM} "")
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
set(ENV{LANGUAGE} "")
set(ENV{LC_ALL} "")
if(DEFINED LANG)
  set(ENV{LANG} "${LANG}")
else()
  set(ENV{LANG} "C.UTF-8")
endif()
execute_process(COMMAND ${RUNNER} ${FOLDER} ${PROGRAM} ${ARGS}
  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
file(REMOVE_RECURSE "${FOLDER}")
if(NOT code STREQUAL "${EXIT}")
  message(FATAL_ERROR "zelmora ${ARGS}: exit ${code}, expected ${EXIT}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "zelmora ${ARGS}: output does not match ${MATCH}\nstdout: ${out}\nstderr: ${err}")
endif()
