#!/usr/bin/env bash
# Builds Zarvo and prints the median times of the menu build and of the main
# window's compositions, in a private X server. Arguments go to the benchmark
# (the number of repetitions, 50 by default).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

zarvo_build
zarvo_prefix
trap zarvo_cleanup EXIT
trap "exit 130" INT TERM
zarvo_xvfb
zarvo_wineserver
cd "$build"
"$wine64" ./menu_bench.exe "$@"
