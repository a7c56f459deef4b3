#!/usr/bin/env bash
# The Windows installer under Wine, as a user without administrator rights runs it: a silent
# install puts the programs, the templates, the uninstaller and the Start-menu shortcut in place
# and registers the uninstaller, in the user's language; the installed kesto-decorate.exe checks
# an installed template. While the installed kesto-design.exe runs, a silent upgrade and a silent
# uninstall both end with exit status 2 and change nothing; while a copy of it runs from elsewhere,
# so does the upgrade. Once it has ended, the registered silent uninstall leaves nothing of the
# installation behind, the program's registry value and the login in the user's data folder
# included, and keeps the user's own templates. A system in neither Chinese nor English gets an
# English installer. An installation that fails part way says so and can be uninstalled.
#   installer_round_trip.sh SETUP_EXE WORK_FOLDER
set -euo pipefail
setup=$1
work=$2
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "installer_round_trip: $*" >&2
    exit 1
}

# Every program runs on a private display, so that Wine's desktop can show kesto-design.exe's
# window whichever program started it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
design=
stop() {
    [ -z "$design" ] || kill "$design" 2>/dev/null || true
    "$wineserver" -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(tr -dc 0-9 <"$work/display")

# The installer's language follows the locale Wine runs in; a locale the system lacks is
# compiled into the work folder.
for locale in zh_CN.UTF-8 de_DE.UTF-8; do
    if [ -n "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ]; then
        mkdir -p "$work/locale"
        localedef -i "${locale%.UTF-8}" -f UTF-8 "$work/locale/$locale" >/dev/null 2>&1 ||
            fail "the $locale locale cannot be made (localedef, package locales)"
        export LOCPATH=$work/locale
    fi
done
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
user_folder=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public |
    head -n 1)
installed=$user_folder/AppData/Local/Programs/kesto-decor
data=$user_folder/AppData/Local/kesto-decor
shortcut="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kesto装修.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kesto-decor'
emulation='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION'

# The data of a registry value (a DWORD in decimal), empty when there is none.
registry_value() {
    "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | { read -r text || true; case $text in
            0x*) echo $((text)) ;;
            *) echo "$text" ;;
        esac; }
}

"$wine" "$setup" /S || fail "the install failed"
"$wineserver" -w
for file in kesto-design.exe kesto-decorate.exe uninstall.exe template/ocean-blue/head \
    template/spring-garden/main; do
    [ -e "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
uninstall=$(registry_value "$key" QuietUninstallString)
[ -n "$uninstall" ] || fail "the uninstaller is not registered"

# The entry the system's program list shows: who made it, its size in KiB, its language.
[ "$(registry_value "$key" Publisher)" = kesto-decor ] || fail "no publisher in the entry"
size=$(registry_value "$key" EstimatedSize)
bytes=$(find "$installed" -type f -printf '%s\n' | awk '{ total += $1 } END { print total }')
[ -n "$size" ] && [ $((size * 1024)) -ge $((bytes * 9 / 10)) ] &&
    [ $((size * 1024)) -le $((bytes * 11 / 10)) ] ||
    fail "the entry's size is ${size:-missing} KiB for $bytes bytes installed"
[ "$(registry_value "$key" Language)" = 2052 ] || fail "a Chinese system got no Chinese installer"

"$wine" "$installed/kesto-decorate.exe" --check \
    --template 'C:\users\'"$(basename "$user_folder")"'\AppData\Local\Programs\kesto-decor\template\ocean-blue' \
    >"$work/check.out" 2>&1 || { cat "$work/check.out" >&2; fail "the installed program failed"; }

# The installation stands in for an older one: other programs (their bytes changed, still
# runnable), an older version in the entry, a template file fewer. A refused upgrade keeps all.
for program in kesto-design.exe kesto-decorate.exe; do
    printf 'older' >>"$installed/$program"
done
"$wine" reg add "$key" /v DisplayVersion /t REG_SZ /d 0.0.1 /f >/dev/null 2>&1
missing=$(cd "$installed" && find template/ocean-blue/head -type f | head -n 1)
rm "$installed/$missing"
before=$(cd "$installed" && sha256sum kesto-design.exe kesto-decorate.exe)

start_design() {
    # The program sets its browser document mode once it holds its running mark.
    "$wine" reg delete "$emulation" /v kesto-design.exe /f >/dev/null 2>&1 || true
    WINEDEBUG=err+all "$wine" "$1" 2>"$work/design.log" &
    design=$!
    for _ in $(seq 300); do
        [ -n "$(registry_value "$emulation" kesto-design.exe)" ] && return
        kill -0 "$design" 2>/dev/null || { cat "$work/design.log" >&2; fail "kesto-design.exe ended by itself"; }
        sleep 0.2
    done
    fail "kesto-design.exe set no browser document mode"
}
stop_design() {
    kill "$design"
    wait "$design" 2>/dev/null || true
    design=
}
intact() {
    [ "$(cd "$installed" && sha256sum kesto-design.exe kesto-decorate.exe)" = "$before" ] ||
        fail "$1 replaced the programs"
    [ ! -e "$installed/$missing" ] || fail "$1 wrote files"
    [ "$(registry_value "$key" DisplayVersion)" = 0.0.1 ] || fail "$1 changed the entry"
    [ -f "$installed/uninstall.exe" ] && [ -f "$shortcut" ] || fail "$1 removed files"
    [ -n "$(registry_value "$emulation" kesto-design.exe)" ] || fail "$1 removed the registry value"
}
refused() {
    local status=0
    "$wine" "$@" || status=$?
    kill -0 "$design" 2>/dev/null || fail "kesto-design.exe ended by itself"
    [ "$status" = 2 ] || fail "$* while the program runs ended with $status, not 2"
}
start_design "$installed/kesto-design.exe"
refused "$setup" /S
intact "the upgrade while the program runs"
# The registered command returns at once, leaving the work to a copy of the uninstaller outside
# the folder; that copy, run here as the uninstaller runs it, is what refuses.
program=${uninstall%\" /S}
program=${program#\"}
cp "$installed/uninstall.exe" "$work/uninstall-copy.exe"
refused "$work/uninstall-copy.exe" /S "_?=${program%\uninstall.exe}"
intact "the uninstall while the program runs"
stop_design

# A copy of the program running from elsewhere is seen by its running mark alone.
mkdir -p "$work/elsewhere"
cp "$installed/kesto-design.exe" "$work/elsewhere/"
start_design "$work/elsewhere/kesto-design.exe"
refused "$setup" /S
intact "the upgrade while a copy of the program runs"
stop_design

# What the program leaves in the user's data folder: the login goes, the user's templates stay.
mkdir -p "$data/templates/mine"
for file in cookies.txt decorating-10001.lock Trace12-7.log templates/mine/notes.txt; do
    echo x >"$data/$file"
done

# The registered command, as the system's program list runs it: "...\uninstall.exe" /S.
"$wine" "$program" /S
"$wineserver" -w
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
if "$wine" reg query "$key" >/dev/null 2>&1; then
    fail "the uninstall entry is left behind"
fi
[ -z "$(registry_value "$emulation" kesto-design.exe)" ] || fail "the registry value is left behind"
[ "$(cd "$data" && find . -type f)" = ./templates/mine/notes.txt ] ||
    fail "the data folder holds $(cd "$data" && find . -type f | tr '\n' ' ')"

LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$wine" "$setup" /S
"$wineserver" -w
[ "$(registry_value "$key" Language)" = 1033 ] || fail "a German system got no English installer"
"$wine" "$program" /S
"$wineserver" -w

# An installation that fails part way (a file stands where the template folder goes) ends with
# exit status 2, and its registered uninstaller still removes what it wrote.
mkdir -p "$installed"
echo x >"$installed/template"
status=0
"$wine" "$setup" /S || status=$?
"$wineserver" -w
[ "$status" = 2 ] || fail "an installation that failed part way ended with $status, not 2"
rm "$installed/template"
[ "$(registry_value "$key" QuietUninstallString)" = "$uninstall" ] ||
    fail "an installation that failed part way cannot be uninstalled"
"$wine" "$program" /S
"$wineserver" -w
[ ! -e "$installed" ] || fail "a failed installation left $(cd "$installed" && find . | tr '\n' ' ')"
echo "installer_round_trip: installed, refused while running, ran, and removed without a trace"
