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
# The theme names its background picture by a full path, without braces: the
# product folder's name has braces, so the picture lies in a folder of its own,
# with its copies made for 150 % and 200 % beside it.
picture_win='C:\ProgramData\Norvane Demo Notes\background.jpg'
picture_dir="$drive_c/ProgramData/Norvane Demo Notes"
shots=build/demo

install_demo() { # [theme]
  rm -rf "$product_dir" "$install_dir" "$picture_dir"
  mkdir -p "$product_dir" "$install_dir"
  cp -r demo/norvane/installed/. "$install_dir/"
  # The installer writes its log with Windows line ends.
  while IFS= read -r line; do printf '%s\r\n' "${line//@INSTALL@/$DEMO_INSTALL}"; done \
    < demo/norvane/installer/uninstall.log > "$product_dir/uninstall.log"
  cp demo/norvane/installer/language.lan "$product_dir/"
  if [ "${1:-}" = theme ]; then
    mkdir -p "$product_dir/theme" "$picture_dir"
    cp demo/norvane/installer/theme/background*.jpg "$picture_dir/"
    for page in demo/norvane/installer/theme/*.lcd; do
      while IFS= read -r line; do printf '%s\r\n' "${line//@THEMEPICTURE@/$picture_win}"; done \
        < "$page" > "$product_dir/theme/$(basename "$page")"
    done
  fi
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
# (1 OK, 6 Yes, 7 No) that answers the next message box norvexec shows, or
# "page:NAME", which waits for the themed page to complete, lists its controls,
# saves its picture as $shots/NAME.png and presses its closing button. With
# $removal_log set (a Windows path), norvexec writes its removal log there.
run_norvexec() { # switch [button...]
  local switch=$1; shift
  rm -f "$trace_file"
  wine build/tests/bin/tracemonitor.exe "$(winepath -w "$trace_file")" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do [ -e "$trace_file" ] && break; sleep 0.05; done
  local log_switch=${removal_log:+/LOG=$removal_log}
  echo "norvexec $switch $DEMO_CODE $log_switch"
  wine build/bin/norvexec.exe "$switch" "$DEMO_CODE" ${log_switch:+"$log_switch"} >/dev/null 2>&1 </dev/null &
  local norvexec=$!
  for button in "$@"; do
    if [ "${button#page:}" != "$button" ]; then
      local shot=$shots/${button#page:}.png
      mkdir -p "$shots"
      wine build/tests/bin/pageshot.exe "$DEMO_NAME - Uninstall" "$(winepath -w "$shot")" Finish 60000 2>/dev/null \
        | tr -d '\r' | sed 's/^/  /'
      echo "  picture of the page: $ROOT/$shot"
      continue
    fi
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

# The installed theme as its author sees it: themeview checks its pages and writes
# pictures of the wizard page (also as a monitor of 144 dpi shows it) and of the
# progress page during and after a run.
themeview_demo() {
  local theme_win language_win
  theme_win="$(winepath -w "$product_dir/theme")\\"
  language_win=$(winepath -w "$product_dir/language.lan")
  mkdir -p "$shots"
  echo "themeview --check on the demo theme (licence.lcd, uninstall.lcd):"
  local code=0
  wine build/bin/themeview.exe --check "$theme_win" licence.lcd uninstall.lcd 2>/dev/null | tr -d '\r' \
    | sed 's/^/  /' || code=$?
  [ "$code" -eq 0 ] && echo "  no problems (exit code 0)" || echo "  exit code $code"
  local picture
  for picture in "licence-page:licence.lcd uninstall.lcd:100:96" "licence-page-144:licence.lcd uninstall.lcd:100:144" \
                 "progress-running:uninstall.lcd:45:96" "progress-completed:uninstall.lcd:100:96"; do
    local name pages percent dpi
    IFS=: read -r name pages percent dpi <<<"$picture"
    local scale=()
    [ "$dpi" = 96 ] || scale=(--dpi "$dpi")
    # shellcheck disable=SC2086
    wine build/bin/themeview.exe --picture "$(winepath -w "$shots/$name.png")" --progress "$percent" "${scale[@]}" \
      --product "$DEMO_NAME" --code "$DEMO_CODE" --language "$language_win" "$theme_win" $pages >/dev/null 2>&1 \
      || { echo "demo norvane FAILED: themeview --picture $name"; exit 1; }
    echo "  picture ($pages, run at $percent%, $dpi dpi): $ROOT/$shots/$name.png"
  done
}

echo "== the demo theme in themeview, the tool for theme authors"
install_demo theme
themeview_demo
echo "== silent uninstall with a removal log: the themed page shows while it removes, then the program ends"
removal_log='C:\norvane-demo-removal.log' run_norvexec /S
report
echo "  removal log $drive_c/norvane-demo-removal.log:"
sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' -e 's/^/    /' "$drive_c/norvane-demo-removal.log"
echo "== uninstall with the question and the themed progress page, closed with its button (exit code 259 arrives as 3)"
install_demo theme
run_norvexec /R 6 page:uninstall-page
report
echo "== modify without a theme: no page, the closing message"
install_demo
run_norvexec /I 1
report
rm -f "$trace_file"
