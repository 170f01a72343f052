# Shared by the desktop tests: a desktop on the display with_x_display made,
# the real program driven through xdotool as a user drives it, and waits
# that are all bounded. Source it; it defines $work (removed at the end)
# and, once start_program ran, $app and $main.

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

step() { echo "== $(date +%T) $*"; }
# What a test adds to a failure's report.
fail_details() { :; }
fail() {
  echo "FAILED: $*" >&2
  echo "caption: $(caption 2>/dev/null || true)" >&2
  fail_details >&2
  [ -s "$work/openbox.log" ] && sed 's/^/openbox: /' "$work/openbox.log" >&2
  # The program's own last words: a sanitizer's report, an abort's reason.
  [ -s "$work/app.log" ] && tail -n 12 "$work/app.log" | sed 's/^/program: /' >&2
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "window $w: $(xdotool getwindowname "$w" 2>/dev/null)" >&2
  done
  if command -v xwd >/dev/null && command -v convert >/dev/null; then
    local shot="${TMPDIR:-/tmp}/melodrop-$(basename "$0")"
    xwd -root -silent | convert xwd:- "$shot.png" && echo "screen: $shot.png" >&2
    # A capture of the root shows a window mapped over another of the same
    # program black (Xvfb and Xephyr alike), though the screen shows it
    # drawn; the window's own capture shows what the user sees.
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
      xwd -id "$w" -silent | convert xwd:- "$shot-$w.png" 2>/dev/null &&
        echo "picture of window $w: $shot-$w.png" >&2
    done
  fi
  exit 1
}
# wait_until SECONDS WHAT COMMAND...: polls the command until it succeeds.
wait_until() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < end)) || fail "$what"
    sleep 0.05
  done
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
# A process that runs (one that ended and was not waited for is a zombie).
running() { ps -o stat= -p "$1" 2>/dev/null | grep -qv '^Z'; }
# Starts openbox, again when it gave up at once (seen under load: it found
# no display); true once it manages the display.
openbox_manages() {
  if [ -z "${openbox:-}" ] || ! running "$openbox"; then
    openbox >>"$work/openbox.log" 2>&1 &
    openbox=$!
    pids+=("$openbox")
  fi
  wm_running
}

# A window manager, and with "tray" a notification area.
start_desktop() {
  wait_until 60 "openbox manages the display" openbox_manages
  if [ "${1:-}" = tray ]; then
    trayer --edge top --align right >/dev/null 2>&1 &
    pids+=($!)
    wait_until 60 "trayer's notification area" bash -c 'xdotool search --name "^panel$" >/dev/null'
  fi
}

app=""
main=""
box_caption="^Melodrop Downloader for"
window_named() { xdotool search --all --onlyvisible --pid "$app" --name "$1" 2>/dev/null | tail -1; }
window_count() { xdotool search --all --onlyvisible --pid "$app" --name "$1" 2>/dev/null | wc -l; }
is_up() { [ -n "$(window_named "$1")" ]; }
is_gone() { [ -z "$(window_named "$1")" ]; }
# The save dialog and its question about replacing share a caption; the
# question is the small one, asked once the dialog has closed. Between the
# two there may be neither: the height is empty then.
save_as_height() {
  local w
  w=$(window_named "^Save As$") || true
  [ -n "$w" ] && xwininfo -id "$w" 2>/dev/null | awk '/Height/ {print $2}' || true
}
question_up() { local h; h=$(save_as_height); [ -n "$h" ] && [ "$h" -lt 200 ]; }
dialog_up() { local h; h=$(save_as_height); [ -n "$h" ] && [ "$h" -ge 200 ]; }
caption() { xdotool getwindowname "$main"; }
caption_is() { [ "$(caption)" = "$1" ]; }
keys() { xdotool windowactivate --sync "$1" key --clearmodifiers "${@:2}"; }
type_into() { xdotool windowactivate --sync "$1" type --delay 10 "$2"; }
# The client area's origin and height.
client() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Height/ {h=$2} END {print x, y, h}'; }
# click_at WINDOW X Y: a click at a point of a window's client area.
click_at() {
  local x y
  read -r x y _ < <(client "$1")
  xdotool windowactivate --sync "$1" mousemove $((x + $2)) $((y + $3)) click 1
}
# click_form X Y [MODIFIER]: a click at a point of the main window's form
# (below its menu bar).
click_form() {
  local x y h
  read -r x y h < <(client "$main")
  xdotool windowactivate --sync "$main" mousemove $((x + $1)) $((y + h - 523 + $2))
  if [ -n "${3:-}" ]; then
    xdotool keydown "$3" click 1 keyup "$3"
  else
    xdotool click 1
  fi
}
click_menu_bar() {
  local x y h
  read -r x y h < <(client "$main")
  xdotool windowactivate --sync "$main" mousemove $((x + $1)) $((y + 9)) click 1
}
# answer_box KEY WHAT [STATE...]: presses a key in the box that is up, then
# waits for the state that follows it, by default for no box at all. (Two
# boxes in a row are told apart by what follows the first: X may give the
# second the first one's window id.)
answer_box() {
  local key=$1 what=$2
  shift 2
  wait_until 20 "a box: $what" is_up "$box_caption"
  keys "$(window_named "$box_caption")" "$key"
  if [ $# -gt 0 ]; then
    wait_until 20 "after the box: $what" "$@"
  else
    wait_until 20 "the box goes: $what" is_gone "$box_caption"
  fi
}
# start_program COMMAND...: starts the program and answers its start-up
# notice; the login follows.
start_program() {
  "$@" >>"$work/app.log" 2>&1 &
  app=$!
  pids+=("$app")
  answer_box Return "the start-up notice" is_up "^(Подключение к серверу...|Подключено)$"
  main=$(window_named "^(Подключение к серверу...|Подключено)$")
}
close_program() {
  keys "$main" alt+F4
  wait_until 30 "the program ends" bash -c "! kill -0 $app 2>/dev/null"
}
