# The manual page vqadmin(1): the sections the program makes from its table of
# commands and options (as it makes its --help), then the hand-written ones;
# beside it the compressed copy that is installed.
#
#   cmake -DPROGRAM=<vqadmin> -DSECTIONS=<manual.roff> -DPAGE=<vqadmin.1> -P ManualPage.cmake

execute_process(COMMAND "${PROGRAM}" --manual OUTPUT_VARIABLE made RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --manual: status ${status}")
endif()
file(READ "${SECTIONS}" written)
file(WRITE "${PAGE}" "${made}${written}")
# -n: no name or time stamp inside, so the package is the same for the same page.
execute_process(COMMAND gzip -9 -n -k -f "${PAGE}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${PAGE}: status ${status}")
endif()
