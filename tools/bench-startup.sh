#!/usr/bin/env bash
# Startup time and working set of QUELM against its own window with nothing behind it
# (bench/startup/same_window.cpp) and against one empty window (minimal_window.cpp), all built
# with the same flags, under Wine on a private Xvfb display in a throwaway prefix with code page
# 932. The programs alternate in one run; the probe prints every run, the medians and the
# ratios. QUELM_BENCH_RUNS sets the runs of each (61), QUELM_BENCH_CPU the CPU they share (1).
# QUELM_BENCH_BASELINE=<another build's QUELM.exe> makes that one QUELM's baseline instead (the
# cost of a change of flags: both show "QUELM", this build's first).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
source tools/wine-env.sh # before CMake: it finds the Wine that CTest uses

build=${QUELM_BUILD_DIR:-build/win64}
runs=${QUELM_BENCH_RUNS:-61}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target QUELM same_window minimal_window startup_probe

# Wine's client, its server and the X server wake each other thousands of times while a program
# starts. On this two-CPU virtual machine a wakeup across CPUs is slow whenever the other CPU
# idles, and single starts took 50 or 250 ms at random; on one CPU they vary by a few per cent.
# Xvfb, the Wine server and the programs all start from this shell and share its CPU.
taskset -p -c "${QUELM_BENCH_CPU:-1}" $$ >/dev/null

quelm_throwaway_wine

winpath() {
    local path
    path=$(realpath "$1")
    echo "Z:${path//\//\\}"
}

# The probe starts the programs itself, waits until each waits for input, then checks it from
# outside through user32 (window visible, the five lists filled) and reads its working set
# through psapi. It holds Wine's desktop for the whole run, so no start pays for the desktop
# process. The machine's load is part of the result.
baseline=()
[ -n "${QUELM_BENCH_BASELINE:-}" ] && baseline=("$(winpath "$QUELM_BENCH_BASELINE")" QUELM 5)
echo "== $runs runs each, alternating, after one unmeasured run each; $(uptime)"
wine "$build/bench/startup/startup_probe.exe" "$runs" \
    "$(winpath "$build/app/QUELM.exe")" QUELM 5 "${baseline[@]}" \
    "$(winpath "$build/bench/startup/same_window.exe")" same_window 5 \
    "$(winpath "$build/bench/startup/minimal_window.exe")" minimal_window 0 </dev/null
echo "== done; $(uptime)"
