#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with dpkg-buildpackage (binary only, without its tests)
# and checks it the way a distribution would: file list and dependencies, lintian,
# the desktop and AppStream metadata, the manual pages and the bash completion,
# then runs both programs from the unpacked package, away from the build tree.
# Usage: package_contents.sh
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tests/e2e/lib.sh"
trap e2e_cleanup EXIT
out=$E2E_TMP
checks=0
pass() { checks=$((checks + 1)); }

DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" "$top/scripts/build-package" "$out/package" -b -Pnocheck \
    >"$out/build.log" 2>&1 || { tail -n 50 "$out/build.log"; e2e_fail "dpkg-buildpackage failed"; }
version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
deb=$(ls "$out"/package/zanvo_"$version"_*.deb) || e2e_fail "no package built"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$top"/data/*.metainfo.xml)
[ -n "$id" ] || e2e_fail "no component id in the metainfo file"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/zanvo ./usr/bin/zanvo-tool \
         ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/zanvo.svg \
         ./usr/share/man/man1/zanvo.1.gz ./usr/share/man/man1/zanvo-tool.1.gz \
         ./usr/share/doc/zanvo/copyright ./usr/share/doc/zanvo/changelog.gz \
         ./usr/share/bash-completion/completions/zanvo-tool; do
    grep -qx "$f" <<<"$files" || { echo "$files"; e2e_fail "$f missing from $deb"; }
done
# The report module, in the folder zanvo-tool looks in.
grep -qE '^\./usr/lib/([a-z0-9_-]+/)?zanvo/zanvo-report\.so$' <<<"$files" || { echo "$files"; e2e_fail "no report module in $deb"; }
pass
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 qt6-qpa-plugins "qt6-base-abi (= "; do
    grep -q "$d" <<<"$depends" || e2e_fail "no dependency on $d: $depends"
done
pass

# lintian: no errors and no warnings (its note about running as root aside).
lint=$(lintian --fail-on error,warning "$deb" 2>&1); status=$?
lint=$(grep -v '^running with root privileges' <<<"$lint")
if [ $status -ne 0 ] || grep -qE '^[EW]: ' <<<"$lint"; then
    echo "$lint"; e2e_fail "lintian found errors or warnings"
fi
pass

root=$out/root
dpkg-deb -x "$deb" "$root" || e2e_fail "cannot unpack $deb"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || e2e_fail "desktop entry invalid"
pass
meta=$(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) || { echo "$meta"; e2e_fail "metainfo invalid"; }
grep -qE '^[EW]: ' <<<"$meta" && { echo "$meta"; e2e_fail "metainfo has warnings"; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/usr/share/metainfo/$id.metainfo.xml" \
    || e2e_fail "metainfo does not launch $id.desktop"
pass

# Manual pages: groff and man say nothing; zanvo-tool's covers every command,
# option and exit status of its documentation.
for page in zanvo zanvo-tool; do
    gz=$root/usr/share/man/man1/$page.1.gz
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$gz" 2>&1 >/dev/null) || e2e_fail "man cannot format $page.1"
    [ -z "$warnings" ] || { echo "$warnings"; e2e_fail "warnings in $page.1"; }
done
pass
doc=$top/docs/zanvo-tool.md
roff=$(zcat "$root/usr/share/man/man1/zanvo-tool.1.gz" | sed 's/\\-/-/g')
commands=$(sed -n 's/^zanvo-tool \([a-z][a-z]*\) .*/\1/p' "$doc" | LC_ALL=C sort -u)
options=$(grep -oE -- '--[a-z][a-z-]+' "$doc" | sort -u)
[ -n "$commands" ] && [ -n "$options" ] || e2e_fail "no commands or options found in $doc"
# The tag lines of the list entries (.TP) of section $1.
entries() {
    sed -n "/^\.SH \"\?$1\"\?\$/,/^\.SH /p" <<<"$roff" | awk 'tag { print; tag = 0 } /^\.TP/ { tag = 1 }'
}
for c in $commands; do
    grep -qE "^\.B zanvo-tool $c\b" <<<"$roff" || e2e_fail "zanvo-tool.1 lacks $c in its synopsis"
    entries COMMANDS | grep -qE "^\.BI? $c\b" || e2e_fail "zanvo-tool.1 does not describe the command $c"
done
for o in $options; do
    entries OPTIONS | grep -qE -- "(^| )$o( |$)" || e2e_fail "zanvo-tool.1 does not describe the option $o"
done
for s in $(sed -n 's/^| \([0-9]\) |.*/\1/p' "$doc"); do
    entries "EXIT STATUS" | grep -qx "\.B $s" || e2e_fail "zanvo-tool.1 lacks exit status $s"
done
pass

# Bash completion offers every command, each command's options and the general
# ones, and board files where one goes.
mkdir -p "$out/files/folder" && touch "$out/files/a.dat" "$out/files/b.csv"
completion=$root/usr/share/bash-completion/completions/zanvo-tool
expect_offer() {
    local want=$1 got; shift
    got=$(cd "$out/files" && bash -c '. "$1"; shift
        complete -p zanvo-tool >/dev/null || exit 1
        COMP_WORDS=(zanvo-tool "$@"); COMP_CWORD=$#; _zanvo_tool
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' sh "$completion" "$@") \
        || e2e_fail "no completion for zanvo-tool"
    [ "$got" = "$want" ] || e2e_fail "completion of 'zanvo-tool $*' offers '$got', not '$want'"
}
expect_offer "$(tr '\n' ' ' <<<"$commands")" ""
expect_offer "$(grep -oE -- '--[a-z-]+' <<<"$(grep '^zanvo-tool --' "$doc")" | LC_ALL=C sort | tr '\n' ' ')" --
for c in $commands; do
    want=$(grep "^zanvo-tool $c " "$doc" | grep -oE -- '--[a-z-]+' | cat - <(printf -- '--help\n--version\n') | LC_ALL=C sort -u | tr '\n' ' ')
    expect_offer "$want" "$c" --
done
expect_offer "a.dat folder " show ""
expect_offer "- b.csv folder " import ""
pass

# The unpacked programs run on their own.
tool=$root/usr/bin/zanvo-tool
"$tool" random 3 "$out/boards.dat" || e2e_fail "unpacked zanvo-tool random failed"
shown=$("$tool" show "$out/boards.dat") || e2e_fail "unpacked zanvo-tool show failed"
[ "$(grep -cE '^[1-3]:( [0-9]+){25}$' <<<"$shown")" -eq 3 ] || { echo "$shown"; e2e_fail "unpacked zanvo-tool showed the wrong boards"; }
pass
ZANVO=$root/usr/bin/zanvo
e2e_start_x
e2e_start_zanvo
e2e_window "Zanvo"
class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$id.desktop")
xprop -id "$E2E_WIN" WM_CLASS | grep -q "\"$class\"" || e2e_fail "window class is not the desktop entry's $class"
pass

echo "package: $(basename "$deb"), depends: $depends"
echo "$checks passed, 0 failed"
