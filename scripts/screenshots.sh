#!/usr/bin/env bash
# Renders the screenshots of both editions under a private Xvfb, driving the built programs
# with xdotool as a user would:
#   main-window-LANG.png   the main window with the demo vault, first entry selected, password masked
#   entry-editor-LANG.png  the entry editor with its password generator (Ctrl+N)
#   about-LANG.png         the About window (Settings > About...)
# Usage: scripts/screenshots.sh [BUILD_DIR [OUT_DIR]]    (defaults: build, docs/screenshots)
# Needs a build with the tools (write_demo_vault, capture_screen), Xvfb, xdotool, openbox,
# xprop and xwininfo (scripts/bootstrap.sh screenshots installs them, builds and runs this). Openbox gives
# every window the frame and title a user sees and places each dialog over its parent. A shot
# whose window never appears is reported and skipped, and the script then ends with status 1.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
out="${2:-$here/docs/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
password="demo-password"

for tool in "$build/tools/write_demo_vault" "$build/tools/capture_screen" \
  "$build/lockwell-en" "$build/lockwell-nl"; do
  if [ ! -x "$tool" ]; then
    echo "missing $tool: build first (cmake --build $build)" >&2
    exit 2
  fi
done
for tool in Xvfb xdotool openbox xprop xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool: scripts/bootstrap.sh screenshots installs it" >&2
    exit 2
  fi
done

scratch="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(head -n 1 "$scratch/display")"
export NO_AT_BRIDGE=1
missing=0

# The window manager, with its own settings only (no user's rc.xml), ready once it has run
# its start-up command.
openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml \
  --startup "touch $scratch/wm-ready" >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  [ -e "$scratch/wm-ready" ] && break
  sleep 0.1
done
if [ ! -e "$scratch/wm-ready" ]; then
  echo "openbox did not start" >&2
  exit 1
fi

# The id of the visible window with exactly this title, waiting up to 15 s; empty if none.
window_titled() {
  timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true
}

# Captures the smallest rectangle around every visible window of the program, frames included.
shoot() {
  local file="$1" left=100000 top=100000 right=0 bottom=0
  local id X Y WIDTH HEIGHT extents frame_left frame_right frame_top frame_bottom
  sleep 0.7  # let the last frame be drawn
  for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
    # xwininfo gives the window's own place on the screen; behind a window manager's frame
    # xdotool's geometry is off by the frame.
    read -r X Y WIDTH HEIGHT < <(xwininfo -id "$id" | awk -F: '
      /Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2}
      /^ *Width/ {w = $2} /^ *Height/ {h = $2} END {print x, y, w, h}')
    # GTK keeps tiny helper windows mapped off screen; they are no part of the picture.
    if ((WIDTH < 50 || HEIGHT < 50 || X < 0 || Y < 0)); then continue; fi
    # The frame around the window: "left, right, top, bottom" as the window manager says.
    extents="$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')"
    if [ -n "$extents" ]; then
      IFS=, read -r frame_left frame_right frame_top frame_bottom <<<"$extents"
      X=$((X - frame_left)) Y=$((Y - frame_top))
      WIDTH=$((WIDTH + frame_left + frame_right)) HEIGHT=$((HEIGHT + frame_top + frame_bottom))
    fi
    ((X < left)) && left=$X
    ((Y < top)) && top=$Y
    ((X + WIDTH > right)) && right=$((X + WIDTH))
    ((Y + HEIGHT > bottom)) && bottom=$((Y + HEIGHT))
  done
  "$build/tools/capture_screen" "$out/$file" "$left" "$top" $((right - left)) $((bottom - top))
  echo "wrote $out/$file"
}

# Waits for a window, then shoots it; reports and counts it when it never appears.
shoot_when_shown() {
  local title="$1" file="$2"
  if [ -z "$(window_titled "$title")" ]; then
    echo "skipped $file: no window titled \"$title\" appeared" >&2
    missing=$((missing + 1))
    return 1
  fi
  shoot "$file"
}

focus() {
  local id
  id="$(window_titled "$1")"
  [ -n "$id" ] && xdotool windowfocus --sync "$id"
}

for edition in en nl; do
  if [ "$edition" = en ]; then
    log_in="Log in" editor="New password" about="About"
  else
    log_in="Inloggen" editor="Nieuw wachtwoord" about="Over"
  fi
  config="$scratch/config-$edition"
  mkdir -m 0700 "$config"
  "$build/tools/write_demo_vault" "$config" "$password" "$edition"
  "$build/lockwell-$edition" "$config" &
  program_pid=$!

  if ! focus "$log_in"; then
    echo "the $edition edition showed no login dialog" >&2
    exit 1
  fi
  # "type" takes every word after it, so typing is a command of its own.
  xdotool type --delay 10 "$password"
  xdotool key Return
  for _ in $(seq 100); do
    [ -z "$(xdotool search --onlyvisible --name "^$log_in\$" 2>/dev/null)" ] && break
    sleep 0.1
  done
  focus "Lockwell"
  shoot "main-window-$edition.png"

  # The entry editor, opened with its shortcut and cancelled with Escape.
  xdotool key ctrl+n
  if shoot_when_shown "$editor" "entry-editor-$edition.png"; then
    focus "$editor"
    xdotool key Escape
    sleep 0.3
  fi

  # Settings > About...: F10 opens the first menu, Right twice moves to Settings, and Up
  # wraps round to its last item.
  focus "Lockwell"
  xdotool key F10 sleep 0.3 key Right sleep 0.2 key Right sleep 0.2 key Up sleep 0.2 key Return
  if shoot_when_shown "$about" "about-$edition.png"; then
    focus "$about"
    xdotool key Escape
    sleep 0.3
  else
    xdotool key Escape Escape  # leave the menu if it is still open
  fi

  # File > Exit: F10 opens the first menu, Up wraps round to its last item.
  focus "Lockwell"
  xdotool key F10 sleep 0.3 key Up sleep 0.2 key Return
  for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
done

if ((missing)); then
  echo "$missing screenshot(s) skipped" >&2
  exit 1
fi
