# Shared by run.sh and test.sh: set-up, build, the Wine prefix and a private X server.
# Sourced, not run.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
export WINEPREFIX="$build/wine" WINEARCH=win64 WINEDEBUG=-all
# Called by path: /usr/bin/wine prefers a 32-bit loader when one is installed, and
# this machine's kernel cannot execute 32-bit code.
wine64=/usr/lib/wine/wine64

# Two builds of the same sources: build/i686 is the shipped 32-bit program (the
# plug-in and hook interfaces are 32-bit x86); build/ is the 64-bit one that runs
# here, with the tests.
zarvo_build() {
    "$root/scripts/setup.sh"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja \
              -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" >/dev/null
    fi
    if [ ! -f "$build/i686/build.ninja" ]; then
        cmake -S "$root" -B "$build/i686" -G Ninja -DZARVO_TESTS=OFF \
              -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
    fi
    cmake --build "$build" -j"$(nproc)"
    cmake --build "$build/i686" -j"$(nproc)"
}

# Makes the build's own prefix on first use; the fonts GDI+ must find by name
# are copied in, since Wine's font list does not reach GDI+ otherwise.
zarvo_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        DISPLAY= "$wine64" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/tahoma*.ttf; do
        [ -f "$fonts/$(basename "$f")" ] || cp "$f" "$fonts/"
    done
}

started_pids=()
# Starts a private X server on a free display (never a fixed number: other
# programs may hold one) and exports DISPLAY.
zarvo_xvfb() {
    local fifo
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    started_pids+=($!)
    local n
    read -r n <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$n"
}

# Keeps one wine server for the whole run, so each test program starts fast. The
# warm-up starts Wine's own services with their output detached: they would
# otherwise inherit the first test's pipes and keep ctest waiting for them.
zarvo_wineserver() {
    wineserver -p 2>/dev/null || true  # one may already serve this prefix
    "$wine64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

zarvo_cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    for p in "${started_pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
