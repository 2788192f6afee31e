#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvel.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
echo "Quorvel is built; the window comes in a later step."
