#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints what they measure.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BACKEND=none \
      -DVELMORA_TESTS=OFF -DVELMORA_BENCH=ON >/dev/null
cmake --build build/bench --target velmora_text_bench
build/bench/bench/velmora_text_bench
