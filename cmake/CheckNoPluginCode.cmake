# Fails when a host binary holds or calls code of a plug-in class: a symbol,
# defined or referenced, of any class the plug-in's headers declare. PROBE is a
# library full of plug-in code, which the check must find classes in; that
# proves it would see them in the host too.
#
#   cmake -DNM=nm -DCLASS_DIR=<plug-in sources> -DPROBE=<plug-in library>
#         -DHOST_FILES=<file>,<file>... -P CheckNoPluginCode.cmake

file(GLOB_RECURSE headers "${CLASS_DIR}/*.h")
set(classes)
foreach(header ${headers})
  file(STRINGS "${header}" lines REGEX "^(class|struct) T[A-Za-z0-9_]+( final)? *[:{]")
  foreach(line ${lines})
    string(REGEX MATCH "^(class|struct) (T[A-Za-z0-9_]+)" _ "${line}")
    list(APPEND classes ${CMAKE_MATCH_2})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES classes)
list(LENGTH classes count)
if(count EQUAL 0)
  message(FATAL_ERROR "no class declared under ${CLASS_DIR}")
endif()
list(JOIN classes "|" names)
set(pattern "[^\n]*[^A-Za-z0-9_](${names})[^A-Za-z0-9_][^\n]*")

# The plug-in classes whose symbols a binary holds, one symbol each.
function(plugin_symbols file out)
  execute_process(COMMAND ${NM} -C "${file}" OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_VARIABLE error)
  if(failed OR symbols STREQUAL "")
    message(FATAL_ERROR "${NM} -C ${file}: no symbols (${error})")
  endif()
  string(REGEX MATCHALL "${pattern}" found " ${symbols}")
  # The type information of the contract's function types (TPlugin *(), which
  # clang's function sanitizer emits) names the opaque plug-in type, no code of it.
  list(FILTER found EXCLUDE REGEX "typeinfo (name )?for [^\n]*\\)$")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

plugin_symbols("${PROBE}" probe)
if(NOT probe)
  message(FATAL_ERROR "the check finds no plug-in class even in ${PROBE}")
endif()

string(REPLACE "," ";" host_files "${HOST_FILES}")
set(failed FALSE)
foreach(file ${host_files})
  plugin_symbols("${file}" found)
  if(found)
    set(failed TRUE)
    list(LENGTH found n)
    list(SUBLIST found 0 20 shown)
    list(JOIN shown "\n  " shown)
    message(SEND_ERROR "${file} holds ${n} symbols of plug-in classes, among them:\n  ${shown}")
  else()
    message(STATUS "${file}: no symbol of the ${count} plug-in classes")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "the host must reach the plug-in through the boundary only")
endif()
