#!/usr/bin/env bash
# Screenshots of a window program on a private X server, with settings and data of its own.
#
#   tools/screenshots.sh [-p PROGRAM] [-o OUTDIR] [-g WxHxD] [-H HOMEDIR] [-w TITLE] [--] [STEP ...]
#
#   -p PROGRAM  the program to run (default: build/bin/bfnolkw64 of this work tree); its
#               output goes to OUTDIR/program.log
#   -o OUTDIR   where the PNG files go (default: ./screenshots), made when missing
#   -g WxHxD    the screen (default 1280x800x24)
#   -H HOMEDIR  run with this home folder and keep it, to look at the settings file the run
#               wrote; without it a fresh temporary home is made and removed at the end
#   -w TITLE    wait for a window of this name (a regular expression) before the first
#               picture; default: the first window the program maps
#   -t SECS     how long to wait for a window (default 60)
#
# The X server is Xvfb on the first free display. The program runs with Qt on xcb and with
# HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, XDG_DOCUMENTS_DIR and
# XDG_RUNTIME_DIR all inside that home, so it never reads or writes real settings or data.
# When its window is mapped the screen is saved as OUTDIR/start.png, then each STEP runs in
# order:
#   key:KEYS     xdotool key KEYS to the window with the focus (key:alt+k, "key:Tab Tab Return")
#   type:TEXT    xdotool type TEXT
#   click:X,Y    a left click at X,Y of the screen
#   wait:TITLE   wait until a window of this name (a regular expression) is mapped, then focus it
#   sleep:SECS   pause
#   shot:NAME    the whole screen as OUTDIR/NAME.png
#   win:NAME     only the window with the focus as OUTDIR/NAME.png
# At the end the program gets SIGTERM, so that it can end as it normally does (SIGKILL
# after 10 seconds), and the X server is stopped. A step that fails ends the run with status 1.
#
# Example: the settings dialog of the shell window, then its second page.
#   tools/screenshots.sh -o /tmp/shots -w '^bokföringsnolk$' -- \
#     key:alt+k wait:'^inställningar$' win:konfig key:ctrl+Tab win:etiketter key:Escape
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
program="$here/build/bin/bfnolkw64"
outdir="$PWD/screenshots"
geometry=1280x800x24
keephome=""
title=""
patience=60

usage() { sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2; exit 2; }

while getopts "p:o:g:H:w:t:h" option; do
  case $option in
    p) program=$OPTARG ;;
    o) outdir=$OPTARG ;;
    g) geometry=$OPTARG ;;
    H) keephome=$OPTARG ;;
    w) title=$OPTARG ;;
    t) patience=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))

[ -x "$program" ] || { echo "screenshots: no program $program" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing" >&2; exit 1; }
done
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)

if [ -n "$keephome" ]; then
  mkdir -p "$keephome"
  home=$(cd "$keephome" && pwd)
else
  home=$(mktemp -d "${TMPDIR:-/tmp}/screenshots.XXXXXX")
fi

xvfb_pid=""
program_pid=""
finish() {
  local status=$?
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill -TERM "$program_pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$program_pid" 2>/dev/null; then
      echo "screenshots: the program did not end on SIGTERM, killed" >&2
      kill -KILL "$program_pid" 2>/dev/null || true
    fi
    wait "$program_pid" 2>/dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -z "$keephome" ] && rm -rf "$home"
  exit "$status"
}
trap finish EXIT
trap 'exit 1' INT TERM HUP

# Xvfb picks the first free display itself and names it on the pipe.
displayfile="$home/.display"
mkfifo "$displayfile"
Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$displayfile" 2>"$outdir/xvfb.log" &
xvfb_pid=$!
read -r -t 20 number <"$displayfile" || { echo "screenshots: Xvfb did not start" >&2; exit 1; }
rm -f "$displayfile"
export DISPLAY=":$number"

mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/Documents" "$home/runtime"
chmod 700 "$home/runtime"

(
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
  export XDG_CACHE_HOME="$home/.cache" XDG_DOCUMENTS_DIR="$home/Documents" XDG_RUNTIME_DIR="$home/runtime"
  export QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
  unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
  cd "$home"
  exec "$program" </dev/null
) >"$outdir/program.log" 2>&1 &
program_pid=$!

# Waits for a visible window whose name matches $1, or any window of the program; prints its id.
find_window() {
  local ids
  if [ -n "$1" ]; then
    ids=$(timeout "$patience" xdotool search --sync --onlyvisible --name "$1") || return 1
  else
    ids=$(timeout "$patience" xdotool search --sync --onlyvisible --pid "$program_pid") || return 1
  fi
  echo "${ids##*$'\n'}"
}

save_screen() { import -window root "$outdir/$1.png"; echo "$outdir/$1.png"; }

window=$(find_window "$title") || { echo "screenshots: no window appeared; see $outdir/program.log" >&2; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 1  # the first paint
save_screen start

for step in "$@"; do
  action=${step%%:*}
  argument=${step#*:}
  case $action in
    key) read -r -a keys <<<"$argument"; xdotool key --delay 80 "${keys[@]}" ;;
    type) xdotool type --delay 40 -- "$argument" ;;
    click) xdotool mousemove --sync "${argument%%,*}" "${argument#*,}" click 1 ;;
    wait)
      window=$(find_window "$argument") || { echo "screenshots: no window '$argument'" >&2; exit 1; }
      xdotool windowfocus --sync "$window" 2>/dev/null || true
      ;;
    sleep) sleep "$argument" ;;
    shot) sleep 0.5; save_screen "$argument" ;;
    win)
      sleep 0.5
      import -window "$(xdotool getwindowfocus)" "$outdir/$argument.png"
      echo "$outdir/$argument.png"
      ;;
    *) echo "screenshots: unknown step '$step'" >&2; exit 1 ;;
  esac
  sleep 0.3
done
