# Shared by the end-to-end scenarios: a private X server, the program started
# from a throw-away copy of its install folder in a Wine desktop with a taskbar,
# waits that poll with time limits, clicks relative to found windows, and a
# screenshot in build/e2e/ whenever a check fails.
#
# A scenario sources this file, calls e2e_begin NAME, drives the program and
# ends with e2e_end (which prints the scenario's verdict and exits with it).

set -uo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_DIR="$E2E_ROOT/tests/e2e"
E2E_OUT="$E2E_ROOT/build/e2e"
E2E_INSTALL="$E2E_ROOT/build/win64/Amicord"
E2E_DATA_TOOL="$E2E_ROOT/build/host/tools/amicord-data"
E2E_TITLE="Amicord - Personal Relationship Manager"
E2E_DESKTOP="Amicord,1024x768"
E2E_SCREEN_W=1024
E2E_SCREEN_H=768
# Slow machines and the first start of a fresh Wine prefix take their time.
E2E_START_TIMEOUT=${E2E_START_TIMEOUT:-90}
E2E_TIMEOUT=${E2E_TIMEOUT:-20}

e2e_name=""
e2e_work=""
e2e_app=""
e2e_xvfb=""
e2e_program=""
e2e_failures=0

e2e_log() { echo "[$e2e_name] $*"; }

e2e_begin() {
  e2e_name=$1
  mkdir -p "$E2E_OUT"
  if [ ! -x "$E2E_INSTALL/Amicord.exe" ] || [ ! -x "$E2E_DATA_TOOL" ]; then
    echo "FAIL $e2e_name: build Amicord (win64 amicord_layout) and amicord-data (host) first"
    exit 1
  fi
  e2e_work=$(mktemp -d "${TMPDIR:-/tmp}/amicord-e2e-$e2e_name.XXXXXX")
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  # Never the developer's own data: a copy of the install folder, settings emptied.
  cp -r "$E2E_INSTALL" "$e2e_work/Amicord"
  e2e_app="$e2e_work/Amicord"
  rm -rf "${e2e_app:?}/settings"
  mkdir -p "$e2e_app/settings"
  # A prefix of our own, so that ending its wineserver never ends a program a
  # developer runs with scripts/run.
  export AMICORD_WINE_ROOT="$E2E_OUT/wine"
  WINEPREFIX=$("$E2E_ROOT/scripts/wine-prefix" x) || { echo "FAIL $e2e_name: no Wine prefix"; exit 1; }
  export WINEPREFIX WINEDEBUG=-all
  e2e_start_display
}

e2e_start_display() {
  local n
  for n in $(seq 90 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -nolisten tcp >/dev/null 2>&1 &
    e2e_xvfb=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$e2e_xvfb" 2>/dev/null || break  # lost a race for this number
      sleep 0.1
    done
    kill "$e2e_xvfb" 2>/dev/null
    e2e_xvfb=""
  done
  echo "FAIL $e2e_name: no X server could be started"
  exit 1
}

e2e_cleanup() {
  local status=$?
  if [ -n "$e2e_program" ]; then kill "$e2e_program" 2>/dev/null || true; fi
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$e2e_xvfb" ]; then kill "$e2e_xvfb" 2>/dev/null || true; wait "$e2e_xvfb" 2>/dev/null || true; fi
  if [ -n "$e2e_work" ] && [ -d "$e2e_work" ]; then
    if [ "$e2e_failures" -gt 0 ]; then
      rm -rf "$E2E_OUT/$e2e_name-settings"
      cp -r "$e2e_app/settings" "$E2E_OUT/$e2e_name-settings" 2>/dev/null &&
        echo "[$e2e_name] data files kept in $E2E_OUT/$e2e_name-settings"
    fi
    rm -rf "$e2e_work"
  fi
  exit "$status"
}

e2e_end() {
  if [ "$e2e_failures" -gt 0 ]; then
    echo "FAIL $e2e_name ($e2e_failures failed checks)"
    exit 1
  fi
  echo "PASS $e2e_name"
  exit 0
}

e2e_screenshot() {
  # Called in command substitutions, so the name cannot come from a counter.
  local file
  file="$E2E_OUT/$e2e_name-$(date +%H%M%S-%N).png"
  if import -window root "$file" 2>/dev/null; then echo "$file"; else echo "(no screenshot)"; fi
}

e2e_pass() { echo "PASS $e2e_name: $*"; }

e2e_fail() {
  e2e_failures=$((e2e_failures + 1))
  echo "FAIL $e2e_name: $*"
  echo "     screenshot: $(e2e_screenshot)"
}

# e2e_check DESCRIPTION COMMAND...: one PASS or FAIL line.
e2e_check() {
  local what=$1
  shift
  if "$@"; then e2e_pass "$what"; else e2e_fail "$what"; return 1; fi
}

# A failure after which the rest of the scenario means nothing.
e2e_abort() {
  e2e_fail "$*"
  echo "FAIL $e2e_name (stopped)"
  exit 1
}

e2e_start_program() {
  (cd "$e2e_app" && exec wine explorer /desktop="$E2E_DESKTOP" Amicord.exe </dev/null >/dev/null 2>&1) &
  e2e_program=$!
}

# The visible top-level window whose whole title is TITLE; prints its id.
e2e_find_window() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# e2e_wait_window TITLE [SECONDS]: prints the window id, or nothing on time-out.
e2e_wait_window() {
  local title=$1 limit=${2:-$E2E_TIMEOUT} id="" end
  end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    id=$(e2e_find_window "$title")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# e2e_wait_gone TITLE [SECONDS]: true once no visible window has that title.
e2e_wait_gone() {
  local title=$1 limit=${2:-$E2E_TIMEOUT} end
  end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    [ -z "$(e2e_find_window "$title")" ] && return 0
    sleep 0.2
  done
  return 1
}

# e2e_geometry ID: sets WX WY WW WH to the window's place on the screen. Wine
# desktop windows are children of the desktop's X window, so the absolute
# position is the one that counts (xdotool's own sum counts the offset twice).
e2e_geometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  WX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  WY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  WW=$(awk '/Width:/ {print $2}' <<<"$info")
  WH=$(awk '/Height:/ {print $2}' <<<"$info")
  [ -n "$WX" ] && [ -n "$WY" ] && [ -n "$WW" ] && [ -n "$WH" ]
}

# e2e_click X Y [BUTTON]: absolute screen position; a short settle afterwards.
e2e_click() {
  xdotool mousemove --sync "$1" "$2" 2>/dev/null || xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool click "${3:-1}"
  sleep 0.3
}

# e2e_click_in ID DX DY [BUTTON]: relative to the window's top-left corner.
e2e_click_in() {
  e2e_geometry "$1" || return 1
  e2e_click $((WX + $2)) $((WY + $3)) "${4:-1}"
}

e2e_key() { xdotool key --delay 80 "$@"; sleep 0.3; }
e2e_type() { xdotool type --delay 60 "$1"; sleep 0.3; }

# Debian's interpreter, which has python3-pil, whatever else is first on PATH.
e2e_py() { /usr/bin/python3 "$E2E_DIR/e2e.py" "$@"; }

# e2e_activate ID: a click on the window's caption gives it the foreground.
e2e_activate() {
  e2e_geometry "$1" || return 1
  e2e_click $((WX + WW / 2 + 60)) $((WY + 10))
}

# e2e_wait_for SECONDS COMMAND...: polls COMMAND until it succeeds.
e2e_wait_for() {
  local limit=$1 end
  shift
  end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    "$@" && return 0
    sleep 0.25
  done
  return 1
}

e2e_program_running() {
  # "wine explorer /desktop=... Amicord.exe" returns when the program ends.
  [ -n "$e2e_program" ] && kill -0 "$e2e_program" 2>/dev/null
}


e2e_program_gone() { ! e2e_program_running; }

# Exit through the tray menu as a user does: right click on the icon at the
# right end of the taskbar, then the menu's last entry. Returns once the
# program has ended.
e2e_exit_through_tray() {
  local attempt icon x y
  for attempt in 1 2 3; do
    local before="$E2E_OUT/.$e2e_name-before.png" after="$E2E_OUT/.$e2e_name-after.png"
    import -window root "$before" 2>/dev/null
    icon=$(e2e_py tray-icon "$before") || { sleep 1; continue; }
    read -r x y <<<"$icon"
    e2e_click "$x" "$y" 3
    # The menu opens above the taskbar: wait until that part of the screen changes.
    local opened=1 end=$((SECONDS + 10))
    while [ $SECONDS -lt $end ]; do
      import -window root "$after" 2>/dev/null
      e2e_py changed "$before" "$after" $((x - 260)) $((y - 200)) "$E2E_SCREEN_W" $((y - 12)) && { opened=0; break; }
      sleep 0.3
    done
    rm -f "$before" "$after"
    if [ $opened -ne 0 ]; then
      e2e_log "the tray menu did not open (attempt $attempt)"
      xdotool key Escape
      continue
    fi
    # "&Exit" is the menu's last entry: Up from no selection lands on it.
    e2e_key Up
    e2e_key Return
    e2e_wait_for 30 e2e_program_gone && return 0
    e2e_log "the program still runs after Exit (attempt $attempt)"
  done
  return 1
}

# e2e_jq FILTER...: true when jq finds FILTER true of its input.
e2e_jq() { jq -e "$@" >/dev/null; }

e2e_dump() { "$E2E_DATA_TOOL" dump "$e2e_app/settings"; }
