#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb) of its own: the real-window
# tests need a display, and a test run must not depend on (or disturb) the
# user's. The server picks a free display number itself (-displayfd) and is
# stopped when the command ends.
#   scripts/with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail
if ! command -v Xvfb >/dev/null; then
  echo "with-xvfb.sh: Xvfb is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
# Large enough for the biggest editor window; with the compositing extension, as
# desktops have it, the server also offers the 32-bit visuals that hosts use.
Xvfb -displayfd 3 -screen 0 1920x1400x24 +extension COMPOSITE -nolisten tcp 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$fifo_dir"' EXIT
if ! read -r -t 20 display <"$fifo_dir/display"; then
  echo "with-xvfb.sh: Xvfb did not start" >&2
  cat "$fifo_dir/xvfb.log" >&2 || true
  exit 1
fi
export DISPLAY=":$display"
"$@"
