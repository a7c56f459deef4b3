#!/usr/bin/env bash
# Gathers the programs' translatable messages (the arguments of Translate and TranslatedLater)
# into po/kesto-decor.pot and merges them into each translation, which then needs its new and
# changed entries translated. With --check it changes nothing and fails when the template in
# the tree lacks a message the sources mark (someone added a text without gathering it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Every folder whose texts a person sees goes through Translate, and the platform backends
# that word a piece of a message (where the proxy is set, where user data lives).
translated_sources() {
    ls app/*.cpp app/*.h cli/*.cpp cli/*.h image/*.cpp job/*.cpp job/*.h market/*.cpp market/*.h \
        support/*.cpp templates/*.cpp app/gtk/main.cpp market-sim/kesto_market_main.cpp \
        platform/posix/*.cpp platform/win32/*.cpp |
        LC_ALL=C sort
}
gather() {  # output file
    xgettext --language=C++ --from-code=UTF-8 --keyword=Translate --keyword=TranslatedLater \
        --add-comments=TRANSLATORS: --package-name=kesto-decor --msgid-bugs-address=kesto-decor \
        --no-location --sort-output -o "$1" $(translated_sources)
}
if [ "${1:-}" = --check ]; then
    fresh=$(mktemp)
    trap 'rm -f "$fresh"' EXIT
    gather "$fresh"
    # The template holds every marked message, and each translation translates every one of
    # them (a fuzzy entry counts as untranslated).
    msgcmp --use-untranslated po/kesto-decor.pot "$fresh"
    for po in po/*.po; do
        msgfmt --check -o /dev/null "$po"
        msgcmp "$po" "$fresh"
    done
    exit 0
fi
gather po/kesto-decor.pot
for po in po/*.po; do
    msgmerge --quiet --update --backup=none --no-location --sort-output "$po" po/kesto-decor.pot
done
