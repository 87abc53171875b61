#!/usr/bin/env bash
# Builds Zarvo and prints the median times of the menu build, of the main window's
# compositions and window updates, of the sub-menu renderer, of a launch, of the
# click effects and the deletion puff, of the index build and folder menus, of the
# quick-run box's search over a million-line index, of the settings dialog's showing
# and Apply, of loading a language file and of the Start button's pop-up, in a
# private X server. The argument is the number of repetitions of the menu timings
# (50 by default); INDEX_BENCH_FILES sets the size of the indexed tree (100,000 files).
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
"$wine64" ./sub_menu_bench.exe "$@"
"$wine64" ./launch_bench.exe
"$wine64" ./effects_bench.exe "$@"
"$wine64" ./index_bench.exe "${INDEX_BENCH_FILES:-100000}"
"$wine64" ./search_bench.exe
"$wine64" ./settings_bench.exe "$@"
"$wine64" ./language_bench.exe "$@"
"$wine64" ./popup_bench.exe
