#!/usr/bin/env python3
"""Mutation testing: how many real faults do the tests catch?

    tools/mutate.py                          # every mutant against the working tree
    tools/mutate.py --rev 264843c --out tools/mutants-baseline.tsv
    tools/mutate.py --only zone-pending-not-reset,tip-index-off-by-one
    tools/mutate.py --compare tools/mutants-baseline.tsv

Each entry of tools/mutants.json is one small fault: `find` (text that occurs exactly once in
`file`) becomes `replace`. The tool copies the tree into a scratch folder under /tmp (the
working tree's tracked files as they are now, or `git archive REV` with --rev), builds the win64
preset there, starts a throwaway Wine prefix on a private Xvfb as tools/test.sh does, checks
that the unchanged tree passes every test, and then, for each mutant: applies it, rebuilds, runs
the tests that match the regex `first` and then the rest, stopping at the first failure,
restores the file and prints killed / survived / did not build. A test that
fails once and passes when run again at once kills nothing; a test that kills two mutants in a
row is run on the unchanged tree too, and if it fails there the kill counts as unsure. The
working tree is only read; the scratch folder, the prefix and the Xvfb go away however the run
ends. A full run takes about
half an hour on two cores, so it is not part of tools/test.sh.

The catalogue must stay true to the code: the run stops before testing any mutant when a
mutant's `find` does not occur exactly once in its file, or when its `first` is missing or
matches no test of the unchanged tree.

--out FILE writes `id<TAB>result<TAB>test` lines as the run goes; lines of FILE for mutants
not run this time are kept, so an --only run updates an earlier result file. --compare FILE
lists the mutants killed in FILE but not now, and then exits with status 1.
"""
import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CATALOGUE = ROOT / "tools" / "mutants.json"
BUILD = Path("build") / "win64"

# Brings up the Wine of tools/test.sh, writes its environment to $2 and keeps it until stdin
# closes; the trap that quelm_throwaway_wine sets then stops Wine and Xvfb and removes the prefix.
WINE_DRIVER = r"""
source tools/wine-env.sh
quelm_throwaway_wine
quelm_keep_desktop "$1"
env -0 >"$2"
echo ready
read -r _ || true
"""


def run(cmd, cwd, log, env=None):
    """Runs cmd with its output appended to log; returns the exit status. Interrupted, it stops
    cmd together with every process cmd started (a build's compilers, a test's Wine)."""
    with open(log, "a") as out:
        proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return proc.wait()
        finally:
            if proc.returncode is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()


def wine_environment(src):
    """The environment after tools/wine-env.sh: on a machine that runs no 32-bit programs its
    PATH leads to the 64-bit loader, which CMake must find when it configures the tree."""
    out = subprocess.run(["bash", "-c", "source tools/wine-env.sh && quelm_wine_path >&2 && env -0"],
                         cwd=src, check=True, stdout=subprocess.PIPE).stdout.decode()
    return dict(v.split("=", 1) for v in out.split("\0") if "=" in v)


def copy_tree(src, rev):
    if rev:
        archive = subprocess.run(["git", "archive", rev], cwd=ROOT, check=True,
                                 stdout=subprocess.PIPE).stdout
        subprocess.run(["tar", "-x", "-C", src], input=archive, check=True)
        return
    names = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                           stdout=subprocess.PIPE).stdout.decode().split("\0")
    for name in filter(None, names):
        if (ROOT / name).is_file():  # deleted but not yet committed: not part of the tree now
            (src / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(ROOT / name, src / name)


class Tests:
    """Runs ctest in the scratch build under the throwaway Wine."""

    def __init__(self, src, env, timeout):
        self.src, self.env, self.timeout = src, env, timeout
        self.total = None  # tests in the unchanged tree

    def ctest(self, args):
        """(failed test or None, number of tests run). A failing test counts only when it fails
        again at once: a test that fails once under load is no kill."""
        for _ in range(3):
            failed, count = self.ctest_once(args)
            if not failed or failed.startswith("(") or self.ctest_once(self.only(failed))[0]:
                return failed, count
            print(f"    {failed} failed once, then passed: running again", flush=True)
        return failed, count

    @staticmethod
    def only(failed):
        """ctest arguments that run just this test. Not --rerun-failed: under -E ctest numbers
        the remaining tests afresh, and --rerun-failed maps those numbers onto the full list."""
        return ["-R", f"^{re.escape(failed.rsplit(' (', 1)[0])}$"]

    def ctest_once(self, args):
        log = self.src / "ctest.log"
        log.write_text("")
        status = run(["ctest", "--test-dir", str(BUILD), "--stop-on-failure", "--timeout",
                      str(self.timeout), *args], self.src, log, self.env)
        text = log.read_text(errors="replace")
        count = sum(int(n) for n in re.findall(r"tests? failed out of (\d+)", text))
        failed = [f for f in re.findall(r"^\s*\d+ - (.+) \(([^()]*)\)$", text, re.M)
                  if f[1] != "Disabled"]  # tests that only a child process runs
        if failed:
            return f"{failed[0][0]} ({failed[0][1]})", count
        if status != 0 or "CMake Error" in text:  # a test program that cannot even list its tests
            errors = [line for line in text.splitlines() if "rror" in line] or ["no output"]
            return f"(ctest: {errors[0].strip()})", count
        return None, count

    def names(self):
        """The tests of the build, as ctest lists them."""
        log = self.src / "ctest.log"
        log.write_text("")
        run(["ctest", "--test-dir", str(BUILD), "-N"], self.src, log, self.env)
        return re.findall(r"Test\s+#\d+: (\S+)", log.read_text(errors="replace"))

    def fails_unchanged(self, test, jobs):
        """Whether the test fails on the unchanged tree: one test that kills mutant after mutant
        may be failing for a reason of its own (a test left broken by the machine's load)."""
        if run(["cmake", "--build", str(BUILD), "-j", str(jobs)], self.src,
               self.src / "build.log", self.env) != 0:
            return True
        return self.ctest(self.only(test))[0] is not None

    def first_failure(self, first):
        """The first test that fails, or None when all pass."""
        count = 0
        if first:
            failed, count = self.ctest(["-R", first])
            if failed:
                return failed
        failed, rest = self.ctest(["-E", first] if first else [])
        if failed:
            return failed
        if self.total is not None and count + rest < self.total:
            return f"(only {count + rest} of {self.total} tests ran)"
        self.total = count + rest
        return None


def stale_finds(catalogue, src):
    """Mutants whose `find` does not occur exactly once in their file."""
    stale = []
    for m in catalogue:
        path = src / m["file"]
        text = path.read_bytes() if path.is_file() else b""
        if text.count(m["find"].encode()) != 1:
            stale.append(m["id"])
    return stale


def unnamed_firsts(catalogue, names):
    """Mutants whose `first` is missing or matches none of the tests."""
    return [m["id"] for m in catalogue
            if not m.get("first") or not any(re.search(m["first"], n) for n in names)]


def try_mutant(m, src, tests, jobs):
    path = src / m["file"]
    original = path.read_bytes()  # bytes: line ends stay as they are
    find, replace = m["find"].encode(), m["replace"].encode()
    path.write_bytes(original.replace(find, replace))
    try:
        if run(["cmake", "--build", str(BUILD), "-j", str(jobs)], src, src / "build.log",
               tests.env) != 0:
            return "did not build", ""
        failed = tests.first_failure(m.get("first", ""))
        return ("killed", failed) if failed else ("survived", "")
    finally:
        path.write_bytes(original)


def read_results(file):
    results = {}
    if file and Path(file).is_file():
        for line in Path(file).read_text().splitlines():
            parts = line.split("\t") + ["", ""]
            if parts[0]:
                results[parts[0]] = (parts[1], parts[2])
    return results


def write_results(file, catalogue, results):
    merged = read_results(file)
    merged.update(results)
    ids = [m["id"] for m in catalogue if m["id"] in merged]
    Path(file).write_text("".join(f"{i}\t{merged[i][0]}\t{merged[i][1]}\n" for i in ids))


def terminate(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rev", help="test this commit instead of the working tree")
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("--out", help="write id<TAB>result<TAB>test lines to this file")
    parser.add_argument("--compare", help="list mutants killed in this file but not now")
    parser.add_argument("--timeout", type=int, default=60, help="seconds per test (60)")
    parser.add_argument("--jobs", type=int, default=2, help="parallel build jobs (2)")
    args = parser.parse_args()

    full = json.loads(CATALOGUE.read_text())
    catalogue = full
    ids = [m["id"] for m in full]
    if len(set(ids)) != len(ids):
        sys.exit("mutants.json: duplicate ids")
    if args.only:
        wanted = args.only.split(",")
        unknown = set(wanted) - set(ids)
        if unknown:
            sys.exit("unknown mutants: " + ", ".join(sorted(unknown)))
        catalogue = [m for m in catalogue if m["id"] in wanted]

    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, terminate)
    scratch = Path(tempfile.mkdtemp(prefix="quelm-mutate."))
    src = scratch / "src"
    src.mkdir()
    wine = None
    env = {}
    results = {}
    start = time.monotonic()
    try:
        copy_tree(src, args.rev)
        print(f"scratch copy of {args.rev or 'the working tree'} in {src}", flush=True)
        stale = stale_finds(full, src)
        if stale:
            sys.exit("mutants.json: find text that does not occur exactly once in its file: "
                     + ", ".join(stale))
        env = wine_environment(src)
        if run(["cmake", "--preset", "win64"], src, src / "build.log", env) != 0 or \
                run(["cmake", "--build", str(BUILD), "-j", str(args.jobs)], src,
                    src / "build.log", env) != 0:
            sys.exit("the unchanged tree does not build:\n" + (src / "build.log").read_text()[-3000:])
        env_file = scratch / "wine.env"
        wine = subprocess.Popen(["bash", "-c", WINE_DRIVER, "bash",
                                 str(BUILD / "tests" / "keep_desktop.exe"), str(env_file)],
                                cwd=src, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                text=True, start_new_session=True)
        if wine.stdout.readline().strip() != "ready":
            sys.exit("could not start Wine")
        env = dict(v.split("=", 1) for v in env_file.read_text().split("\0") if "=" in v)
        tests = Tests(src, env, args.timeout)
        failed = tests.first_failure("")
        if failed:
            sys.exit(f"the unchanged tree fails {failed}: fix the tests before measuring them\n"
                     + (src / "ctest.log").read_text()[-3000:])
        unnamed = unnamed_firsts(full, tests.names())
        if unnamed:
            sys.exit("mutants.json: first missing or naming no test: " + ", ".join(unnamed))
        print(f"unchanged tree: all {tests.total} tests pass "
              f"({time.monotonic() - start:.0f} s)", flush=True)

        previous_killer = None
        for m in catalogue:
            begun = time.monotonic()
            result, test = try_mutant(m, src, tests, args.jobs)
            if result == "killed" and test == previous_killer and \
                    tests.fails_unchanged(test, args.jobs):
                result = "unsure"
                test += ", which fails without the mutant too"
            previous_killer = test if result == "killed" else None
            results[m["id"]] = (result, test)
            print(f"{m['id']}: {result}{' by ' + test if test else ''}"
                  f" ({time.monotonic() - begun:.0f} s)", flush=True)
            if args.out:
                write_results(args.out, full, results)
    finally:
        if wine:
            wine.stdin.close()
            try:
                wine.wait(timeout=120)
            except subprocess.TimeoutExpired:  # the driver's own clean-up hangs: do it here
                os.killpg(wine.pid, signal.SIGKILL)
                if env.get("WINEPREFIX"):
                    subprocess.run(["wineserver", "-k"], env=env)
                    shutil.rmtree(env["WINEPREFIX"], ignore_errors=True)
        shutil.rmtree(scratch, ignore_errors=True)

    counts = {r: sum(1 for v in results.values() if v[0] == r)
              for r in ("killed", "survived", "unsure", "did not build")}
    tried = counts["killed"] + counts["survived"]
    print(f"\n{counts['killed']} killed, {counts['survived']} survived, {counts['unsure']} unsure, "
          f"{counts['did not build']} did not build")
    print(f"kill rate {counts['killed']}/{tried} = {100 * counts['killed'] / max(tried, 1):.1f} %"
          f" ({(time.monotonic() - start) / 60:.0f} min)")
    survivors = [i for i, v in results.items() if v[0] == "survived"]
    if survivors:
        print("survived: " + ", ".join(survivors))
    if args.compare:
        lost = [i for i, v in read_results(args.compare).items()
                if v[0] == "killed" and i in results and results[i][0] != "killed"]
        print(f"killed in {args.compare} but not now: " + (", ".join(lost) or "none"))
        if lost:
            sys.exit(1)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit("interrupted; the scratch copy, the Wine prefix and the Xvfb are gone")
