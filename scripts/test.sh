#!/usr/bin/env bash
# Builds Kelpo with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kelpo_install "${KELPO_BUILD_PACKAGES[@]}" "${KELPO_TEST_PACKAGES[@]}"

# A real CUPS queue (printing to PDF files) gives the printer tests real paper sizes.
if [ -x scripts/printer-setup.sh ]; then
  scripts/printer-setup.sh || echo "CUPS could not be prepared; printer tests will skip."
fi

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELPO_SANITIZE=ON -DBUILD_TESTING=ON
cmake --build build-test
(cd build-test && ctest --output-on-failure -j2 --timeout 300)

# Fuzz targets need clang's libFuzzer; each runs for a bounded time on its seed corpus.
if command -v clang++ >/dev/null && [ -f tests/fuzz/CMakeLists.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKELPO_FUZZ=ON -DBUILD_TESTING=OFF
  cmake --build build-fuzz --target kelpo_fuzz_all
  for f in build-fuzz/bin/fuzz_*; do
    name=$(basename "$f")
    corpus=tests/fuzz/corpus/${name#fuzz_}
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
    echo "Fuzzing $name for ${KELPO_FUZZ_SECONDS:-20} s"
    "$f" -max_total_time="${KELPO_FUZZ_SECONDS:-20}" -print_final_stats=1 "$work" 2>&1 | tail -n 5
    rm -rf "$work"
  done
fi
