#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   QUORVEL_BUILD_DIR   build folder (default: build)
#   QUORVEL_CTEST_ARGS  extra ctest arguments, e.g. "-L midi"
#   arguments           extra CMake options, e.g. -DQUORVEL_SANITIZE=address,undefined
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh "$@"
# shellcheck disable=SC2086
ctest --test-dir "${QUORVEL_BUILD_DIR:-build}" --output-on-failure -j2 --timeout 300 \
    ${QUORVEL_CTEST_ARGS:-}
