#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian package `make package` built, as a user would get it: its
# files against expected-files, lintian, the AppStream and desktop metadata it
# ships, and the packaged program itself, run offscreen from an extracted root
# until it has enlarged the samples it carries. Any failure exits non-zero.
# usage: tests/package/check-package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$build/quorvel_${version}_$(dpkg --print-architecture).deb
plugins=$build/tests/package/plugins
[ -f "$deb" ] || { echo "no package $deb (run make package)" >&2; exit 1; }
[ -f "$plugins/generic/quorvel_drive.so" ] || { echo "no drive plugin in $plugins" >&2; exit 1; }
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

echo "== $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Section Priority Maintainer Depends
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version is not $version"
[ -n "$(dpkg-deb --field "$deb" Depends)" ] || fail "no dependencies declared"
# WebP and TIFF are measured through Qt's plugins, which no binary links.
dpkg-deb --field "$deb" Depends | grep -q 'qt6-image-formats-plugins' ||
  fail "no dependency on qt6-image-formats-plugins"
# The converter opens libtiff when it writes a TIFF; nothing links it.
dpkg-deb --field "$deb" Depends | grep -qw libtiff6 || fail "no dependency on libtiff6"
dpkg-deb --field "$deb" Recommends | grep -qw qt6-translations-l10n ||
  fail "Qt's own translations are not recommended"

echo "== files"
carried=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
echo "$carried"
expected=$(grep -v '^#' "$here/expected-files" | sort)
missing=$(comm -23 <(echo "$expected") <(echo "$carried"))
extra=$(comm -13 <(echo "$expected") <(echo "$carried"))
[ -z "$missing" ] || fail "missing from the package:"$'\n'"$missing"
[ -z "$extra" ] || echo "note: carried beyond expected-files:"$'\n'"$extra"
# Nothing runs at install or removal, so removing the package removes everything
# it brought; the icon and menu caches follow through their own packages' triggers.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$control" = "control md5sums " ] || fail "control files beyond control and md5sums: $control"

echo "== lintian"
# Fails on errors; warnings and the informational tags are shown for the record.
lintian_rc=0
lintian_out=$(lintian --display-info "$deb" 2>&1) || lintian_rc=$?
grep -v '^running with root privileges' <<<"$lintian_out" || true
[ "$lintian_rc" -eq 0 ] || fail "lintian reports errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/pkg" "$root/home" "$root/tmp" "$root/out"
dpkg-deb -x "$deb" "$root/pkg"

echo "== appstreamcli validate"
appstreamcli validate --no-net --strict "$root"/pkg/usr/share/metainfo/*.metainfo.xml ||
  fail "AppStream metadata does not validate"
echo "== desktop-file-validate"
desktop-file-validate "$root/pkg/usr/share/applications/quorvel.desktop" ||
  fail "desktop entry does not validate"

echo "== the packaged program, offscreen"
log=$root/drive.log
if env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" \
  TEMP="$root/tmp" QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$plugins" \
  QT_QPA_GENERIC_PLUGINS=quorveldrive QUORVEL_DRIVE_OUTPUT="$root/out" \
  timeout 120 "$root/pkg/usr/bin/quorvel" >"$log" 2>&1 && grep -qx 'drive: OK' "$log"; then
  grep '^drive:' "$log"
else
  cat "$log" >&2
  fail "the packaged program did not enlarge its samples"
fi

[ "$failed" -eq 0 ] && echo "== package checks passed"
exit "$failed"
