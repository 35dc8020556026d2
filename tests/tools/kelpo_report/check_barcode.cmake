# kelpo-report barcode: patterns, refused texts, the PNG's size with its quiet zone, and (when
# zbarimg is installed) that a decoder reads back what was drawn.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)
file(MAKE_DIRECTORY ${WORK_DIR})

check(0 "515151A1A1A15\n" "" barcode --pattern PostNet 0)
check(0 "515151A1A1A15\n" "" barcode --pattern 11 0)
# Code 39 leaves out what it cannot encode: start and stop only.
check(0 "5150606050515060605\n" "" barcode --pattern code39 "ab#")
check(1 "" "error: Barcode must be numeric\n" barcode EAN13 1.5 ${WORK_DIR}/x.png)
check(1 "" "error: TfrBarcode:Code93 bad Data <abc>\n" barcode --pattern Code93 abc)
check(1 "" "error: unknown barcode type \"23\".*\n" barcode --pattern 23 1)
check(1 "" "error: the zoom must be a number, got \"x\"\n" barcode EAN13 1 ${WORK_DIR}/x.png --zoom x)

# Width and height of a PNG from its header.
function(png_size file out)
  file(READ ${file} hex OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING ${hex} 0 8 w)
  string(SUBSTRING ${hex} 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  set(${out} "${w}x${h}" PARENT_SCOPE)
endfunction()

# EAN-13 at zoom 2 is 190 units long; ten modules (20 units) of quiet zone on every side.
check(0 "" ".*" barcode EAN13 590123412345 ${WORK_DIR}/ean13.png --check --zoom 2 --scale 1)
png_size(${WORK_DIR}/ean13.png size)
if(NOT size STREQUAL "230x104")
  message(SEND_ERROR "EAN-13 at zoom 2: ${size}, want 230x104")
endif()
# Turned a quarter, the barcode (90 modules) runs down the picture; scale 3 triples everything.
check(0 "" ".*" barcode Code128B Kelpo ${WORK_DIR}/turned.png --rotation 90 --height 40)
png_size(${WORK_DIR}/turned.png size)
if(NOT size STREQUAL "180x330")
  message(SEND_ERROR "Code 128 B turned: ${size}, want 180x330")
endif()

find_program(ZBARIMG zbarimg)
if(NOT ZBARIMG)
  message(STATUS "zbarimg (zbar-tools) is not installed: the PNGs are not read back")
  return()
endif()
foreach(case "EAN13;590123412345;--check;EAN-13:5901234123457"
             "Code128B;Kelpo;--rotation;90;CODE-128:Kelpo"
             "Codebar;40156;--zoom;1.5;Codabar:A40156B"
             "UPC_E0;0425261;--check;--rotation;180;UPC-E:00425261")
  list(POP_BACK case want)
  list(POP_FRONT case type text)
  check(0 "" ".*" barcode ${type} ${text} ${WORK_DIR}/read.png ${case})
  execute_process(COMMAND ${ZBARIMG} --quiet -Scodabar.enable -Supce.enable ${WORK_DIR}/read.png
    OUTPUT_VARIABLE got OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT got STREQUAL want)
    message(SEND_ERROR "${type} ${text} ${case}: decoder read [${got}], want [${want}]")
  endif()
endforeach()
