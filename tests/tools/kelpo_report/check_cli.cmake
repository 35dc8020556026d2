# Each case: expected exit status, expected standard output, expected standard error (regular
# expressions, anchored), then the arguments.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)

# Dates and numbers follow the user's locale; the C locale keeps the engine's defaults.
set(ENV{LC_ALL} C.UTF-8)

check(0 "Float: 14\n" "" eval "2 + 3 * 4")
check(0 "Integer: 1\n" "" eval "1 = 1")
check(0 "Text: bcd\n" "" eval "COPY('abcdef', 2, 3)")
# Names from --set are compared without regard to case.
check(0 "Float: 30\n" "" eval --set "Price=2.5 * 4" --set "qty=3" "price * QTY")
check(0 "Text: 菜谱\n" "" eval --set "名=COPY('菜谱甲', 1, 4)" "[名]")
# Unknown names are errors naming the (upper-cased) name.
check(1 "" "error: [^\n]*\"FOO\"\n" eval "foo + 1")
check(1 "" "error: '1x' is not a valid number\n" eval "1x")
check(0 "Text:\n" "" eval "''")
check(0 "Boolean: True\n" "" eval "true")
check(0 "DateTime: 2024-03-05 12:00:00\n" "" eval "STRTODATE('2024-03-05') + 0.5")
set(ENV{LC_ALL} zh_CN.UTF-8)
check(0 "DateTime: 2024/3/5 12:00:00\n" "" eval "STRTODATE('2024/3/5') + 0.5")
set(ENV{LC_ALL} de_DE.UTF-8)
check(0 "DateTime: 05.03.24 12:00:00\n" "" eval "STRTODATE('5.3.24') + 0.5")
check(0 "Float: 2,5\n" "" eval "5 / 2")
