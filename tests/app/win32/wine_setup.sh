# Sourced by the scripts that run the Windows programs under Wine: a Wine prefix of the test's own,
# no display, an empty folder for the run's files, and the locales Wine runs the programs in.
#   source wine_setup.sh WORK_FOLDER   (sets wine, WINEPREFIX and run, the run's folder)
wine=/usr/lib/wine/wine64
export WINEPREFIX=$1/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
run=$1/run
rm -rf "$run"
mkdir -p "$run"

# The Windows name of a folder of this system, through Wine's Z: drive.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# wine_locales LOCALE...: makes the prefix, and the locales the system lacks in the work folder.
# Wine takes its interface language from the locale, and reads the Unix file names in its
# codeset: without a UTF-8 locale it falls back to ASCII and every Chinese file name arrives
# mangled, as on no Windows machine. Fails when a locale cannot be made.
wine_locales() {
    local work=${WINEPREFIX%/prefix}
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
        for locale in "$@"; do
            # locale complains on standard error about a locale the system lacks (read whole:
            # grep -q in a pipe may end it early, and pipefail would then report the pipe as
            # failed).
            if [ -n "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ] &&
                [ ! -d "$work/locale/$locale" ]; then
                mkdir -p "$work/locale"
                localedef -i "${locale%.UTF-8}" -f UTF-8 "$work/locale/$locale" >/dev/null 2>&1 ||
                    { echo "the $locale locale cannot be made (localedef, package locales)" >&2;
                      exit 1; }
            fi
        done
    ) 9>"$work/prefix.lock" || return 1
    [ ! -d "$work/locale" ] || export LOCPATH=$work/locale
}
