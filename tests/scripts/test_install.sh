#!/usr/bin/env bash
# The per-user install, from the programs a build made, in a temporary HOME: Kelpo started by
# its launcher from another directory shows its catalogue window; installing again keeps the
# user's recipes and pictures; uninstalling keeps and names the catalogue. Then the launcher as
# the Debian package writes it: each user's first start makes their own program folder.
#
# Usage: test_install.sh SOURCE_ROOT BUILD_FOLDER
set -euo pipefail
root="$1"
build="$2"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
export HOME="$work/home"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$work/elsewhere"
folder="$HOME/.local/share/kelpo"
launcher="$HOME/.local/bin/kelpo"

# ---- install
bash "$root/scripts/install.sh" --from "$build" >"$work/install.log" 2>&1 ||
  fail "install: $(cat "$work/install.log")"
for file in kelpo kelpo-report; do
  [ -x "$folder/$file" ] || fail "$folder/$file is not installed"
  [ -x "$HOME/.local/bin/$file" ] || fail "the launcher $file is not installed"
done
cmp -s "$build/bin/Kelpo.db" "$folder/Kelpo.db" || fail "the sample catalogue is not installed"
pictures=$(find "$build/bin/Pictures" -type f | wc -l)
[ "$(find "$folder/Pictures" -type f | wc -l)" -eq "$pictures" ] || fail "pictures missing"
desktop="$HOME/.local/share/applications/kelpo.desktop"
grep -qx "Name=Kelpo 菜谱" "$desktop" || fail "desktop entry name"
grep -qx "Path=$folder" "$desktop" || fail "desktop entry working directory"
grep -qx "Exec=\"$launcher\"" "$desktop" || fail "desktop entry command"
grep -q "^Comment\[zh_CN\]=" "$desktop" || fail "desktop entry Chinese comment"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
for size in 16 24 32 48 64 128 256; do
  icon="$HOME/.local/share/icons/hicolor/${size}x${size}/apps/kelpo.png"
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "icon $size: $(file "$icon")"
done

# ---- started from another directory, the launcher shows the catalogue window
# The window's title says the catalogue was opened: without it Kelpo shows only a message.
(
  cd "$work/elsewhere"
  unset QT_QPA_PLATFORM
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" >"$2" 2>&1 & pid=$!
    shown=""
    for _ in $(seq 1 150); do
      if xwininfo -root -tree | grep -q "Kelpo V1.5"; then shown=yes; break; fi
      sleep 0.2
    done
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    [ -n "$shown" ]' _ "$launcher" "$work/kelpo.log"
) || fail "no catalogue window from $work/elsewhere: $(cat "$work/kelpo.log")"
[ ! -e "$work/elsewhere/Kelpo.db" ] || fail "Kelpo made a catalogue in the current directory"

# kelpo-report works from any directory too, on the user's catalogue.
name=$(cd "$work/elsewhere" && "$HOME/.local/bin/kelpo-report" expand --db "$folder/Kelpo.db" \
  --query "Q=select * from 饮食 where 菜谱 = '宫保鸡丁'" '[Q."菜谱"]') ||
  fail "kelpo-report from another directory"
[ "$name" = "宫保鸡丁" ] || fail "kelpo-report read \"$name\""
# The user's catalogue by its bare name, from anywhere; a file of that name here comes first.
name=$(cd "$work/elsewhere" && "$HOME/.local/bin/kelpo-report" expand --db Kelpo.db \
  --query "Q=select * from 饮食 where 菜谱 = '宫保鸡丁'" '[Q."菜谱"]') ||
  fail "kelpo-report --db Kelpo.db from another directory"
[ "$name" = "宫保鸡丁" ] || fail "kelpo-report --db Kelpo.db read \"$name\""
sqlite3 "$work/elsewhere/Kelpo.db" "create table 饮食 (菜谱 text); insert into 饮食 values ('本地的菜')"
name=$(cd "$work/elsewhere" && "$HOME/.local/bin/kelpo-report" expand --db=Kelpo.db \
  --query "Q=select * from 饮食" '[Q."菜谱"]') || fail "kelpo-report on a local Kelpo.db"
[ "$name" = "本地的菜" ] || fail "kelpo-report --db=Kelpo.db read \"$name\" instead of the local file"
rm "$work/elsewhere/Kelpo.db"

# ---- the user adds a recipe and a picture and replaces a sample picture; an upgrade keeps all
sqlite3 "$folder/Kelpo.db" \
  "insert into 饮食 (类别, 菜谱, 配料, 方法, 图片, 提示) values
   ('川菜', '我的菜', '料', '法', '\\Pictures\\川菜\\我的菜.jpg', '无')"
echo "my picture" >"$folder/Pictures/川菜/我的菜.jpg"
sample="$(find "$folder/Pictures" -type f | head -n 1)"
echo "my own version" >"$sample"
echo "an old program" >"$folder/kelpo"
bash "$root/scripts/install.sh" --from "$build" >"$work/install.log" 2>&1 ||
  fail "install again: $(cat "$work/install.log")"
[ "$(sqlite3 "$folder/Kelpo.db" "select 菜谱 from 饮食 where 菜谱 = '我的菜'")" = 我的菜 ] ||
  fail "the added recipe is lost"
[ "$(cat "$folder/Pictures/川菜/我的菜.jpg")" = "my picture" ] || fail "the added picture is lost"
[ "$(cat "$sample")" = "my own version" ] || fail "a replaced picture was overwritten"
cmp -s "$build/bin/kelpo" "$folder/kelpo" || fail "the program was not replaced"
grep -q "Keeping your catalogue" "$work/install.log" || fail "the kept catalogue is not named"

# ---- uninstall removes the program and keeps the catalogue, naming it
bash "$root/scripts/install.sh" --uninstall >"$work/uninstall.log" 2>&1 || fail "uninstall"
for gone in "$folder/kelpo" "$folder/kelpo-report" "$launcher" "$HOME/.local/bin/kelpo-report" \
  "$desktop" "$HOME/.local/share/icons/hicolor/48x48/apps/kelpo.png"; do
  [ ! -e "$gone" ] || fail "$gone is left after uninstalling"
done
[ -e "$folder/Kelpo.db" ] && [ -e "$folder/Pictures/川菜/我的菜.jpg" ] ||
  fail "uninstalling removed the catalogue"
grep -qF "$folder/Kelpo.db" "$work/uninstall.log" || fail "uninstalling does not name the catalogue"

# ---- the launcher of the package: programs elsewhere, a program folder made per user
opt="$work/opt/kelpo"
mkdir -p "$opt"
cp -R "$build/bin/kelpo" "$build/bin/kelpo-report" "$build/bin/Kelpo.db" "$build/bin/Pictures" "$opt/"
chmod -R a-w "$opt"
sed -e "s|@KELPO_INSTALLED@|$opt|" -e 's|@KELPO_FOLDER@|${XDG_DATA_HOME:-$HOME/.local/share}/kelpo|' \
  -e "s|@KELPO_PROGRAM@|kelpo-report|g" "$root/packaging/kelpo-launcher.in" >"$work/kelpo-report"
chmod +x "$work/kelpo-report"
for user in ann bob; do
  export HOME="$work/$user"
  export XDG_DATA_HOME="$HOME/data"
  mkdir -p "$HOME"
  (cd "$work/elsewhere" && "$work/kelpo-report" help >/dev/null) || fail "$user: first start"
  own="$XDG_DATA_HOME/kelpo"
  cmp -s "$opt/Kelpo.db" "$own/Kelpo.db" || fail "$user: no sample catalogue of their own"
  [ -w "$own/Kelpo.db" ] || fail "$user: the catalogue is not writable"
  [ -f "$own/Pictures/川菜/宫保鸡丁.jpg" ] || fail "$user: no sample pictures"
  cmp -s "$opt/kelpo" "$own/kelpo" || fail "$user: the program is not in their program folder"
  sqlite3 "$own/Kelpo.db" "insert into 饮食 (菜谱) values ('$user 的菜')"
  "$work/kelpo-report" help >/dev/null || fail "$user: second start"
  [ "$(sqlite3 "$own/Kelpo.db" "select count(*) from 饮食 where 菜谱 = '$user 的菜'")" = 1 ] ||
    fail "$user: the second start replaced the catalogue"
done
[ "$(sqlite3 "$work/ann/data/kelpo/Kelpo.db" "select count(*) from 饮食 where 菜谱 like 'bob%'")" = 0 ] ||
  fail "two users share a catalogue"
echo "install checks passed"
