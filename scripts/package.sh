#!/usr/bin/env bash
# Builds the Debian package of Kelpo in Release (build-package/) and checks it with lintian.
# The package installs under /opt/kelpo and /usr; each user's first start makes a program
# folder of their own with a copy of the sample catalogue.
#
# Usage: scripts/package.sh [--check]
#   --check  then install the package on this machine, start Kelpo as two users (temporary
#            home folders, virtual display) and remove the package again
set -euo pipefail
cd "$(dirname "$0")/.."
check=""
[ "${1:-}" = --check ] && check=yes
source scripts/deps.sh
kelpo_install "${KELPO_BUILD_PACKAGES[@]}" dpkg-dev fakeroot file lintian
[ -n "$check" ] && kelpo_install "${KELPO_RUN_PACKAGES[@]}" x11-utils

cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-package
(cd build-package && cpack -G DEB)
deb="$(pwd)/$(ls -t build-package/kelpo_*.deb | head -n 1)"
echo "Package: $deb"
lintian --no-tag-display-limit "$deb"
[ -z "$check" ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
$sudo apt-get install -y -qq "$deb"
mkdir -p "$work/elsewhere"
for user in ann bob; do
  home="$work/$user"
  mkdir -p "$home"
  (cd "$work/elsewhere" && HOME="$home" XDG_DATA_HOME="" xvfb-run -a bash -c '
    kelpo >/dev/null 2>&1 & pid=$!
    for _ in $(seq 1 100); do
      xwininfo -root -tree | grep -q "Kelpo V1.5" && { kill "$pid"; exit 0; }
      sleep 0.2
    done
    kill "$pid"; exit 1') || { echo "FAIL: no catalogue window for $user" >&2; exit 1; }
  [ -w "$home/.local/share/kelpo/Kelpo.db" ] || { echo "FAIL: $user has no catalogue" >&2; exit 1; }
  echo "$user: catalogue window shown, own catalogue in $home/.local/share/kelpo"
done
$sudo apt-get remove -y -qq kelpo
[ ! -e /opt/kelpo ] && [ ! -e /usr/bin/kelpo ] || { echo "FAIL: files left after removal" >&2; exit 1; }
echo "Package installed, started by two users and removed."
