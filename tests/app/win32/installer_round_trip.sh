#!/usr/bin/env bash
# The Windows installer under Wine, as a user without administrator rights runs it: a silent
# install puts the programs, the templates, the uninstaller and the Start-menu shortcut in place
# and registers the uninstaller; the installed kesto-decorate.exe checks an installed template;
# the registered silent uninstall then leaves nothing behind.
#   installer_round_trip.sh SETUP_EXE WORK_FOLDER
set -euo pipefail
setup=$1
work=$2
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "installer_round_trip: $*" >&2
    exit 1
}

"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
user_folder=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public |
    head -n 1)
installed=$user_folder/AppData/Local/Programs/kesto-decor
shortcut="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kesto装修.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kesto-decor'

"$wine" "$setup" /S
"$wineserver" -w
for file in kesto-design.exe kesto-decorate.exe uninstall.exe template/ocean-blue/head \
    template/spring-garden/main; do
    [ -e "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
uninstall=$("$wine" reg query "$key" /v QuietUninstallString 2>/dev/null |
    sed -n 's/.*QuietUninstallString *REG_SZ *//p' | tr -d '\r')
[ -n "$uninstall" ] || fail "the uninstaller is not registered"

"$wine" "$installed/kesto-decorate.exe" --check \
    --template 'C:\users\'"$(basename "$user_folder")"'\AppData\Local\Programs\kesto-decor\template\ocean-blue' \
    >"$work/check.out" 2>&1 || { cat "$work/check.out" >&2; fail "the installed program failed"; }

# The registered command, as the system's program list runs it: "...\uninstall.exe" /S.
program=${uninstall%\" /S}
program=${program#\"}
"$wine" "$program" /S
"$wineserver" -w
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
if "$wine" reg query "$key" >/dev/null 2>&1; then
    fail "the uninstall entry is left behind"
fi
echo "installer_round_trip: installed, ran, and removed without a trace"
