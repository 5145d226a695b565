#!/usr/bin/env bash
# Starts the designer in a real X server (Xvfb), waits for its window and checks on screenshots
# of the screen that the stage shows the background colour of the demo background movie.
# Given a project, the designer opens it with the program's demo repository, and the stage must
# also show the white captions its clips draw from their item texts.
# Usage: WindowScreenshotTest.sh <vistaloom program> <background movie description> [project]
# Exits 77 (skipped) when Xvfb or ImageMagick is not installed.
set -uo pipefail

program=$1
description=$2
project=${3:-}

for tool in Xvfb import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

colour=$(awk '$1 == "background" { print $2 }' "$description")
if [[ -z "$colour" ]]; then
  echo "no background colour in $description"
  exit 1
fi

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number: tests that run at once never race
# for the same display.
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 80); do
  [[ -s "$work/display" ]] && break
  sleep 0.25
done
if [[ ! -s "$work/display" ]]; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi
display=:$(head -n 1 "$work/display")

# The share of screen pixels that have exactly the stage's background colour.
background_share() {
  import -display "$display" -window root "$work/screen.png" 2>/dev/null || return 1
  convert "$work/screen.png" -alpha off -fill black +opaque "$colour" -fill white \
    -opaque "$colour" -colorspace Gray -format '%[fx:mean]' info:
}

for _ in $(seq 1 40); do
  background_share >/dev/null && break
  sleep 0.25
done

# White pixels inside the stage (the box around its background colour): only the clips' text
# fields draw in that colour. Font rasterising leaves full glyph pixels a shade under pure
# white, so a small tolerance keeps them while the icon's light grey stays out.
caption_pixels() {
  local stage
  stage=$(convert "$work/screen.png" -alpha off -fill black +opaque "$colour" -fill white \
    -opaque "$colour" -format '%@' info:) || return 1
  convert "$work/screen.png" -crop "$stage" +repage -alpha off -fuzz 5% -fill black \
    +opaque '#FFFFFF' -fill white -opaque '#FFFFFF' -colorspace Gray -format '%[fx:round(mean*w*h)]' info:
}

arguments=()
if [[ -n "$project" ]]; then
  sed "s|repositorydir=\"[^\"]*\"|repositorydir=\"$(dirname "$program")/repository/\"|" \
    "$project" >"$work/project.vlq"
  arguments=("$work/project.vlq")
fi

# The program keeps its ini file in the current directory: run it in a scratch folder.
(cd "$work" && DISPLAY=$display QT_QPA_PLATFORM=xcb exec "$program" "${arguments[@]}") \
  >"$work/program.log" 2>&1 &
app_pid=$!

share=0
for _ in $(seq 1 120); do
  sleep 0.5
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "the designer ended early:"
    cat "$work/program.log"
    exit 1
  fi
  share=$(background_share) || continue
  # The stage fills a good part of a 1022 x 753 window on a 1280 x 1024 screen.
  awk -v s="$share" 'BEGIN { exit !(s > 0.05) }' || continue
  if [[ -z "$project" ]]; then
    echo "stage shows $colour on $share of the screen"
    exit 0
  fi
  captions=$(caption_pixels) || continue
  if ((captions > 15)); then
    echo "stage shows $colour on $share of the screen and $captions caption pixels"
    exit 0
  fi
done

echo "the stage never showed $colour (last share $share) or its captions (${captions:-none})"
cat "$work/program.log"
exit 1
