#!/bin/sh
# Runs a window test on a fresh X server (Xvfb) with a window manager
# (openbox), so frames, title bars and the manager's rules are real:
#   RunUnderWindowManager.sh TEST_PROGRAM [ARGS...]
# Exits 77 (ctest: skipped) when the server or the manager cannot start here.
set -u
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit 77
  fi
done
work=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# The server picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
i=0
while [ ! -s "$work/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start: skipped"
  cat "$work/xvfb.log"
  exit 77
fi
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
# The manager is ready once it names its check window on the root.
i=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  i=$((i + 1))
  if [ $i -ge 100 ] || ! kill -0 "$wm" 2>/dev/null; then
    echo "openbox did not start: skipped"
    cat "$work/openbox.log"
    exit 77
  fi
  sleep 0.1
done
QT_QPA_PLATFORM=xcb "$@"
status=$?
exit $status
