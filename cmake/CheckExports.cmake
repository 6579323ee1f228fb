# Fails unless the program's own exports are exactly EXPECTED: the strong
# symbols it defines in its dynamic symbol table. Weak and unique symbols (the
# C++ library's inline code the program shares with it) and the linker's
# section markers are what every program exports.
#
#   cmake -DNM=nm -DFILE=<program> -DEXPECTED=<symbol>;... -P CheckExports.cmake

execute_process(COMMAND ${NM} -D --defined-only "${FILE}" OUTPUT_VARIABLE symbols RESULT_VARIABLE failed
  ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "${NM} -D ${FILE}: ${error}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exported)
foreach(line ${lines})
  if(line MATCHES "^[0-9a-f]+ ([A-Za-z]) (.+)$")
    set(kind ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(NOT kind MATCHES "^[WVwvu]$" AND NOT name MATCHES "^(__bss_start|_edata|_end)$")
      list(APPEND exported ${name})
    endif()
  endif()
endforeach()
list(SORT exported)
list(SORT EXPECTED)
if(NOT exported STREQUAL EXPECTED)
  message(FATAL_ERROR "${FILE} exports \"${exported}\", expected \"${EXPECTED}\"")
endif()
