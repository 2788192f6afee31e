#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   QUORVEL_BUILD_DIR   build folder (default: build)
#   QUORVEL_CTEST_ARGS  extra ctest arguments, e.g. "-L midi"
#   arguments           extra CMake options, e.g. -DQUORVEL_SANITIZE=address,undefined
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh "$@"
# A test that times out runs once more: libjack's jack_client_close can, rarely, deadlock
# against the test server (seen under the thread sanitizer); anything that hangs twice fails.
# shellcheck disable=SC2086
ctest --test-dir "${QUORVEL_BUILD_DIR:-build}" --output-on-failure -j2 --timeout 300 \
    --repeat after-timeout:2 ${QUORVEL_CTEST_ARGS:-}
