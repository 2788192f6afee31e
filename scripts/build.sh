#!/usr/bin/env bash
# Configures and builds into ${QUORVEL_BUILD_DIR:-build}; extra arguments go to CMake.
#   QUORVEL_BUILD_TARGETS   build only these targets (space-separated), e.g. the test programs
#                           of one label
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUORVEL_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
# shellcheck disable=SC2086
cmake --build "$build_dir" ${QUORVEL_BUILD_TARGETS:+--target $QUORVEL_BUILD_TARGETS}
