#!/usr/bin/env bash
# Installs the Debian packages Kelpo needs that are missing; sourced by run.sh and test.sh.
kelpo_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

KELPO_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins qt6-translations-l10n
  libsqlite3-dev sqlite3 libjpeg62-turbo-dev libcups2-dev
  qt6-svg-dev libemf2svg-dev libwmf-dev libuemf-dev
  fonts-arphic-uming fonts-arphic-ukai fonts-liberation2
)
KELPO_RUN_PACKAGES=(xvfb xauth x11-apps imagemagick)
KELPO_TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang
  cups printer-driver-cups-pdf xvfb xauth zbar-tools x11-utils file poppler-utils)
