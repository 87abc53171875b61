#!/usr/bin/env bash
# Builds Zarvo and runs every test under Wine in a private X server.
# Exit status is ctest's.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

zarvo_build
zarvo_prefix
trap zarvo_cleanup EXIT
trap "exit 130" INT TERM
zarvo_xvfb
zarvo_wineserver
cd "$build"
ctest -j"$(nproc)" --output-on-failure "$@"
