#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test through CTest on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build_dir=build-test
# Benchmarks are built (so they keep compiling) but not run here: they are timed in Release.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVISTALOOM_SANITIZE=ON
cmake --build "$build_dir" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --no-tests=error
