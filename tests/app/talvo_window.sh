#!/usr/bin/env bash
# End-to-end test of the real program under its own X server: start, import a measurement, export,
# save / new / open, colour schemes, the manual, a refused import, Open of a named pipe, a closed
# drop-down list and closing the window.
#   bash talvo_window.sh <path-to-Talvo> <work-dir>
# On a failed step the script stops, keeps a screenshot in the work dir and exits non-zero.
# The X server runs with -noreset so that the window-manager atoms made before the start survive;
# with them, the program must get no X error (a debug build logs each as "X returned ...").
set -euo pipefail

app="$(realpath "$1")"
work="$2"
data="$(cd "$(dirname "${BASH_SOURCE[0]}")/../data" && pwd)"
mkdir -p "$work"
rm -f "$work"/failed-*.png
work="$(realpath "$work")"

if [ -z "${TALVO_E2E_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" env TALVO_E2E_DISPLAY=1 bash "${BASH_SOURCE[0]}" "$app" "$work"
fi

# Positions inside the main window's content (1024 x 768). The workspace panel starts at x = 685 with
# the default divider position; its controls sit at fixed places inside it.
panel_x=685
input_file_field=(814 54)  # labelInputFile
export_button=(851 618)    # textButtonExport
target_magnitude=(814 232) # comboBoxTargetMagnitude
nfft_box=(857 540)         # comboBoxNfft
setup_ok=(102 324)         # the OK button of the 204 x 348 Import Setup dialog
nfft=4096
help_menu=130             # x of "Help" in the menu bar

closer="$work/send-close"  # the window manager's close button, see send-close.c
pid=""
window=""
menu_bar=0
step_name="start"

fail() {
  local shot="$work/failed-${step_name// /-}.png"
  import -window root "$shot" 2>/dev/null || true
  echo "FAILED in step '$step_name': $*" >&2
  echo "screenshot: $shot" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  show_program_output
  exit 1
}

# The program's own output goes to the test's output, where failed framework checks are looked for.
show_program_output() {
  echo "--- output of the program"
  cat "$work/talvo.log"
}

# Ids of the mapped windows whose name matches the pattern. xdotool gives up on the whole search
# when some other window vanishes during it, so errors are ignored and callers poll.
find_windows() {
  local id
  for id in $(xdotool search --name "$1" 2>/dev/null || true); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id"
  done
  return 0
}

# Waits up to 20 s for a window whose name matches the pattern; prints its id.
wait_window() {
  local id=""
  for _ in $(seq 200); do
    id="$(find_windows "$1" | head -1)"
    if [ -n "$id" ]; then
      sleep 0.3 # let it lay itself out and paint before it is clicked
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

wait_gone() {
  for _ in $(seq 100); do
    [ -z "$(find_windows "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# Clicks at x y inside the window named by the pattern until the window goes away (3 tries).
click_until_gone() { # pattern x y
  local id
  for _ in 1 2 3; do
    id="$(find_windows "$1" | head -1)"
    [ -z "$id" ] && return 0
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool mousemove --window "$id" "$2" "$3" click 1 2>/dev/null || true
    wait_gone "$1" && return 0
  done
  return 1
}

wait_file() {
  for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done
  return 1
}

focus_main() { xdotool windowfocus --sync "$window"; }

keys() { focus_main; xdotool key --clearmodifiers "$@"; sleep 0.3; }

click_content() { # x y inside the content
  xdotool mousemove --window "$window" "$1" "$(($2 + menu_bar))" click 1
  sleep 0.3
}

# Types a path into a JUCE file chooser (its file box sits 64 pixels above the bottom) and confirms.
choose_file() { # title path
  local chooser height
  chooser="$(wait_window "^$1")" || fail "no '$1' chooser"
  height="$(xdotool getwindowgeometry "$chooser" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')"
  xdotool windowfocus --sync "$chooser"
  xdotool mousemove --window "$chooser" 300 $((height - 64)) click 1
  sleep 0.3
  xdotool type --delay 5 "$2"
  xdotool key Return   # the chooser moves to the folder and keeps the name
  sleep 0.5
  xdotool key Return   # and accepts it
  wait_gone "^$1" || fail "'$1' chooser did not close"
  sleep 0.3
}

# Types into the input-file field and presses Return; the import asks for its setup first.
enter_input_file() {
  click_content "${input_file_field[@]}"
  xdotool type --delay 5 "$1"
  xdotool key Return
}

export_to() {
  rm -f "$1"
  click_content "${export_button[@]}"
  choose_file "Export" "$1"
  wait_file "$1" || fail "nothing exported to $1"
}

pixel_at() { # x y on the screen of the last screenshot
  convert "$work/shot.png" -format "%[hex:u.p{$1,$2}]" info:
}

window_position() { # prints "x y" of the main window on the screen
  xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}

photograph() { import -window root "$work/$1"; cp "$work/$1" "$work/shot.png"; }

wait_colour() { # x y RRGGBB shot-name [not]: photographs until the pixel shows the colour, or with
  local colour=""  # "not" another one (at most 5 s); prints the last colour read when it never did
  for _ in $(seq 25); do
    photograph "$4"
    colour="$(pixel_at "$1" "$2")"
    if [ "${5:-}" = not ]; then [ "${colour:0:6}" != "$3" ] && return 0; else [ "${colour:0:6}" = "$3" ] && return 0; fi
    sleep 0.2
  done
  echo "$colour"
  return 1
}

step_start() {
  step_name="start"
  cc -O1 -o "$closer" "$(dirname "${BASH_SOURCE[0]}")/send-close.c" -lX11 || fail "cannot build send-close"
  "$closer" --intern
  # The browser that the program starts only notes what it was asked to open.
  mkdir -p "$work/bin"
  printf '#!/bin/sh\necho "$1" >"%s/opened-url"\n' "$work" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  PATH="$work/bin:$PATH" "$app" >"$work/talvo.log" 2>&1 &
  pid=$!
  wait_window '^Talvo$' >/dev/null || fail "no window named Talvo"
  # The window is made twice while it starts (once more for the native title bar): look again
  # once it has settled.
  sleep 1.5
  local windows count geometry width height
  windows="$(find_windows '^Talvo$')"
  count="$(wc -w <<<"$windows")"
  [ "$count" -eq 1 ] || fail "$count windows named Talvo"
  window="$windows"
  geometry="$(xdotool getwindowgeometry "$window")"
  width="$(sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' <<<"$geometry")"
  height="$(sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p' <<<"$geometry")"
  menu_bar=$((height - 768))
  [ "$width" -eq 1024 ] || fail "window is $width pixels wide"
  [ "$menu_bar" -ge 16 ] && [ "$menu_bar" -le 40 ] || fail "window is $height pixels high: content plus menu bar should be 768 + ~24"

  photograph start.png
  # The default plots are drawn: the curve blue of the light scheme is in the plot area.
  local blue x y
  read -r x y < <(window_position)
  blue="$(convert "$work/shot.png" -crop "${panel_x}x768+$x+$((y + menu_bar))" -fuzz 15% -fill black +opaque '#1E63B8' \
          -fill white -opaque '#1E63B8' -format '%[fx:round(mean*w*h)]' info:)"
  [ "$blue" -gt 400 ] || fail "plots look blank ($blue curve pixels)"
}

step_import_and_export() {
  step_name="import and export"
  enter_input_file "$data/room-response.txt"
  wait_window '^Import Setup$' >/dev/null || fail "no Import Setup dialog"
  click_until_gone '^Import Setup$' "${setup_ok[@]}" || fail "Import Setup did not close"
  sleep 0.5
  # A flat target makes the filter a real correction of the measurement.
  click_content "${target_magnitude[@]}"
  xdotool key Down Return
  sleep 0.5
  export_to "$work/fir.txt"
  local lines bad
  lines="$(wc -l <"$work/fir.txt")"
  [ "$lines" -eq "$nfft" ] || fail "exported $lines lines, expected $nfft"
  bad="$(grep -cvE '^-?[0-9]+\.[0-9]{16}$' "$work/fir.txt" || true)"
  [ "$bad" -eq 0 ] || fail "$bad lines are not numbers with 16 decimals"
  [ "$(sort -u "$work/fir.txt" | wc -l)" -gt 100 ] || fail "the exported filter looks empty"
}

step_save_new_open() {
  step_name="save new open"
  rm -f "$work/design.tlvProj"
  keys ctrl+shift+s
  choose_file "Save As" "$work/design"
  wait_file "$work/design.tlvProj" || fail "Save As wrote no design.tlvProj"

  keys ctrl+n
  export_to "$work/fir-new.txt"
  cmp -s "$work/fir.txt" "$work/fir-new.txt" && fail "New did not reset the design"

  keys ctrl+o
  choose_file "Open" "$work/design.tlvProj"
  sleep 0.5
  export_to "$work/fir-opened.txt"
  cmp "$work/fir.txt" "$work/fir-opened.txt" || fail "the reopened design exports a different FIR"
}

step_colour_schemes() {
  step_name="colour schemes"
  # The 6-pixel border of the content shows the window background; the menu bar, at the right end
  # where it has no item, must change with it and come back.
  # A slow (sanitized) build may need longer than the key's pause to repaint, hence the wait.
  local x y seen bar_x bar_y light_bar
  read -r x y < <(window_position)
  bar_x=$((x + 1000)) bar_y=$((y + menu_bar / 2))
  photograph before-dark.png
  light_bar="$(pixel_at $bar_x $bar_y)"
  light_bar="${light_bar:0:6}"
  keys ctrl+shift+d
  seen="$(wait_colour $((x + 2)) $((y + menu_bar + 2)) 0A0A0A dark.png)" || fail "dark background is $seen"
  wait_colour $bar_x $bar_y "$light_bar" dark-bar.png not >/dev/null || fail "the menu bar kept its light colour"
  keys ctrl+shift+l
  seen="$(wait_colour $((x + 2)) $((y + menu_bar + 2)) F2F2F2 light.png)" || fail "light background is $seen"
  seen="$(wait_colour $bar_x $bar_y "$light_bar" light-bar.png)" || fail "the light menu bar is $seen, was $light_bar"
}

step_manual() {
  step_name="manual"
  local menu url page
  rm -f "$work/opened-url"
  focus_main
  xdotool mousemove --window "$window" "$help_menu" $((menu_bar / 2)) click 1
  menu="$(wait_window '^menu$')" || fail "the Help menu did not open"
  xdotool mousemove --window "$menu" 40 12 click 1 # its first item, Online Manual
  wait_file "$work/opened-url" || fail "Online Manual opened nothing"
  url="$(cat "$work/opened-url")"
  [[ "$url" == file://* ]] || fail "Online Manual opened $url, not a file"
  page="${url#file://}"
  page="$(printf '%b' "${page//%/\\x}")"
  [ -f "$page" ] || fail "Online Manual opened $page, which does not exist"
  [ "$(dirname "$page")" = "$(dirname "$app")" ] || fail "the manual $page is not beside the program"
  grep -q '<title>Talvo Manual</title>' "$page" || fail "$page is not the manual"
}

step_missing_file() {
  step_name="missing file"
  enter_input_file "$work/no-such-measurement.txt"
  local alert
  wait_window '^Import Setup$' >/dev/null || fail "no Import Setup dialog"
  click_until_gone '^Import Setup$' "${setup_ok[@]}" || fail "Import Setup did not close"
  alert="$(wait_window '^Importing File$')" || fail "no 'Importing File' message"
  photograph missing-file.png
  xdotool windowfocus --sync "$alert"
  xdotool key Return
  wait_gone '^Importing File$' || fail "the message did not close"
  sleep 0.3
  export_to "$work/fir-after-missing.txt"
  cmp "$work/fir.txt" "$work/fir-after-missing.txt" || fail "the design changed after a missing file"
}

step_open_pipe() {
  step_name="open pipe"
  # Opening a named pipe must not wait for a writer: it is refused at once and the design stays.
  local alert
  rm -f "$work/pipe.tlvProj"
  mkfifo "$work/pipe.tlvProj"
  keys ctrl+o
  choose_file 'Open\.\.\.' "$work/pipe.tlvProj" # not "Opening File"
  alert="$(wait_window '^Opening File$')" || fail "no 'Opening File' message: the window waits for the pipe"
  photograph open-pipe.png
  xdotool windowfocus --sync "$alert"
  xdotool key Return
  wait_gone '^Opening File$' || fail "the message did not close"
  sleep 0.3
  export_to "$work/fir-after-pipe.txt"
  cmp "$work/fir.txt" "$work/fir-after-pipe.txt" || fail "the design changed after opening a pipe"
}

step_closed_list() {
  step_name="closed list"
  # Choosing from a drop-down list with the mouse closes it without hiding it first; the panel
  # below must be repainted without waiting for the next mouse move (hence none here).
  local list area differ
  photograph before-list.png
  click_content "${nfft_box[@]}"
  list="$(wait_window '^menu$')" || fail "the IR Length list did not open"
  area="$(xdotool getwindowgeometry "$list" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/+\1+\2/p')"
  area="$(xdotool getwindowgeometry "$list" | sed -n 's/.*Geometry: \([0-9x]*\).*/\1/p')$area"
  xdotool mousemove --window "$list" 40 15 click 1 # its first item
  wait_gone '^menu$' || fail "the list did not close"
  for _ in $(seq 15); do # a slow build may take a moment; unrepainted, the list stays for good
    photograph closed-list.png
    differ="$(compare -metric AE -fuzz 2% "$work/before-list.png[$area]" "$work/closed-list.png[$area]" null: 2>&1 || true)"
    [ "$differ" -lt 20 ] && return 0
    sleep 0.2
  done
  fail "$differ pixels where the list was still differ from the panel"
}

step_close() {
  step_name="close"
  "$closer" "$window"
  local status=0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "still running after the close button"
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "exit code $status"
}

step_start
step_import_and_export
step_save_new_open
step_colour_schemes
step_manual
step_missing_file
step_open_pipe
step_closed_list
step_close
step_name="X errors"
! grep -q "X returned" "$work/talvo.log" || fail "the program got X errors"
show_program_output
echo "all steps passed; screenshots in $work"
