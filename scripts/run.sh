#!/usr/bin/env bash
# Sets everything up, builds, and starts the product. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

if [ -x build/bin/corvane ]; then
  exec build/bin/corvane "$@"
fi
if [ "$#" -eq 0 ]; then
  exec build/bin/purgewell --help
fi
exec build/bin/purgewell "$@"
