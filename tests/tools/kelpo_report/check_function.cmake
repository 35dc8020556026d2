# check(STATUS OUT ERR ARGS...): runs kelpo-report with ARGS and compares its exit status,
# standard output and standard error (regular expressions, anchored) with the expected ones.
function(check status out err)
  execute_process(COMMAND ${KELPO_REPORT} ${ARGN}
    RESULT_VARIABLE got_status OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  if(NOT got_status STREQUAL status OR NOT got_out MATCHES "^${out}$" OR NOT got_err MATCHES "^${err}$")
    message(SEND_ERROR "kelpo-report ${ARGN}:\n  status ${got_status} (want ${status})\n"
      "  stdout [${got_out}] (want ${out})\n  stderr [${got_err}] (want ${err})")
  endif()
endfunction()
