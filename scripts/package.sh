#!/usr/bin/env bash
# Builds the Debian package of Kelpo in Release (build-package/) and checks it with lintian.
# The package installs under /opt/kelpo and /usr; each user's first start makes a program
# folder of their own with a copy of the sample catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kelpo_install "${KELPO_BUILD_PACKAGES[@]}" dpkg-dev fakeroot file lintian

cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build-package
(cd build-package && cpack -G DEB)
deb="$(ls -t build-package/kelpo_*.deb | head -n 1)"
echo "Package: $deb"
if command -v lintian >/dev/null; then
  # Findings are shown, not fatal: a program under /opt is what this package is meant to be.
  lintian --no-tag-display-limit "$deb" || true
fi
