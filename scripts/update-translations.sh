#!/usr/bin/env bash
# Gathers the programs' translatable messages (the arguments of Translate) into
# po/kesto-decor.pot and merges them into each translation, which then needs its new and
# changed entries translated.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
xgettext --language=C++ --from-code=UTF-8 --keyword=Translate --keyword=TranslatedLater --add-comments=TRANSLATORS: \
    --package-name=kesto-decor --msgid-bugs-address=kesto-decor --no-location --sort-output \
    -o po/kesto-decor.pot cli/*.cpp support/bounded_file.cpp app/design_command_line.cpp \
    app/login_only.cpp app/gtk/main.cpp market-sim/kesto_market_main.cpp
for po in po/*.po; do
    msgmerge --quiet --update --backup=none --no-location --sort-output "$po" po/kesto-decor.pot
done
