#!/usr/bin/env bash
# Runs a command under its own Xvfb server. The server picks a free display number itself
# (-displayfd), so several GUI test binaries can start at once without racing for a display.
set -euo pipefail

fifo_dir=$(mktemp -d)
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!

read -r -t 20 display_number <"$fifo_dir/display" || {
  echo "Xvfb did not start:" >&2
  cat "$fifo_dir/xvfb.log" >&2
  exit 1
}
export DISPLAY=":$display_number"
"$@"
