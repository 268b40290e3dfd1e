# Sourced by the run and test scripts: an X display (Xvfb when there is none) and a Wine prefix
# whose wineserver stays up, with the Japanese ANSI code page (932).
# bash warns that it has no such locale; Wine only needs the name to pick code page 932.
export LC_ALL=ja_JP.UTF-8 2>/dev/null
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

quelm_start_xvfb() {
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        QUELM_XVFB_PID=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        export DISPLAY=":$n"
        return 0
    done
    echo "no free X display number" >&2
    return 1
}

# Boots the prefix. Output goes to a file: Wine's services inherit descriptors and would hold
# a pipe open long after this returns.
quelm_start_prefix() {
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot -i >"$WINEPREFIX/wineboot.log" 2>&1 </dev/null
}

# With no window manager on Xvfb, managed windows make Wine wait seconds for a withdrawal that
# never comes whenever a window is hidden; unmanaged windows get their frame drawn by Wine.
quelm_unmanaged_windows() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
}

# The fonts the windows need. Japanese Windows' proportional Gothic is stood in for by its IPA
# counterpart (the fixed-pitch IPA face Wine picks by itself is too wide for the labels).
quelm_fonts() {
    # Through a UTF-16 .reg file: Wine reads command-line arguments in the Unix locale's
    # charset, and the Japanese locale need not be installed.
    local reg="$WINEPREFIX/quelm-fonts.reg"
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
        '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' |
        iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1 </dev/null
    # Wine draws the frame's buttons (the close box) with Marlett; Debian's Wine finds the copy
    # from fonts-wine only in the prefix's own Fonts folder.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

quelm_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${QUELM_XVFB_PID:-}" ] && kill "$QUELM_XVFB_PID" 2>/dev/null || true
}

# A throwaway prefix on a private Xvfb display, set up as the tests and benchmarks want it, and
# removed again when the calling script exits. quelm_throwaway_display picks both, and
# quelm_prepare_prefix boots the prefix, which may run in the background meanwhile.
quelm_throwaway_display() {
    WINEPREFIX=$(mktemp -d /tmp/quelm-prefix.XXXXXX)
    export WINEPREFIX
    trap 'quelm_stop; rm -rf "$WINEPREFIX"' EXIT
    unset DISPLAY
    quelm_start_xvfb
}

quelm_prepare_prefix() {
    quelm_start_prefix
    quelm_unmanaged_windows
    quelm_fonts
}

quelm_throwaway_wine() {
    quelm_throwaway_display
    quelm_prepare_prefix
}

# Starts the test programs' keep_desktop.exe ($1) in the background and returns once it says
# that Wine's desktop is up (or after 60 s).
quelm_keep_desktop() {
    local said
    said=$(mktemp)
    wine "$1" >"$said" 2>/dev/null </dev/null &
    for _ in $(seq 600); do
        grep -q ready "$said" && break
        sleep 0.1
    done
    rm -f "$said"
}
