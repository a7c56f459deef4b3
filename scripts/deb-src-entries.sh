#!/usr/bin/env bash
# Prints deb-src stanzas (deb822) for the machine's configured Debian binary sources whose suites
# belong to this release (for example bookworm, bookworm-updates, bookworm-security), with their
# own addresses, components and keys. Prints nothing when the machine already has a deb-src
# entry of its own. The file named as the first argument (the one these stanzas go into) is not
# read as a source.
set -euo pipefail
own=${1:-}
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || exit 0

files=()
apt=${KESTO_APT_ETC:-/etc/apt}  # another folder only to try this script on sample sources
for file in "$apt/sources.list" "$apt"/sources.list.d/*.list "$apt"/sources.list.d/*.sources; do
    [ -f "$file" ] && [ "$file" != "$own" ] && files+=("$file")
done
[ ${#files[@]} -gt 0 ] || exit 0
if grep -qsE '^(Types:.*deb-src|deb-src )' "${files[@]}"; then
    exit 0
fi

# One-line entries: "deb [options] URI SUITE COMPONENT..."; deb822 stanzas: "Field: value" lines
# separated by blank lines. Both become deb822 stanzas for the suites of this release.
awk -v codename="$codename" '
function ours(suite) { return suite == codename || index(suite, codename "-") == 1 }
function emit(uris, suites, components, key,    n, list, i, kept) {
    n = split(suites, list, /[ \t]+/)
    kept = ""
    for (i = 1; i <= n; i++) if (list[i] != "" && ours(list[i])) kept = kept (kept == "" ? "" : " ") list[i]
    if (kept == "" || uris == "" || components == "") return
    printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", (printed++ ? "\n" : ""), uris, kept, components
    if (key != "") printf "Signed-By: %s\n", key
}
function flush() {
    if (types ~ /(^| )deb( |$)/) emit(uris, suites, components, key)
    types = uris = suites = components = key = ""
}
FNR == 1 { flush() }
FILENAME ~ /\.sources$/ {
    if ($0 ~ /^[ \t]*$/) { flush(); next }
    if ($0 ~ /^#/) next
    field = tolower($1); sub(/:$/, "", field)
    value = $0; sub(/^[^:]*:[ \t]*/, "", value)
    if (field == "types") types = value
    else if (field == "uris") uris = value
    else if (field == "suites") suites = value
    else if (field == "components") components = value
    else if (field == "signed-by") key = value
    next
}
$1 == "deb" {
    i = 2
    key = ""
    if ($2 ~ /^\[/) {
        options = ""
        for (; i <= NF; i++) { options = options " " $i; if ($i ~ /\]$/) { i++; break } }
        if (match(options, /signed-by=[^] ]+/)) key = substr(options, RSTART + 10, RLENGTH - 10)
    }
    components = ""
    for (j = i + 2; j <= NF; j++) components = components (components == "" ? "" : " ") $j
    emit($i, $(i + 1), components, key)
}
END { flush() }
' "${files[@]}"
