# kelpo-report expand and eval over a small catalogue: field references, inline and view
# formats, blank-zero, system variables and the unknown-name error. The catalogue is copied so
# the stored fixture is never opened for writing.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)

file(MAKE_DIRECTORY ${WORK_DIR})
set(db ${WORK_DIR}/report_expand.db)
file(COPY_FILE ${FIXTURE_DB} ${db})
set(all "ADOQuery3=select * from 饮食 order by 序号")
set(second "Q=select * from 饮食 where 序号 = 2")

# A field holding a line break becomes two lines.
check(0 "麻婆豆腐\n微辣\n" "" expand --db ${db} --query ${all} "[ADOQuery3.\"菜谱\"]")
check(0 "价格 1234,50 2024-03-05 12:30\n" "" expand --db ${db} --query ${all}
  "价格 [ADOQuery3.\"价格\" #N2,2] [ADOQuery3.\"日期\" #Dyyyy-mm-dd hh:nn]")
# A date format on a text that is no date prints the text.
check(0 "是 / 回锅肉\n" "" expand --db ${db} --query ${all} --query ${second} --format 0x04010000
  "[ADOQuery3.\"已售\"] / [Q.\"菜谱\" #D]")
# Nulls read as 0, printed under a number format unless blank-zero is set.
check(0 "0.00\n" "" expand --db ${db} --query ${second} --format 0x01010200 "[Q.\"价格\"]")
# A line that expands to nothing adds no line.
check(0 "5.00\n" "" expand --db ${db} --query ${second} --format 0x01010200 --hide-zeros
  "[Q.\"价格\"]\n[5]")
check(0 "第1页\n" "" expand "第[Page#]页")
check(1 "" "error: 符号没定义 \"FOO\"\n" expand "a [foo] b")
check(1 "" "error: --query needs --db FILE\n" expand --query ${all} "x")
check(1 "" "error: --format wants CODE.*\n" expand --format 12z "x")
check(1 "" "error: 无法打开数据库文件 “${WORK_DIR}/missing.db”.*\n" expand --db ${WORK_DIR}/missing.db "x")

check(0 "Integer: 256\n" "" eval "[Page#] + clRed")
check(0 "Float: 2469\n" "" eval --db ${db} --query ${all} "ADOQuery3.\"价格\" * 2")
check(0 "Float: 7\n" "" eval --set "PAGE#=7" "PAGE#")

# FIELDISNULL reads the current record: a null field, a field with a value, a query nobody
# made (no dataset: true) and a field the query does not have (the dataset's own error).
check(0 "Boolean: True\n" "" eval --db ${db} --query ${second} "FIELDISNULL('Q.\"价格\"')")
check(0 "Boolean: False\n" "" eval --db ${db} --query ${second} "FIELDISNULL('Q.\"菜谱\"')")
check(0 "Boolean: False\n" "" eval --db ${db} --query ${all} "FIELDISNULL('ADOQuery3.\"价格\"')")
check(0 "Boolean: True\n" "" eval --db ${db} --query ${all} "FIELDISNULL('Nobody.\"价格\"')")
check(1 "" "error: 没有字段“无此字段”.*\n" eval --db ${db} --query ${all}
  "FIELDISNULL('ADOQuery3.\"无此字段\"')")
