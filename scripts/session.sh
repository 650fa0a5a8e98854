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

# A copy of the project's prefix for runs of their own (another DPI, a second lane
# of tests). It shares Wine's own libraries with the prefix through hard links
# (nothing writes there) and has everything else (registry, users' folders) to
# itself. The running Wine server of other tests may save its registry meanwhile:
# it writes a temporary file and renames it, so tar may find the folder changed
# (status 1, a warning) and the temporary file is left out; what was read is whole.
prefix_copy() { # copy
  local copy=$1 folder status
  local shared=(drive_c/windows/system32 drive_c/windows/winsxs)
  prefix_remove "$copy"
  mkdir -p "$copy"
  tar -C "$WINEPREFIX" "${shared[@]/#/--exclude=./}" --exclude='./reg*.tmp' \
      --warning=no-file-changed --warning=no-file-removed -cf - . \
    | tar -C "$copy" -xf -
  status=("${PIPESTATUS[@]}")
  if [ "${status[0]}" -gt 1 ] || [ "${status[1]}" -ne 0 ]; then
    echo "session failed: could not copy the prefix to $copy" >&2; return 1
  fi
  for folder in "${shared[@]}"; do
    cp -al "$WINEPREFIX/$folder" "$copy/$folder" || { echo "session failed: could not link $folder" >&2; return 1; }
  done
}

prefix_remove() { # copy
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
  rm -rf "$1"
}

# A second lane of tests beside the session's (scripts/test.sh runs the two side by
# side): a prefix copy, a display and a Wine server of its own, so that the windows,
# focus, registry and files of one lane never meet the other's. The lane's test
# programs find them through scripts/wine-lane.sh.
lane_start() { # name
  local copy=$ROOT/build/wine-lane-$1 display=$DISPLAY xvfb=${SESSION_XVFB-}
  prefix_copy "$copy" || return 1
  WINEPREFIX=$copy session_start || return 1
  echo "$DISPLAY" >"$copy/.display"
  echo "$SESSION_XVFB" >"$copy/.xvfb"
  export DISPLAY=$display
  SESSION_XVFB=$xvfb
}

lane_stop() { # name
  local copy=$ROOT/build/wine-lane-$1
  if [ -f "$copy/.xvfb" ]; then
    WINEPREFIX=$copy SESSION_XVFB=$(cat "$copy/.xvfb") session_stop
  fi
  prefix_remove "$copy"
}
