#!/usr/bin/env bash
# Builds the Debian package from this build and checks what it installs.
# Usage: package_contents.sh <build dir>
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$1/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/zanvo_2.0.0_*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/zanvo ./usr/bin/zanvo-tool ./usr/share/applications/zanvo.desktop ./usr/share/icons/hicolor/scalable/apps/zanvo.svg; do
    grep -qx "$f" <<<"$files" || { echo "FAIL: $f missing from $deb"; echo "$files"; exit 1; }
done
# The report module, in the folder zanvo-tool looks in.
grep -qE '^\./usr/lib/([a-z0-9_-]+/)?zanvo/zanvo-report\.so$' <<<"$files" || { echo "FAIL: no report module in $deb"; echo "$files"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 qt6-qpa-plugins; do
    grep -q "$d" <<<"$depends" || { echo "FAIL: no dependency on $d: $depends"; exit 1; }
done
echo "package: $(basename "$deb"), depends: $depends"
echo "1 passed, 0 failed"
