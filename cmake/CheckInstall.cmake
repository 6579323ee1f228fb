# Installs the build into a fresh prefix, moves the installation elsewhere and
# runs the host there: it must find its library and its plug-in relative to
# itself, whatever the prefix was.
#
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -P CheckInstall.cmake

function(run)
  cmake_parse_arguments(R "" "STATUS;OUT" "COMMAND" ${ARGN})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${R_COMMAND}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL R_STATUS)
    message(FATAL_ERROR "${R_COMMAND}: status ${status}, not ${R_STATUS}\n${out}${err}")
  endif()
  set(${R_OUT} "${out}" PARENT_SCOPE)
endfunction()

function(expect_in text expected)
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected \"${expected}\" in:\n${text}")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
run(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${WORK}/installed" STATUS 0 OUT _)

# Exactly the host, its library, the plug-in and the demo site.
file(GLOB_RECURSE installed RELATIVE "${WORK}/installed" "${WORK}/installed/*")
list(SORT installed)
set(expected bin/vqadmin lib/libVQUILibA.so lib/vqadmin/plugins/DP_Lyn2.plg share/vqadmin/demo-site.json)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed: ${installed}\nexpected:  ${expected}")
endif()

file(RENAME "${WORK}/installed" "${WORK}/moved")
set(root "${WORK}/moved")

# The libraries come from the installation, not from the build.
foreach(binary bin/vqadmin lib/vqadmin/plugins/DP_Lyn2.plg)
  run(COMMAND ldd "${root}/${binary}" STATUS 0 OUT libraries)
  string(REGEX MATCH "libVQUILibA.so => ([^ \t\n]+)" _ "${libraries}")
  file(REAL_PATH "${CMAKE_MATCH_1}" found)
  if(NOT found STREQUAL "${root}/lib/libVQUILibA.so")
    message(FATAL_ERROR "${binary} loads libVQUILibA.so from \"${found}\":\n${libraries}")
  endif()
endforeach()

run(COMMAND "${root}/bin/vqadmin" info STATUS 0 OUT info)
expect_in("${info}" "Plug-in:     ${root}/lib/vqadmin/plugins/DP_Lyn2.plg\nType:        DevicePlugin\nID:          LYN 2 Device\n")

# The installed plug-in does the model's work on the installed demo site.
run(COMMAND "${root}/bin/vqadmin" --db "${WORK}/site.db" import "${root}/share/vqadmin/demo-site.json" STATUS 0 OUT _)
run(COMMAND "${root}/bin/vqadmin" --db "${WORK}/site.db" validate STATUS 1 OUT report)
expect_in("${report}" " devices checked: ")
file(REMOVE_RECURSE "${WORK}")
