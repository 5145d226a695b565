#!/usr/bin/env bash
# Installs what is missing, builds the designer (Release) and starts it with demo/ as the
# current directory, so ./drivers.xml is found. The program's folder build/bin holds the
# background movies and the generated demo repository that New lists.
# Usage: ./vistaloom.sh [project.vlq | debug]
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVISTALOOM_TESTS=OFF \
  -DVISTALOOM_BENCH=OFF -DVISTALOOM_FUZZ=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target vistaloom demo_content

# A project path given relative to the caller's folder still names the same file from demo/.
arguments=()
for argument in "$@"; do
  if [[ -e "$argument" ]]; then
    arguments+=("$(realpath "$argument")")
  else
    arguments+=("$argument")
  fi
done

cd demo
exec ../build/bin/vistaloom "${arguments[@]}"
