# Fails unless LIBRARY exports exactly the seven calls of the module library.
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected BASSMOD_ErrorGetCode BASSMOD_GetCPU BASSMOD_GetVersion BASSMOD_Init
             BASSMOD_MusicFree BASSMOD_MusicLoad BASSMOD_MusicPlay)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()
