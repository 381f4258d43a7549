#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Board files through a real spreadsheet, as a pool organiser moves them: exported,
# opened by LibreOffice Calc and saved as .xlsx, saved again as CSV with semicolons,
# with tabs and as UTF-16, then imported. Each must give back the board file byte
# for byte.
# Usage: calc_round_trip.sh <zanvo-tool>
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tests/e2e/lib.sh"
trap e2e_cleanup EXIT
tool=$1
out=$E2E_TMP
command -v soffice >/dev/null || e2e_fail "no soffice: scripts/install-deps installs libreoffice-calc-nogui"

# Calc gets a home and a profile of its own: nothing of the user's is read or
# changed, and a Calc already running is not handed the work. No display either.
unset DISPLAY WAYLAND_DISPLAY
export HOME=$out/home XDG_CONFIG_HOME=$out/config XDG_RUNTIME_DIR=$out/run LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# calc FOLDER FILTER FILE...: Calc converts the files into FOLDER, each to a file
# of the name with the filter's extension; one that hangs is stopped after two
# minutes. Options for Calc go in front of the files (CALC_OPTIONS).
calc() {
    local folder=$1 filter=$2 f; shift 2
    timeout -k 10 120 soffice "-env:UserInstallation=file://$out/profile" --headless --invisible --norestore \
        --nologo --nolockcheck "${CALC_OPTIONS[@]}" --convert-to "$filter" --outdir "$out/$folder" "$@" \
        >>"$out/calc.log" 2>&1 || { cat "$out/calc.log"; e2e_fail "Calc could not convert to $filter"; }
    for f in "$@"; do
        f=$(basename "${f%.*}").${filter%%:*}
        [ -s "$out/$folder/$f" ] || { cat "$out/calc.log"; e2e_fail "Calc wrote no $folder/$f"; }
    done
}

# Random boards; boards checked, with green cells; the 32-bit edges, colours no
# program makes and a board without numbers in the first row.
"$tool" random 30 "$out/boards.dat" || e2e_fail "random failed"
"$tool" random 30 "$out/checked.dat" && "$tool" check "$out/checked.dat" 3 14 27 41 56 88 --write >/dev/null \
    || e2e_fail "check --write failed"
printf '%s\r\n' colours '-2147483648,2147483647,0,-1,colours,#FFFFFF,#80123456,#FFFFFFFF,#000000' 5 >"$out/edges.csv"
"$tool" import "$out/edges.csv" "$out/edges.dat" || e2e_fail "import of the edge values failed"

for n in boards checked edges; do
    "$tool" export "$out/$n.dat" -o "$out/$n.csv" --force || e2e_fail "export of $n failed"
done
# Calc reads the tool's CSV as RFC 4180 (commas, quotes, UTF-8) ...
CALC_OPTIONS=(--infilter=CSV:44,34,76,1)
calc xlsx xlsx "$out"/{boards,checked,edges}.csv
CALC_OPTIONS=()
# ... and writes it back the three ways European locales and Excel's "Unicode
# text" do: separator, quote, character set (76 UTF-8, 65535 UTF-16), then
# plain values rather than values as shown.
declare -A options=([semicolons]=59,34,76 [tabs]=9,34,76 [utf16]=9,34,65535)
for kind in semicolons tabs utf16; do
    calc "$kind" "csv:Text - txt - csv (StarCalc):${options[$kind]},1,,0,false,true,false,false" \
        "$out"/xlsx/{boards,checked,edges}.xlsx
    for n in boards checked edges; do
        csv=$out/$kind/$n.csv
        case $kind in
            semicolons) grep -q ';' "$csv" ;;
            tabs) grep -q $'\t' "$csv" ;;
            utf16) [ "$(head -c 2 "$csv" | od -An -tx1 | tr -d ' ')" = fffe ] ;;
        esac || e2e_fail "Calc did not write $kind into $n.csv"
        "$tool" import "$csv" "$out/$kind/$n.dat" || e2e_fail "import of Calc's $kind $n.csv failed"
        cmp "$out/$n.dat" "$out/$kind/$n.dat" || e2e_fail "$n came back changed through Calc as $kind"
    done
done
echo "3 board files through Calc as semicolons, tabs and UTF-16: unchanged"
