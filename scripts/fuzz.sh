#!/usr/bin/env bash
# Usage: scripts/fuzz.sh SECONDS
# Builds the fuzz targets for libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ (installing Clang when it is missing), runs each target for SECONDS on its seeds
# in fuzz/corpus/<target>/, prints one line per target and exits non-zero on any finding.
# What the runs add to a corpus stays in build-fuzz/corpus/<target>/, so the repository stays
# clean; reproducers land in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
seconds=$1
build_dir=build-fuzz
max_parallel=5
jobs=3

install_clang() {
  local packages=(clang libclang-rt-dev llvm) missing=() package
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  ((${#missing[@]} == 0)) && return
  echo "Installing: ${missing[*]}"
  local sudo=
  [[ $(id -u) -ne 0 ]] && sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # -O1 keeps the runs fast and the reports readable; assertions stay on.
  CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DVISTALOOM_SANITIZE=ON -DVISTALOOM_LIBFUZZER=ON \
    -DVISTALOOM_TESTS=OFF -DVISTALOOM_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build "$build_dir" --parallel "$jobs"
}

# Runs one target for the given time; its log goes to build-fuzz/logs/<target>.log.
run_target() {
  local target=$1
  local grown=$build_dir/corpus/$target findings=$build_dir/findings/$target options=()
  mkdir -p "$grown" "$findings"
  [[ -f fuzz/dictionaries/$target.dict ]] && options+=(-dict="fuzz/dictionaries/$target.dict")
  # The reproducers of past findings start every run, beside the seeds.
  [[ -d fuzz/regressions/$target ]] && options+=("fuzz/regressions/$target")
  # A movie's work is bounded per frame (actions, filter steps), not by time: under the
  # sanitizers a movie at those bounds on both levels takes seconds, so only a run far past
  # them counts as a hang.
  "$build_dir/bin/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$grown" "fuzz/corpus/$target" \
    "${options[@]}" >"$build_dir/logs/$target.log" 2>&1
}

# One line for a finished target, from its log and its exit status; fails on a finding.
report_target() {
  local target=$1 status=$2 log=$build_dir/logs/$1.log
  local runs edges
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  if [[ $status -eq 0 ]]; then
    echo "$target: ${runs:-0} runs, ${edges:-0} edges, no finding"
    return 0
  fi
  local summary reproducer
  summary=$(grep -m 1 -E '^(SUMMARY: |==[0-9]+==ERROR: )' "$log" || true)
  reproducer=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
  echo "$target: FINDING after ${runs:-?} runs: ${summary:-exit status $status}; reproducer ${reproducer:-none}; log $log"
  return 1
}

install_clang
build
mkdir -p "$build_dir/logs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan-suppressions.txt}
export QT_QPA_PLATFORM=offscreen

targets=()
for source in fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$source" .cpp)")
done

declare -A pids
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= max_parallel)); do
    wait -n || true
  done
  run_target "$target" 2>/dev/null &
  pids[$target]=$!
done

failed=0
for target in "${targets[@]}"; do
  status=0
  wait "${pids[$target]}" || status=$?
  report_target "$target" "$status" || failed=1
done
exit $failed
