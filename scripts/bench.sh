#!/usr/bin/env bash
# Builds the sync benchmark without sanitizers and runs it against the
# loopback stand-ins. Prints numbers only.
#   scripts/bench.sh [attempts]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLOQ_SANITIZE=OFF \
  "-DVELLOQ_SKIP_AREAS=window;forms" >/dev/null
cmake --build build/bench --target sync_bench >/dev/null
tests/support/with_standins.sh tests/bench/standins.list -- build/bench/sync_bench "${1:-200}"
