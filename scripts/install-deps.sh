#!/usr/bin/env bash
# Installs the Debian 12 packages that Quorvel's build, run and tests need.
# Quiet and quick when everything is already there.
#   --fuzz   also clang, its libFuzzer/sanitizer runtimes and llvm-symbolizer (scripts/fuzz.sh)
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6svg6
    librtmidi-dev libasound2-dev jackd2 libjack-jackd2-dev libltc-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core x11-apps netpbm
    dpkg-dev desktop-file-utils appstream lintian
)
for arg in "$@"; do
    case $arg in
    --fuzz) packages+=(clang libclang-rt-dev llvm) ;;
    *)
        echo "usage: $0 [--fuzz]" >&2
        exit 2
        ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
