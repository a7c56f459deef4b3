#!/usr/bin/env bash
# The Windows programs' own words in the language of the user's interface, under Wine, whose
# interface language follows the locale it runs in: Chinese for a Simplified or a Traditional
# Chinese interface, English for any other. kesto-decorate.exe's help, a usage error, a template
# finding and a plan line, where the proxy is set, kesto-design.exe's help (a program without a
# console of its own, on a pipe and on a console) and its login refused without a data folder; a
# damaged catalog leaves the program in English.
#   program_languages.sh KESTO_DECORATE_EXE KESTO_DESIGN_EXE WORK_FOLDER
set -euo pipefail
decorate=$1
design=$2
work=$3
source "$(dirname "$0")/wine_setup.sh" "$work"
failures=0

fail() {
    echo "program_languages: $*" >&2
    failures=$((failures + 1))
}

wine_locales zh_CN.UTF-8 zh_TW.UTF-8 en_US.UTF-8 || exit 1

# check LOCALE NAME EXPECTED_STATUS EXPECTED_TEXT PROGRAM ARGUMENTS...: the program's standard
# output and error together hold the text.
check() {
    local locale=$1 name=$2 expected_status=$3 expected=$4
    shift 4
    local status=0
    LANG=$locale LC_ALL=$locale timeout 120 "$wine" "$@" >"$run/$name.out" 2>&1 || status=$?
    [ "$status" -eq "$expected_status" ] ||
        fail "$name: status $status, not $expected_status"
    grep -qF -- "$expected" "$run/$name.out" ||
        fail "$name: no '$expected' in: $(head -c 600 "$run/$name.out")"
}

check zh_CN.UTF-8 decorate-help-zh_CN 0 '  --help           显示本帮助' "$decorate" --help
check zh_TW.UTF-8 decorate-help-zh_TW 0 '  --help           显示本帮助' "$decorate" --help
check en_US.UTF-8 decorate-help-en_US 0 '  --help           show this text' "$decorate" --help
check zh_CN.UTF-8 decorate-usage-zh_CN 2 '未知参数“--bogus”' "$decorate" --bogus
check en_US.UTF-8 decorate-usage-en_US 2 "unknown argument '--bogus'" "$decorate" --bogus
check zh_CN.UTF-8 design-help-zh_CN 0 '  --help     显示本帮助' "$design" --help
check en_US.UTF-8 design-help-en_US 0 '  --help     show this text' "$design" --help
# Where Windows sets the proxy, in the help's language.
check zh_CN.UTF-8 decorate-proxy-zh_CN 0 'Internet 设置中的代理（Internet 选项 > 连接 > 局域网设置）' \
    "$decorate" --help
check zh_CN.UTF-8 design-proxy-zh_CN 0 'Internet 设置中的代理' "$design" --help
check en_US.UTF-8 design-proxy-en_US 0 'the Internet Settings proxy (Internet Options' \
    "$design" --help

# --check on a folder that is not there: the finding, with exit status 3 (template refused).
missing=$(windows_path "$run/missing-template")
check zh_CN.UTF-8 check-missing-zh_CN 3 '模板文件夹不存在' "$decorate" --check --template "$missing"
check en_US.UTF-8 check-missing-en_US 3 'the template folder does not exist' \
    "$decorate" --check --template "$missing"

# --plan on a sample template whose shop sign is no picture: the plan stops at the template, so
# the login in the cookie file is never sent anywhere.
planned=$run/plan-template
cp -r "$(dirname "$decorate")/template/ocean-blue" "$planned"
echo 'not a picture' >"$planned/head/sign.gif"
printf '.kesto.example\tTRUE\t/\tFALSE\t0\t%s\t%s\n' uin o10001 skey key >"$run/cookies.txt"
plan=(--plan --template "$(windows_path "$planned")" --cookies "$(windows_path "$run/cookies.txt")")
check zh_CN.UTF-8 plan-zh_CN 3 '模板：head\sign.gif：无法作为图片读取' "$decorate" "${plan[@]}"
check en_US.UTF-8 plan-en_US 3 'template: head\sign.gif: cannot be read as a picture' \
    "$decorate" "${plan[@]}"

# kesto-design.exe on a console writes through the console's wide-character interface.
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 script -qec "timeout 120 $wine $design --help" /dev/null \
    >"$run/design-console.out" 2>&1 || true
grep -qF '显示本帮助' "$run/design-console.out" ||
    fail "design-console: no Chinese help on a console: $(head -c 600 "$run/design-console.out")"

# A cut catalog beside the program is refused whole: English, not a crash.
damaged=$run/damaged
mkdir -p "$damaged/locale/zh_CN/LC_MESSAGES"
cp "$decorate" "$damaged/"
head -c 200 "$(dirname "$decorate")/locale/zh_CN/LC_MESSAGES/kesto-decor.mo" \
    >"$damaged/locale/zh_CN/LC_MESSAGES/kesto-decor.mo"
check zh_CN.UTF-8 damaged-catalog 0 '  --help           show this text' \
    "$damaged/$(basename "$decorate")" --help

# kesto-design.exe --login for a user whose local application data folder is missing: the hint
# names the Windows folder. The user's shell folder points nowhere for the check, and back after.
folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
set_local_appdata() {
    "$wine" reg add "$folders" /v 'Local AppData' /t REG_EXPAND_SZ /d "$1" /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
}
set_local_appdata 'Q:\nowhere'
check zh_CN.UTF-8 design-login-zh_CN 1 '请确认本用户的本地应用数据文件夹（%LOCALAPPDATA%）存在' \
    "$design" --login
check en_US.UTF-8 design-login-en_US 1 'local application data folder (%LOCALAPPDATA%) exists' \
    "$design" --login
set_local_appdata '%USERPROFILE%\AppData\Local'

/usr/lib/wine/wineserver -k 2>/dev/null || true
[ "$failures" -eq 0 ] || exit 1
echo "program_languages: all passed"
