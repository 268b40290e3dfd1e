# Sourced by the run and test scripts: an X display (Xvfb when there is none) and a Wine prefix
# whose wineserver stays up, with the Japanese ANSI code page (932).
# bash warns that it has no such locale; Wine only needs the name to pick code page 932.
export LC_ALL=ja_JP.UTF-8 2>/dev/null
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

# Whether this machine runs 32-bit programs, found out once by trying the 32-bit loader (some
# kernels have 32-bit emulation off) and passed on to every script and test run started from
# here. QUELM_WINE32=0 forces the 64-bit-only path. Where 32-bit programs cannot run, Debian's
# wine launcher fails for every program, so the launchers in tools/wine64 come first on PATH.
if [ -z "${QUELM_WINE32:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        QUELM_WINE32=1
    else
        QUELM_WINE32=0
        QUELM_NO_WINE32_REASON="this machine runs no 32-bit programs"
    fi
elif [ "$QUELM_WINE32" = 0 ]; then
    QUELM_NO_WINE32_REASON=${QUELM_NO_WINE32_REASON:-QUELM_WINE32=0 is set}
fi
export QUELM_WINE32 QUELM_NO_WINE32_REASON
if [ "$QUELM_WINE32" = 0 ]; then
    quelm_wine64_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/wine64" && pwd)
    case ":$PATH:" in *":$quelm_wine64_dir:"*) ;; *) PATH="$quelm_wine64_dir:$PATH" ;; esac
    export PATH # the launchers set WINELOADER themselves
fi

# One line for a script's log: which Wine it uses.
quelm_wine_path() {
    if [ "$QUELM_WINE32" = 0 ]; then
        echo "== Wine: 64-bit loader only ($QUELM_NO_WINE32_REASON)"
    else
        echo "== Wine: 64-bit and 32-bit (this machine runs 32-bit programs)"
    fi
}

# Runs one step of setting up Wine with its output appended to a log; when it fails, names the
# step, prints the end of the log and returns non-zero.
quelm_step() {
    local step=$1 log=$2 status=0
    shift 2
    "$@" >>"$log" 2>&1 </dev/null || status=$?
    [ "$status" -eq 0 ] && return 0
    echo "Wine setup failed: $step (exit status $status); the end of $log:" >&2
    tail -n 20 "$log" >&2
    return "$status"
}

quelm_start_xvfb() {
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"/tmp/quelm-xvfb-$n.log" 2>&1 &
        QUELM_XVFB_PID=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "Wine setup failed: starting Xvfb on :$n; the end of /tmp/quelm-xvfb-$n.log:" >&2
            tail -n 20 "/tmp/quelm-xvfb-$n.log" >&2
            return 1
        fi
        rm -f "/tmp/quelm-xvfb-$n.log"
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
    quelm_step "starting the Wine server" "$WINEPREFIX/wineboot.log" wineserver -p &&
        quelm_step "booting the Wine prefix" "$WINEPREFIX/wineboot.log" wineboot -i
}

# With no window manager on Xvfb, managed windows make Wine wait seconds for a withdrawal that
# never comes whenever a window is hidden; unmanaged windows get their frame drawn by Wine.
quelm_unmanaged_windows() {
    quelm_step "unmanaged windows" "$WINEPREFIX/setup.log" \
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
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
    quelm_step "the Japanese fonts" "$WINEPREFIX/setup.log" wine regedit /S "$reg" &&
        # Wine draws the frame's buttons (the close box) with Marlett; Debian's Wine finds the
        # copy from fonts-wine only in the prefix's own Fonts folder.
        quelm_step "the Marlett font" "$WINEPREFIX/setup.log" \
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
    quelm_start_prefix && quelm_unmanaged_windows && quelm_fonts
}

quelm_throwaway_wine() {
    quelm_throwaway_display && quelm_prepare_prefix
}

# Starts the test programs' keep_desktop.exe ($1) in the background and returns once it says
# that Wine's desktop is up; fails when it has not said so after 60 s.
quelm_keep_desktop() {
    local said=$WINEPREFIX/keep-desktop.out log=$WINEPREFIX/keep-desktop.log
    wine "$1" >"$said" 2>"$log" </dev/null &
    for _ in $(seq 600); do
        grep -q ready "$said" && return 0
        sleep 0.1
    done
    echo "Wine setup failed: the desktop ($1 never said ready); the end of $log:" >&2
    tail -n 20 "$log" >&2
    return 1
}
