#!/usr/bin/env bash
# Installs the demo product into the project's Wine prefix and runs norvexec on it,
# printing what happened. Run by scripts/demo.sh, which provides the Wine session.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/env.sh
. demo/norvane/product.sh

drive_c=$WINEPREFIX/drive_c
product_dir=$drive_c/windows/Installer/$DEMO_CODE
install_dir=$drive_c/${DEMO_INSTALL#C:\\}
install_dir=${install_dir//\\//}
uninstall_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$DEMO_CODE"
uninstall_key32="HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$DEMO_CODE"
settings_key="HKCU\\Software\\Norvane Demo Notes"

install_demo() {
  rm -rf "$product_dir" "$install_dir"
  mkdir -p "$product_dir" "$install_dir"
  cp -r demo/norvane/installed/. "$install_dir/"
  # The installer writes its log with Windows line ends.
  while IFS= read -r line; do printf '%s\r\n' "${line//@INSTALL@/$DEMO_INSTALL}"; done \
    < demo/norvane/installer/uninstall.log > "$product_dir/uninstall.log"
  cp demo/norvane/installer/language.lan "$product_dir/"
  for key in "$uninstall_key" "$uninstall_key32"; do
    wine reg add "$key" /v DisplayName /d "$DEMO_NAME" /f >/dev/null 2>&1
    wine reg add "$key" /v LastInstallationPath /d "$DEMO_INSTALL" /f >/dev/null 2>&1
  done
  wine reg add "$settings_key" /v WindowPos /d "10,10,400,300" /f >/dev/null 2>&1
  echo "installed $DEMO_NAME $DEMO_CODE into $DEMO_INSTALL ($(find "$install_dir" -type f | wc -l) files)"
}

exists() { [ -e "$1" ] && echo present || echo gone; }
key_state() { wine reg query "$1" >/dev/null 2>&1 && echo present || echo gone; }

report() {
  echo "  install folder:        $(exists "$install_dir")"
  echo "  per-product folder:    $(exists "$product_dir") (the engine leaves it)"
  echo "  registration:          $(key_state "$uninstall_key")"
  echo "  registration (32-bit): $(key_state "$uninstall_key32")"
  echo "  settings value:        $(wine reg query "$settings_key" /v WindowPos >/dev/null 2>&1 && echo present || echo gone)"
}

trace_file=$(mktemp)
# Runs norvexec with the trace monitor listening; each further argument is a button
# (1 OK, 6 Yes, 7 No) that answers the next message box norvexec shows.
run_norvexec() { # switch [button...]
  local switch=$1; shift
  rm -f "$trace_file"
  wine build/tests/bin/tracemonitor.exe "$(winepath -w "$trace_file")" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do [ -e "$trace_file" ] && break; sleep 0.05; done
  echo "norvexec $switch $DEMO_CODE"
  wine build/bin/norvexec.exe "$switch" "$DEMO_CODE" >/dev/null 2>&1 </dev/null &
  local norvexec=$!
  for button in "$@"; do
    printf '  message box: '
    wine build/tests/bin/answerbox.exe "$button" 30000 2>/dev/null | tr -d '\r' || echo "(none appeared)"
    printf '  answered with button %s\n' "$button"
  done
  local code=0
  wait "$norvexec" || code=$?
  wine build/tests/bin/tracemonitor.exe /close >/dev/null 2>&1 || true
  echo "  ended with exit code $code; trace lines received:"
  sed 's/^/    /' "$trace_file"
}

echo "== silent uninstall"
install_demo
run_norvexec /S
report
echo "== uninstall with the question and the closing message"
install_demo
run_norvexec /R 6 1
report
rm -f "$trace_file"
