# kelpo-report pdf and print: prepared pages written as PDF files (page count, paper, searchable
# text where the memos are), page options, and failures with a clear error and status.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR} ${WORK_DIR}/runtime)
file(CHMOD ${WORK_DIR}/runtime PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{XDG_RUNTIME_DIR} ${WORK_DIR}/runtime)
set(sample ${SAMPLES}/two_pages.frp)

find_program(PDFINFO pdfinfo REQUIRED)
find_program(PDFTOTEXT pdftotext REQUIRED)

# pdfinfo's page sizes, one "WxH" per page.
function(page_sizes pdf out)
  execute_process(COMMAND ${PDFINFO} -f 1 -l 99 ${pdf} OUTPUT_VARIABLE info)
  string(REGEX MATCHALL "size: +[0-9.]+ x [0-9.]+" sizes "${info}")
  string(REGEX REPLACE "size: +([0-9.]+) x ([0-9.]+)" "\\1x\\2" sizes "${sizes}")
  set(${out} "${sizes}" PARENT_SCOPE)
endfunction()
function(expect_sizes pdf want)
  page_sizes(${pdf} got)
  if(NOT got STREQUAL "${want}")
    message(SEND_ERROR "${pdf}: page sizes [${got}], want [${want}]")
  endif()
endfunction()

# Both pages, each on its own paper: A4 portrait, then A5 landscape.
check(0 "2\n" "" pdf ${sample} ${WORK_DIR}/all.pdf)
expect_sizes(${WORK_DIR}/all.pdf "595x842;595x420")

# The title memo (40,30 size 300x40 layout units, 72/91.6256 pt each) holds its text as text.
execute_process(COMMAND ${PDFTOTEXT} -bbox ${WORK_DIR}/all.pdf - OUTPUT_VARIABLE boxes)
if(NOT boxes MATCHES "xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">宫保鸡丁<")
  message(SEND_ERROR "all.pdf has no searchable 宫保鸡丁:\n${boxes}")
else()
  # if() compares numbers as floating point.
  if(CMAKE_MATCH_1 LESS 31.4 OR CMAKE_MATCH_3 GREATER 267.3 OR CMAKE_MATCH_2 LESS 23.5
     OR CMAKE_MATCH_4 GREATER 55.1)
    message(SEND_ERROR "宫保鸡丁 lies outside its memo: ${CMAKE_MATCH_0}")
  endif()
endif()

check(0 "1\n" "" pdf ${sample} ${WORK_DIR}/second.pdf --pages " 2 - ")
expect_sizes(${WORK_DIR}/second.pdf "595x420")
check(0 "1\n" "" pdf ${sample} --odd ${WORK_DIR}/odd.pdf)
expect_sizes(${WORK_DIR}/odd.pdf "595x842")

check(1 "" "error: [^\n]*valid integer[^\n]*\n" pdf ${sample} ${WORK_DIR}/bad.pdf --pages "1,,3")
check(1 "" "error: no page of the report matches the page list\n"
  pdf ${sample} ${WORK_DIR}/none.pdf --pages 20)
check(1 "" "error: [^\n]*is not a readable prepared report[^\n]*\n"
  pdf ${CMAKE_CURRENT_LIST_FILE} ${WORK_DIR}/damaged.pdf)
foreach(f bad none damaged)
  if(EXISTS ${WORK_DIR}/${f}.pdf)
    message(SEND_ERROR "a failed run left ${f}.pdf behind")
  endif()
endforeach()

# The recipe sheet of the bundled catalogue, Chinese text searchable.
check(0 "1\n" "" pdf --recipe 番茄炒蛋 ${WORK_DIR}/recipe.pdf)
execute_process(COMMAND ${PDFTOTEXT} ${WORK_DIR}/recipe.pdf - OUTPUT_VARIABLE text)
foreach(want 番茄炒蛋 "鸡蛋打入碗中" "酸甜适口")
  if(NOT text MATCHES "${want}")
    message(SEND_ERROR "recipe.pdf lacks \"${want}\":\n${text}")
  endif()
endforeach()
check(1 "" "error: no recipe named \"没有这道菜\"\n" pdf --recipe 没有这道菜 ${WORK_DIR}/x.pdf)
# The full A4 sheet with its section headings and page number.
check(0 "1\n" "" pdf --recipe 番茄炒蛋 --full ${WORK_DIR}/full.pdf)
execute_process(COMMAND ${PDFTOTEXT} ${WORK_DIR}/full.pdf - OUTPUT_VARIABLE text)
foreach(want 番茄炒蛋 "配料" "做法" "鸡蛋打入碗中" "提示" "第 1 页")
  if(NOT text MATCHES "${want}")
    message(SEND_ERROR "full.pdf lacks \"${want}\":\n${text}")
  endif()
endforeach()
check(1 "" "error: --full goes with --recipe NAME\n" pdf --full ${WORK_DIR}/recipe.frp ${WORK_DIR}/x.pdf)

# Printing to the test queue, when the machine has it.
execute_process(COMMAND lpstat -p KelpoPDF RESULT_VARIABLE no_queue OUTPUT_QUIET ERROR_QUIET)
if(no_queue EQUAL 0)
  # The queue writes each job as a PDF file into the user's PDF folder.
  set(spool $ENV{HOME}/PDF)
  file(GLOB before ${spool}/*.pdf)
  check(0 "2\n" "" print ${sample} --printer KelpoPDF --copies 2 --no-collate)
  # The two pages have different paper, so they go as two jobs.
  foreach(_ RANGE 100)
    # The command's jobs are named "Untitled" (the report has no title); other jobs in the
    # folder, such as the print dialog tests' named ones, are not this check's.
    file(GLOB after ${spool}/Untitled*.pdf)
    list(REMOVE_ITEM after ${before} "")
    list(LENGTH after jobs)
    execute_process(COMMAND lpstat -o KelpoPDF OUTPUT_VARIABLE pending)
    if(jobs GREATER_EQUAL 2 AND pending STREQUAL "")
      break()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.2)
  endforeach()
  set(sizes "")
  foreach(job IN LISTS after)
    page_sizes(${job} s)
    list(APPEND sizes ${s})
  endforeach()
  list(SORT sizes)
  # The queue turns landscape paper into portrait sheets with the page rotated.
  if(NOT sizes STREQUAL "421x595;595x842")
    message(SEND_ERROR "the queue printed [${sizes}] in ${after}, want one A4 and one A5 job")
  endif()
  file(REMOVE ${after})
  check(1 "" "error: [^\n]*valid integer[^\n]*\n" print ${sample} --printer KelpoPDF --copies x)
endif()
check(1 "" "error: no printer named \"没有这台打印机\"\n" print ${sample} --printer 没有这台打印机)
