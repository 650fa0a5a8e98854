# A display and a warm Wine server for one run of tests, demo or benchmarks; sourced.
# session_start picks a free display, starts Xvfb (1024 x 768, or the size given as
# WIDTHxHEIGHT) and the Wine server, and starts Wine's own services once with their
# output sent away: a test program that started them would hand them its output
# pipe and CTest would wait for them forever.
session_start() {
  local n link
  # No run may reach the Linux home through the prefix (setup.sh makes real folders).
  link=$(find "$WINEPREFIX/drive_c/users" -type l -print -quit 2>/dev/null)
  [ -z "$link" ] || { echo "session failed: $link leads out of the prefix; run scripts/setup.sh" >&2; return 1; }
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  export DISPLAY=:$n
  Xvfb "$DISPLAY" -screen 0 "${1:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  SESSION_XVFB=$!
  local i
  for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "session failed: Xvfb did not start on $DISPLAY" >&2; return 1; }
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || { echo "session failed: Wine did not start" >&2; return 1; }
}

session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "${SESSION_XVFB:-}" ] && kill "$SESSION_XVFB" >/dev/null 2>&1 || true
  [ -n "${SESSION_XVFB:-}" ] && wait "$SESSION_XVFB" 2>/dev/null || true
}
