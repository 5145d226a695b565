#!/usr/bin/env bash
# Runs a test program in a real X server (Xvfb) with the xcb platform, so real mouse and key
# events (xdotool) reach its windows. Exits 77 (skipped) when Xvfb or xdotool is not installed
# or when every test the program ran was skipped.
# Usage: RunUnderXvfb.sh <test program> [arguments]
set -uo pipefail

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

display=
for number in $(seq 161 230); do
  if [[ ! -e /tmp/.X11-unix/X$number && ! -e /tmp/.X$number-lock ]]; then
    display=:$number
    break
  fi
done
if [[ -z "$display" ]]; then
  echo "no free X display number"
  exit 1
fi

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 40); do
  DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.25
done

DISPLAY=$display QT_QPA_PLATFORM=xcb "$@" 2>&1 | tee "$work/output.log"
status=${PIPESTATUS[0]}
if ((status == 0)) && grep -q '^\[  SKIPPED \]' "$work/output.log" &&
  ! grep -q '^\[       OK \]' "$work/output.log"; then
  exit 77
fi
exit "$status"
