# kelpo-report script: a script file or standard input compiled into readable instruction
# lines, or the compile error with its line and column (exit status 1).
file(MAKE_DIRECTORY ${WORK_DIR})

# script_case(NAME STATUS EXPECTED SOURCE [STDIN]): writes SOURCE to a file and compiles it,
# from the file or (STDIN) from standard input; output compared exactly.
function(script_case name status expected source)
  set(file ${WORK_DIR}/${name}.txt)
  file(WRITE ${file} "${source}")
  if(ARGN STREQUAL "STDIN")
    execute_process(COMMAND ${KELPO_REPORT} script - INPUT_FILE ${file}
      RESULT_VARIABLE got_status OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  else()
    execute_process(COMMAND ${KELPO_REPORT} script ${file}
      RESULT_VARIABLE got_status OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  endif()
  if(NOT got_status STREQUAL status OR NOT got_out STREQUAL expected)
    message(SEND_ERROR "script ${name}: status ${got_status} (want ${status})\n"
      "[${got_out}]\n(want)\n[${expected}]\nstderr [${got_err}]")
  endif()
endfunction()

script_case(branches 0 [=[0: jz 3 [Price] 100 >
1: set Memo1.Font.Color clRed
2: jmp 4
3: set Memo1.Font.Color clBlack
4: call SETARRAY(Arr, i, 5)
5: call NewPage(0)
]=] [=[begin
  if [Price] > 100 then Memo1.Font.Color := clRed else Memo1.Font.Color := clBlack;
  Arr[i] := 5; NewPage
end
]=])
script_case(loop 0 [=[0: set i 1
1: jz 5 i 3 {<=}
2: call Inc(Total)
3: set i i 1 +
4: jmp 1
]=] "for i := 1 to 3 do Inc(Total)" STDIN)
script_case(comment 1 "Line 2/19: Need \";\" or \"end\" here\n" "begin\n  a := 1 { note } b := 2 end" STDIN)
script_case(label 1 "Line 1/12: Label \"20\" is not defined\n" "begin goto 20 end")
