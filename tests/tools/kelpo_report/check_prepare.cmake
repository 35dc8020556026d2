# kelpo-report prepare: the recipe sheet of the bundled catalogue, a template with its own
# datasets, and a build error reported with the engine's text and a failing status.
include(${CMAKE_CURRENT_LIST_DIR}/check_function.cmake)

file(MAKE_DIRECTORY ${WORK_DIR} ${WORK_DIR}/runtime)
# The headless application wants a private runtime folder; without one it warns on stderr.
file(CHMOD ${WORK_DIR}/runtime PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{XDG_RUNTIME_DIR} ${WORK_DIR}/runtime)
set(db ${WORK_DIR}/report_expand.db)
file(COPY_FILE ${FIXTURE_DB} ${db})
check(0 "" "" stored-template ${WORK_DIR}/recipe.frf)

check(0 "1\n" "" prepare --recipe 番茄炒蛋 ${WORK_DIR}/recipe.frp)
check(1 "" "error: no recipe named \"没有这道菜\"\n" prepare --recipe 没有这道菜 ${WORK_DIR}/none.frp)
# The full sheet carries the recipe's photograph from the Pictures folder beside the programs.
check(0 "1\n" "" prepare --recipe 番茄炒蛋 --full ${WORK_DIR}/full.frp)
check(0 ".*object Photograph typ 1 .*graphic kind 4 blob type 0, [1-9][0-9]+ bytes\n.*" "" dump ${WORK_DIR}/full.frp)
# The stored template names columns this catalogue does not have.
check(1 "" "计算时发生错误\r\\[ADOQuery3.\"配料\"\\]\r\r报表: frReport1\r对象: Memo3\r\r符号没定义[^\n]*\n"
  prepare ${WORK_DIR}/recipe.frf --db ${db} --query "ADOQuery3=select * from 饮食"
  --report-dataset frDBDataSet1=ADOQuery3 --dataset frDBDataSet1 ${WORK_DIR}/bad.frp)
check(1 "" "error: prepare wants TEMPLATE and OUT.frp\n" prepare ${WORK_DIR}/recipe.frf)
check(1 "" "error: --report-dataset names no query \"Q\"\n"
  prepare ${WORK_DIR}/recipe.frf --report-dataset D=Q ${WORK_DIR}/x.frp)
