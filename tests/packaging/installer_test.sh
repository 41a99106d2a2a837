#!/usr/bin/env bash
# Installs, upgrades and removes Amicord with the 64-bit build of its installer
# under Wine, in a prefix of its own, and checks what every step leaves behind.
#
#   installer_test.sh CASE SETUP_EXE LAYOUT_DIR ANSWERER_EXE VERSION
#
# The cases share the prefix (ctest runs them one at a time); each one starts by
# clearing what an earlier case may have left.
set -uo pipefail
case_name=$1 setup=$2 layout=$3 answerer=$4 version=$5
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX
# A headless prefix of its own, away from the one the other tests share.
WINEPREFIX=$(AMICORD_WINE_ROOT="$root/build/wine/installer" "$root/scripts/wine-prefix" test)
# Shortcuts the installer makes must not become menu entries on this machine.
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"

# One server and one set of Wine's services for all the cases, started with no
# pipes of ctest's in their hands (or ctest would wait for them to go away).
wineserver -p30 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }

# wine with no terminal attached: its services must not keep our pipes open.
w() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
unix_path() { winepath -u "$1" 2>/dev/null; }
# Plays the user through a wizard; prints the questions it answered. Through a
# file, not a pipe: a program the wizard starts would hold a pipe open.
answer() {  # yes|no PROGRAM
  wine "$answerer_win" answer "$1" "$2" </dev/null >"$work/answers" 2>/dev/null
  local status=$?
  tr -d '\r' <"$work/answers"
  return $status
}
answerer_win=$(winepath -w "$answerer")
setup_win=$(winepath -w "$setup")
# Waits for the programs of the prefix, such as the uninstaller's own copy.
settle() { w "$answerer_win" wait-quiet || fail "programs still running"; }

local_app_data=$(w cmd /c echo %LOCALAPPDATA%)
app_data=$(w cmd /c echo %APPDATA%)
default_dir_win="$local_app_data\\Programs\\Amicord"
other_dir_win='C:\Other Place\Amicord'
portable_exe_win='C:\Portable\Amicord\Amicord.exe'
default_dir=$(unix_path "$default_dir_win")
other_dir=$(unix_path "$other_dir_win")
portable_exe=$(unix_path "$portable_exe_win")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Amicord.lnk")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Amicord'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
main_title='Amicord - Personal Relationship Manager'

value_in() {  # NAME: the data of that value in reg query's output on standard input
  awk -v name="$1" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print }'
}
reg_value() { w reg query "$1" /v "$2" ${3:-} | value_in "$2"; }  # KEY NAME [/reg:32|/reg:64]
has_value() { [ -n "$(w reg query "$1" /v "$2" ${3:-} | awk -v name="$2" '$1 == name')" ]; }

reset_prefix() {
  settle
  rm -rf "$default_dir" "$(dirname "$other_dir")" "$(dirname "$portable_exe")" "$shortcut"
  w reg delete "$uninstall_key" /f >/dev/null
  w reg delete "HKCU\\$run_key" /v Amicord /f >/dev/null
  w reg delete "HKLM\\$run_key" /v Amicord /f /reg:32 >/dev/null
  w reg delete "HKLM\\$run_key" /v Amicord /f /reg:64 >/dev/null
}

install() {  # [folder]: the installer's /D=, which takes no quotes around spaces
  w "$answerer_win" run "\"$setup_win\" /S${1:+ /D=$1}" >/dev/null
}

uninstall_silently() {  # DIR
  w "$(winepath -w "$1/Uninstall.exe")" /S >/dev/null
  settle
}

# Data as a user's Amicord leaves it, plus a picture of their own in images\.
put_user_data() {  # DIR
  mkdir -p "$1/settings" "$1/images"
  printf '22 serialization::archive 3 0 1 2 0 0 2 0 1 3 1 1\r\n0 1 6 Family' >"$1/settings/groups.dat"
  printf 'contacts of someone' >"$1/settings/contacts.dat"
  printf 'options of someone' >"$1/settings/options.dat"
  printf 'kept after a fault' >"$1/settings/contacts.dat.damaged"
  printf 'a photo' >"$1/images/anna.png"
  (cd "$1" && sha256sum settings/* images/anna.png) >"$work/user-data.sums"
}
user_data_intact() { (cd "$1" && sha256sum --quiet -c "$work/user-data.sums" >/dev/null 2>&1); }

program_files_match_layout() {  # DIR
  cmp -s "$layout/Amicord.exe" "$1/Amicord.exe" && cmp -s "$layout/help.html" "$1/help.html" &&
    cmp -s "$layout/images/groups/default.png" "$1/images/groups/default.png"
}
no_program_files() {  # DIR
  [ ! -e "$1/Amicord.exe" ] && [ ! -e "$1/help.html" ] && [ ! -e "$1/Uninstall.exe" ] &&
    [ ! -e "$1/images/groups" ]
}
empty_dir() { [ -d "$1" ] && [ -z "$(ls -A "$1")" ]; }

reset_prefix
case "$case_name" in
  FreshInstall)
    check "installer exit code" install
    check "program files are the layout's" program_files_match_layout "$default_dir"
    check "uninstaller written" test -f "$default_dir/Uninstall.exe"
    check "empty settings folder" empty_dir "$default_dir/settings"
    check "Start-menu shortcut" test -f "$shortcut"
    entry=$(w reg query "$uninstall_key")
    [ "$(value_in DisplayName <<<"$entry")" = Amicord ] || fail "DisplayName"
    [ "$(value_in DisplayVersion <<<"$entry")" = "$version" ] || fail "DisplayVersion"
    [ "$(value_in Publisher <<<"$entry")" = Amicord ] || fail "Publisher"
    [ "$(value_in InstallLocation <<<"$entry")" = "$default_dir_win" ] || fail "InstallLocation"
    [ "$(value_in UninstallString <<<"$entry")" = "\"$default_dir_win\\Uninstall.exe\"" ] || fail "UninstallString"
    [ "$(value_in DisplayIcon <<<"$entry")" = "$default_dir_win\\Amicord.exe,0" ] || fail "DisplayIcon"
    [ "$(value_in NoModify <<<"$entry")" = 0x1 ] || fail "NoModify"
    [ "$(value_in NoRepair <<<"$entry")" = 0x1 ] || fail "NoRepair"
    # The program's own files, in KiB, and nothing of the user's.
    expected_kib=$(( ($(stat -c %s "$layout/Amicord.exe") + $(stat -c %s "$layout/help.html") +
                      $(stat -c %s "$layout/images/groups/default.png")) / 1024 ))
    size_kib=$(( $(value_in EstimatedSize <<<"$entry") ))
    [ "$size_kib" -ge "$expected_kib" ] && [ "$size_kib" -le $((expected_kib + 3)) ] ||
      fail "EstimatedSize $size_kib KiB for about $expected_kib KiB of files"
    has_value "HKCU\\$run_key" Amicord && fail "the installer registered auto-start"
    ;;

  WizardInstallsAndStartsAmicord)
    # Every page with its default button, as a user who only clicks Next would;
    # the last page's "Start Amicord" is ticked from the start.
    answers=$(answer no "$setup_win")
    check "installer driven to its end" test $? -eq 0
    grep -q '^message:' <<<"$answers" && fail "the installer asked something: $answers"
    if w "$answerer_win" wait-window "$main_title" >/dev/null; then
      w "$answerer_win" close-window "$main_title" >/dev/null || fail "could not close Amicord"
    else
      fail "the last page did not start Amicord"
    fi
    settle
    check "program files are the layout's" program_files_match_layout "$default_dir"
    check "Amicord ran from the installed folder and saved there" test -s "$default_dir/settings/options.dat"
    check "uninstall entry" w reg query "$uninstall_key"
    ;;

  UpgradeKeepsDataAndPlace)
    check "first install" install
    put_user_data "$default_dir"
    printf 'an older Amicord' >"$default_dir/Amicord.exe"
    printf 'older help' >"$default_dir/help.html"
    check "upgrade" install
    check "program files replaced" program_files_match_layout "$default_dir"
    check "user data untouched by the upgrade" user_data_intact "$default_dir"
    # Installed elsewhere, an upgrade without a folder given goes to the same place.
    reset_prefix
    check "install into a chosen folder" install "$other_dir_win"
    check "program in the chosen folder" program_files_match_layout "$other_dir"
    [ "$(reg_value "$uninstall_key" InstallLocation)" = "$other_dir_win" ] || fail "InstallLocation of the chosen folder"
    put_user_data "$other_dir"
    check "upgrade of the chosen folder" install
    check "upgrade found the chosen folder" program_files_match_layout "$other_dir"
    check "user data untouched there" user_data_intact "$other_dir"
    [ ! -e "$default_dir" ] || fail "the upgrade went to the default folder instead"
    ;;

  SilentUninstallKeepsData)
    check "install" install
    put_user_data "$default_dir"
    mkdir -p "$(dirname "$portable_exe")" && printf 'portable' >"$portable_exe"
    # Written the way Amicord writes them: the path it ran from, in whatever letter case.
    w reg add "HKCU\\$run_key" /v Amicord /d "$default_dir_win\\Amicord.exe" /f >/dev/null
    w reg add "HKLM\\$run_key" /v Amicord /d "${default_dir_win^^}\\AMICORD.EXE" /f /reg:32 >/dev/null
    w reg add "HKLM\\$run_key" /v Amicord /d "$portable_exe_win" /f /reg:64 >/dev/null
    uninstall_silently "$default_dir"
    check "program files removed" no_program_files "$default_dir"
    check "Start-menu shortcut removed" test ! -e "$shortcut"
    w reg query "$uninstall_key" >/dev/null && fail "uninstall entry left behind"
    has_value "HKCU\\$run_key" Amicord && fail "the user's auto-start value left behind"
    has_value "HKLM\\$run_key" Amicord /reg:32 && fail "the machine's auto-start value left behind"
    [ "$(reg_value "HKLM\\$run_key" Amicord /reg:64)" = "$portable_exe_win" ] ||
      fail "the auto-start value of a portable copy that still exists was removed"
    check "user data kept (silent answer is No)" user_data_intact "$default_dir"
    ;;

  UninstallAskedYesDeletesData)
    check "install" install
    put_user_data "$default_dir"
    answers=$(answer yes "$default_dir_win\\Uninstall.exe")
    check "uninstaller driven to its end" test $? -eq 0
    settle
    echo "$answers"
    [ "$(grep -c '^message:' <<<"$answers")" = 1 ] || fail "expected exactly one question"
    grep -qF "$default_dir_win\\settings" <<<"$answers" || fail "the question does not name the settings folder"
    grep -qF "$default_dir_win\\images" <<<"$answers" || fail "the question does not mention the user's pictures"
    grep -qx 'default: no' <<<"$answers" || fail "No is not the question's default answer"
    [ ! -e "$default_dir" ] || fail "install folder left behind: $(cd "$default_dir" && find . | tr '\n' ' ')"
    ;;

  UninstallAskedNoKeepsData)
    check "install" install
    put_user_data "$default_dir"
    answers=$(answer no "$default_dir_win\\Uninstall.exe")
    check "uninstaller driven to its end" test $? -eq 0
    settle
    [ "$(grep -c '^message:' <<<"$answers")" = 1 ] || fail "expected exactly one question"
    check "program files removed" no_program_files "$default_dir"
    check "user data kept" user_data_intact "$default_dir"
    ;;

  UninstallWithoutDataAsksNothing)
    check "install" install
    answers=$(answer yes "$default_dir_win\\Uninstall.exe")
    check "uninstaller driven to its end" test $? -eq 0
    settle
    grep -q '^message:' <<<"$answers" && fail "asked about data although there was none: $answers"
    [ ! -e "$default_dir" ] || fail "install folder left behind"
    ;;

  RunningProgramIsNotReplaced)
    check "install" install
    wine "$(winepath -w "$default_dir/Amicord.exe")" </dev/null >/dev/null 2>&1 &
    program=$!
    if ! w "$answerer_win" wait-window "$main_title" >/dev/null; then
      fail "Amicord's window did not appear"
    else
      w "$setup_win" /S >/dev/null && fail "the installer replaced a running Amicord"
      # In place (_?=), so that its own exit code tells whether it gave up.
      w "$(winepath -w "$default_dir/Uninstall.exe")" /S "_?=$default_dir_win" >/dev/null &&
        fail "the uninstaller removed a running Amicord"
      check "program still installed" program_files_match_layout "$default_dir"
      w reg query "$uninstall_key" >/dev/null || fail "uninstall entry removed under a running Amicord"
      # Exit as the user would: Amicord saves on its way out.
      w "$answerer_win" close-window "$main_title" >/dev/null || fail "could not close Amicord"
    fi
    wait "$program"
    check "Amicord saved its data on exit" test -s "$default_dir/settings/options.dat"
    uninstall_silently "$default_dir"
    check "program files removed once Amicord ended" no_program_files "$default_dir"
    check "data Amicord saved is kept" test -s "$default_dir/settings/options.dat"
    ;;

  *)
    echo "installer_test: unknown case $case_name" >&2
    exit 2
    ;;
esac

reset_prefix
[ "$failures" -eq 0 ] || { echo "$case_name: $failures failure(s)"; exit 1; }
echo "$case_name: passed"
