# kelpo-report on prepared-report files: dump lists pages and objects, render draws a page into a
# PNG, and damaged files end in an error with a non-zero status.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)

set(noise "(QStandardPaths[^\n]*\n)?")
set(sample ${SAMPLES}/two_pages.frp)
check(0 "prepared report: printer \"\" pages 2 generator 88\npage 1: size 9 2100x2970 orientation 0 bin 7 UseMargins 1 margins 10,20,30,40\n  metrics device 758x1071 units 758x1071 [^\n]*\n  object Title typ 0 [^\n]*\n    pos 40,30 size 300x40 flags 0x3 frameTyp 15 .*    text \\[宫保鸡丁 \\| 微辣 · 川菜\\].*  object URLWeb .*  object Line1 typ 4 .*page 2: size 11 2100x1480 orientation 1 bin 65535 UseMargins 0 margins 5,0,0,0\n.*  object Auto typ 0 [^\n]*\n    pos 214,40 size 96x20 .*"
  "${noise}" dump ${sample})

file(MAKE_DIRECTORY ${WORK_DIR})
file(REMOVE ${WORK_DIR}/page1.png ${WORK_DIR}/page2.png)
check(0 "" "${noise}" render ${sample} ${WORK_DIR}/page1.png)
check(0 "" "${noise}" render ${sample} --page 2 --scale 0.5 ${WORK_DIR}/page2.png)
foreach(png page1 page2)
  if(NOT EXISTS ${WORK_DIR}/${png}.png)
    message(SEND_ERROR "render wrote no ${png}.png")
  endif()
endforeach()
file(READ ${WORK_DIR}/page1.png header LIMIT 24 HEX)
# PNG signature, then the IHDR size: 794 x 1122 pixels (A4 at 96 dpi).
if(NOT header MATCHES "^89504e470d0a1a0a0000000d494844520000031a00000462$")
  message(SEND_ERROR "page1.png is not a 794x1122 PNG: ${header}")
endif()
check(1 "" "${noise}error: [^\n]*has 2 pages, no page 3\n" render ${sample} --page 3 ${WORK_DIR}/x.png)

# Damaged files: cut short, and a page entry that points before its own data.
file(READ ${sample} bytes HEX)
string(SUBSTRING "${bytes}" 0 60 cut)
function(write_hex name hex)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  file(WRITE ${WORK_DIR}/${name}.sh "printf '${escaped}' > '${WORK_DIR}/${name}.frp'\n")
  execute_process(COMMAND sh ${WORK_DIR}/${name}.sh)
endfunction()
write_hex(cut "${cut}")
check(1 "" "${noise}error: [^\n]+\n" dump ${WORK_DIR}/cut.frp)
check(1 "" "${noise}error: [^\n]+\n" render ${WORK_DIR}/cut.frp ${WORK_DIR}/x.png)
write_hex(empty "")
check(1 "" "${noise}error: [^\n]+\n" dump ${WORK_DIR}/empty.frp)

# The oldest layout: one metafile per page; a damaged one is named, a sound one drawn.
set(oldest ${CMAKE_CURRENT_LIST_DIR}/../../fuzz/corpus/prepared/oldest_layout.frp)
check(0 "prepared report: printer \"Office\" pages 1 generator 88\npage 1: size 9 2100x2970 orientation 0 bin -1 UseMargins 1 margins 0,0,0,0\n.*  object  typ 1 .*graphic kind 2 blob type 0, 24 bytes\n" "${noise}" dump ${oldest})
check(1 "" "${noise}error: page 1: picture \"\": 图元文件已损坏[^\n]*\n" render ${oldest} ${WORK_DIR}/x.png)
file(REMOVE ${WORK_DIR}/oldest.png)
check(0 "" "${noise}" render ${SAMPLES}/oldest_layout_wmf.frp ${WORK_DIR}/oldest.png)
if(NOT EXISTS ${WORK_DIR}/oldest.png)
  message(SEND_ERROR "render wrote no oldest.png")
endif()
