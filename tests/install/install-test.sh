#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs is there and valid.
#   install-test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/quorvel bin/quorvel-mtc-send bin/quorvel-demo
    share/applications/org.quorvel.Quorvel.desktop
    share/icons/hicolor/scalable/apps/org.quorvel.Quorvel.svg
    share/metainfo/org.quorvel.Quorvel.metainfo.xml
    share/man/man1/quorvel.1 share/man/man1/quorvel-mtc-send.1
    share/doc/quorvel/LICENSE
)
status=0
for file in "${expected[@]}"; do
    [[ -e "$prefix/$file" ]] || { echo "not installed: $file"; status=1; }
done
desktop-file-validate "$prefix/share/applications/org.quorvel.Quorvel.desktop" || status=1
appstreamcli validate --no-net "$prefix/share/metainfo/org.quorvel.Quorvel.metainfo.xml" || status=1
command -v man >/dev/null && for page in quorvel quorvel-mtc-send; do
    # Warnings from the formatter mean a broken page.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
    [[ -z $warnings ]] || { echo "$page.1: $warnings"; status=1; }
done
exit $status
