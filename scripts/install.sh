#!/usr/bin/env bash
# Installs Kelpo for the current user, the way a desktop program is installed:
#   the program folder  ${XDG_DATA_HOME:-~/.local/share}/kelpo  (programs, Kelpo.db, Pictures/)
#   the launchers       ~/.local/bin/kelpo and ~/.local/bin/kelpo-report
#   the desktop entry   ${XDG_DATA_HOME:-~/.local/share}/applications/kelpo.desktop
#   the icon            ${XDG_DATA_HOME:-~/.local/share}/icons/hicolor/<n>x<n>/apps/kelpo.png
# Installing again replaces the programs but never the user's Kelpo.db or pictures.
#
# Usage: scripts/install.sh [--from BUILD_FOLDER] [--uninstall]
#   --from       install what an existing build made (its bin/ and icons/) instead of
#                building in Release first
#   --uninstall  remove everything installed except the catalogue, which is named and kept
set -euo pipefail
source_root="$(cd "$(dirname "$0")/.." && pwd)"

data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
folder="$data_home/kelpo"
bin_dir="$HOME/.local/bin"
desktop_file="$data_home/applications/kelpo.desktop"
icon_theme="$data_home/icons/hicolor"
programs=(kelpo kelpo-report)
# Every launcher this script writes carries this line, so uninstalling removes only ours.
launcher_mark="# Kelpo launcher:"

mode=install
build=""
while [ $# -gt 0 ]; do
  case "$1" in
    --uninstall) mode=uninstall ;;
    --from)
      [ $# -ge 2 ] || { echo "install.sh: --from needs a build folder" >&2; exit 2; }
      build="$(cd "$2" && pwd)"
      shift ;;
    -h | --help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "install.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

refresh_desktop() {
  # Menus and icon caches pick the change up at once where the desktop keeps such caches.
  if command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$data_home/applications" 2>/dev/null || true
  fi
  if command -v gtk-update-icon-cache >/dev/null && [ -f "$icon_theme/index.theme" ]; then
    gtk-update-icon-cache -q -t "$icon_theme" 2>/dev/null || true
  fi
}

if [ "$mode" = uninstall ]; then
  for program in "${programs[@]}"; do
    if [ -f "$bin_dir/$program" ] && grep -q "^$launcher_mark" "$bin_dir/$program"; then
      rm -f "$bin_dir/$program"
    fi
    rm -f "$folder/$program"
  done
  rm -f "$desktop_file"
  for icon in "$icon_theme"/*/apps/kelpo.png; do
    [ -e "$icon" ] && rm -f "$icon"
  done
  refresh_desktop
  if [ -e "$folder/Kelpo.db" ] || [ -d "$folder/Pictures" ]; then
    echo "Kelpo is uninstalled. Your catalogue stays where it was:"
    [ -e "$folder/Kelpo.db" ] && echo "  $folder/Kelpo.db"
    [ -d "$folder/Pictures" ] && echo "  $folder/Pictures/"
    echo "Delete $folder yourself to remove the recipes too."
  else
    rmdir "$folder" 2>/dev/null || true
    echo "Kelpo is uninstalled."
  fi
  exit 0
fi

if [ -z "$build" ]; then
  cd "$source_root"
  source scripts/deps.sh
  kelpo_install "${KELPO_BUILD_PACKAGES[@]}"
  build="$source_root/build-release"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  cmake --build "$build" --target kelpo kelpo-report kelpo_catalogue kelpo_icons
fi
for needed in bin/kelpo bin/kelpo-report bin/Kelpo.db bin/Pictures icons/hicolor; do
  [ -e "$build/$needed" ] || { echo "install.sh: $build/$needed is missing" >&2; exit 1; }
done

mkdir -p "$folder" "$bin_dir" "$(dirname "$desktop_file")"

# The programs are replaced as a whole (a new file moved over the old one), so a Kelpo that
# is running meanwhile keeps working.
for program in "${programs[@]}"; do
  install -m 755 "$build/bin/$program" "$folder/.$program.new"
  mv -f "$folder/.$program.new" "$folder/$program"
done

# The catalogue is the user's: the sample is copied only where there is none yet, and sample
# pictures only where no file of that name exists.
if [ -e "$folder/Kelpo.db" ]; then
  echo "Keeping your catalogue $folder/Kelpo.db"
else
  install -m 644 "$build/bin/Kelpo.db" "$folder/Kelpo.db"
fi
mkdir -p "$folder/Pictures"
cp -R -n "$build/bin/Pictures/." "$folder/Pictures/"

# Launchers and desktop entry from the templates the package uses too.
shell_quoted() { printf '%s' "$1" | sed 's/[\\"$`]/\\&/g'; }
# A text put into a sed replacement as it is.
sed_literal() { printf '%s' "$1" | sed 's/[|&\\]/\\&/g'; }
for program in "${programs[@]}"; do
  sed -e "s|@KELPO_INSTALLED@|$(sed_literal "$(shell_quoted "$folder")")|" \
      -e "s|@KELPO_FOLDER@|$(sed_literal "$(shell_quoted "$folder")")|" \
      -e "s|@KELPO_PROGRAM@|$program|g" \
      "$source_root/packaging/kelpo-launcher.in" >"$bin_dir/.$program.new"
  chmod 755 "$bin_dir/.$program.new"
  mv -f "$bin_dir/.$program.new" "$bin_dir/$program"
done
desktop_exec() { printf '"%s"' "$(printf '%s' "$1" | sed 's/[\\"`$]/\\\\&/g')"; }
{
  sed -e "s|@KELPO_EXEC@|$(sed_literal "$(desktop_exec "$bin_dir/kelpo")")|" \
    "$source_root/packaging/kelpo.desktop.in"
  echo "Path=$folder"
} >"$desktop_file"

for icon in "$build"/icons/hicolor/*/apps/kelpo.png; do
  size="$(basename "$(dirname "$(dirname "$icon")")")"
  install -D -m 644 "$icon" "$icon_theme/$size/apps/kelpo.png"
done
refresh_desktop

echo "Kelpo is installed in $folder"
echo "Start it from the desktop menu (Kelpo 菜谱) or with: $bin_dir/kelpo"
case ":$PATH:" in
  *":$bin_dir:"*) ;;
  *) echo "Note: $bin_dir is not on your PATH; add it to start kelpo by name." ;;
esac
