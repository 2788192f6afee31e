#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs is there and valid,
# then builds the Debian package and has lintian find neither error nor warning in it.
#   install-test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/quorvel bin/quorvel-mtc-send bin/quorvel-ltc-send bin/quorvel-demo
    share/applications/org.quorvel.Quorvel.desktop
    share/icons/hicolor/scalable/apps/org.quorvel.Quorvel.svg
    share/icons/hicolor/16x16/apps/org.quorvel.Quorvel.svg
    share/icons/hicolor/24x24/apps/org.quorvel.Quorvel.svg
    share/metainfo/org.quorvel.Quorvel.metainfo.xml
    share/man/man1/quorvel.1.gz share/man/man1/quorvel-mtc-send.1.gz
    share/man/man1/quorvel-ltc-send.1.gz
    share/man/man1/quorvel-demo.1.gz
    share/doc/quorvel/copyright share/doc/quorvel/changelog.gz
)
status=0
for file in "${expected[@]}"; do
    [[ -e "$prefix/$file" ]] || { echo "not installed: $file"; status=1; }
done

desktop=$prefix/share/applications/org.quorvel.Quorvel.desktop
# Hints too: they name categories that would pull in another main category.
out=$(desktop-file-validate "$desktop" 2>&1) || status=1
[[ -z $out ]] || { echo "$out"; status=1; }
# Menus file an entry under each main category it names: exactly one keeps it in one menu.
main_categories=" AudioVideo Audio Video Development Education Game Graphics Network Office \
Science Settings System Utility "
mains=0
IFS=';' read -ra categories <<<"$(sed -n 's/^Categories=//p' "$desktop")"
for category in "${categories[@]}"; do
    [[ $main_categories == *" $category "* ]] && mains=$((mains + 1))
done
[[ $mains -eq 1 ]] || { echo "desktop entry: $mains main categories (want 1)"; status=1; }

appstreamcli validate --no-net "$prefix/share/metainfo/org.quorvel.Quorvel.metainfo.xml" || status=1
command -v man >/dev/null && for page in quorvel quorvel-mtc-send quorvel-ltc-send quorvel-demo; do
    # Warnings from the formatter mean a broken page.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || { echo "$page.1: $warnings"; status=1; }
done

# The installed demo has no screenshot mode: without a display it says what it needs instead,
# and never suggests an option it refuses.
# expected status | text expected | arguments
demo_case() {
    local want=$1 text=$2 out got
    shift 2
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quorvel-demo" "$@" 2>&1) && got=0 || got=$?
    if [[ $got -ne $want || $out != *"$text"* || $out == *--screenshot* ]]; then
        echo "FAIL: quorvel-demo $* -> status $got (want $want), output:"
        echo "$out"
        status=1
    fi
}
demo_case 1 "needs a display"
demo_case 2 "usage: quorvel-demo" --screenshot "$prefix/shot.png"

# lintian exits 1 for errors it found and 2 when it could not run.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$prefix/deb" >"$prefix/cpack.log" 2>&1 ||
    { cat "$prefix/cpack.log"; exit 1; }
report=$(lintian --tag-display-limit 0 "$prefix"/deb/*.deb 2>&1) && lint=0 || lint=$?
if [[ $lint -gt 1 ]] || grep -qE '^[EW]: ' <<<"$report"; then
    echo "lintian ($lint):"
    echo "$report"
    status=1
fi
exit $status
