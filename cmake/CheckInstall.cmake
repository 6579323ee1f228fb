# Installs the build into a fresh prefix, moves the installation elsewhere and
# runs the host there: it must find its library and its plug-in relative to
# itself, whatever the prefix was.
#
#   cmake -DSOURCE=<source folder> -DBUILD=<build folder> -DWORK=<scratch folder> -P CheckInstall.cmake

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

# Exactly the host, its library, the plug-in, the demo site, the manual page,
# what a desktop and a shell pick up, and the package's documents.
file(GLOB_RECURSE installed RELATIVE "${WORK}/installed" "${WORK}/installed/*")
list(SORT installed)
set(expected bin/vqadmin lib/vqadmin/libVQUILibA.so lib/vqadmin/plugins/DP_Lyn2.plg
  share/applications/com.vq.vqadmin.desktop share/bash-completion/completions/vqadmin share/doc/vqadmin/changelog.gz
  share/doc/vqadmin/copyright share/icons/hicolor/scalable/apps/vqadmin.svg share/man/man1/vqadmin.1.gz
  share/metainfo/com.vq.vqadmin.metainfo.xml share/vqadmin/demo-site.json)
file(GLOB help RELATIVE "${SOURCE}/host/vqadmin/share" "${SOURCE}/host/vqadmin/share/help/*")
list(TRANSFORM help PREPEND share/vqadmin/)
list(APPEND expected ${help})
list(SORT expected)
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
  if(NOT found STREQUAL "${root}/lib/vqadmin/libVQUILibA.so")
    message(FATAL_ERROR "${binary} loads libVQUILibA.so from \"${found}\":\n${libraries}")
  endif()
endforeach()

run(COMMAND "${root}/bin/vqadmin" info STATUS 0 OUT info)
expect_in("${info}" "Plug-in:     ${root}/lib/vqadmin/plugins/DP_Lyn2.plg\nType:        DevicePlugin\nID:          LYN 2 Device\n")

# The installed plug-in does the model's work on the installed demo site.
run(COMMAND "${root}/bin/vqadmin" --db "${WORK}/site.db" import "${root}/share/vqadmin/demo-site.json" STATUS 0 OUT _)
run(COMMAND "${root}/bin/vqadmin" --db "${WORK}/site.db" validate STATUS 1 OUT report)
expect_in("${report}" " devices checked: ")
# Its windows start with its help (an empty script runs them without showing them).
run(COMMAND "${root}/bin/vqadmin" --db "${WORK}/site.db" automate /dev/null STATUS 0 OUT _)

# The menu entry and the AppStream data pass Debian's validators.
run(COMMAND desktop-file-validate "${root}/share/applications/com.vq.vqadmin.desktop" STATUS 0 OUT _)
run(COMMAND appstreamcli validate --no-net "${root}/share/metainfo/com.vq.vqadmin.metainfo.xml" STATUS 0 OUT _)

# bash completes with what the installed host answers: its commands, a
# command's options, and the names in the database that --db names.
function(completes line expected)
  # Lines, not semicolons, which would split the command's list.
  run(COMMAND bash -c "source '${root}/share/bash-completion/completions/vqadmin'
    COMP_WORDS=(${line})
    COMP_CWORD=$((\${#COMP_WORDS[@]} - 1))
    _vqadmin
    printf '%s|' \"\${COMPREPLY[@]}\""
    STATUS 0 OUT offered)
  if(NOT offered STREQUAL expected)
    message(FATAL_ERROR "completing ${line}: ${offered}, not ${expected}")
  endif()
endfunction()
set(host "'${root}/bin/vqadmin'")
completes("${host} ''" "info|import|export|validate|gui|automate|utc|list|help|")
completes("${host} validate --" "--json|--changed|--db|--plugin|--version|--help|")
completes("${host} --db '${WORK}/site.db' utc sock command NewDevice F" "Front\\ Desk|")
completes("${host} --db '${WORK}/site.db' utc sock table-find '' DeviceID '0001E1\\ '" "0001E1\\ 000003|")
file(REMOVE_RECURSE "${WORK}")
