#!/usr/bin/env bash
# Builds Zarvo, stages its program folder and starts it under Wine from build/run.
# Without a display it runs in a private X server and leaves build/screenshot.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

zarvo_build
zarvo_prefix
# Zarvo runs from build/run, a copy of the staged program folder, so the menu and
# settings it writes survive rebuilds and build/dist stays as built. The shipped
# config.ini is copied only the first time: later it holds the user's settings.
mkdir -p "$build/run"
[ -f "$build/run/config.ini" ] && cp "$build/run/config.ini" "$build/run/config.ini.keep"
cp -r "$build/dist/." "$build/run/"
[ -f "$build/run/config.ini.keep" ] && mv -f "$build/run/config.ini.keep" "$build/run/config.ini"
if [ -n "${DISPLAY:-}" ]; then
    cd "$build/run"
    exec "$wine64" ./Zarvo.exe "$@"
fi

trap zarvo_cleanup EXIT
trap "exit 130" INT TERM
zarvo_xvfb
zarvo_wineserver
cd "$build/run"
"$wine64" ./Zarvo.exe "$@" &
zarvo=$!
sleep "${ZARVO_SCREENSHOT_DELAY:-8}"
import -window root "$build/screenshot.png" && echo "screenshot: $build/screenshot.png"
echo "Zarvo runs on $DISPLAY; press Ctrl+C to stop it."
wait "$zarvo"
