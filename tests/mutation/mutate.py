#!/usr/bin/env python3
"""Runs the suite against each hand-made fault of mutants.txt and says which
ones the tests catch.

Each mutant is one small change a real bug could look like. It is applied to a
copy of the tracked sources (the working tree is never touched), the copy is
built incrementally, and ctest runs until its first failure. A mutant is
"killed" when the suite fails, "survived" when it passes, "stale" when its text
is not found exactly once (the code moved: rewrite the mutant), "no build" when
the change does not compile (not a useful mutant).

    tests/mutation/mutate.py [--only ID[,ID...]] [--jobs N]

Exit status 0 when every survivor is explained by a "known:" line, 1 otherwise.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
WORK = ROOT / "build-mutate"
TREE = WORK / "tree"
BUILD = TREE / "build"


def read_mutants(path):
    mutants, current, key = [], None, None
    for raw in path.read_text(encoding="utf-8").splitlines():
        if raw.startswith("== "):
            ident, _, what = raw[3:].partition(":")
            current = {"id": ident.strip(), "what": what.strip()}
            mutants.append(current)
            key = None
        elif current is None or raw.startswith("#") or not raw.strip():
            continue
        elif raw.startswith("> ") and key in ("find", "replace"):
            current[key] += "\n" + raw[2:]      # continuation of a multi-line text
        else:
            key, _, value = raw.partition(":")
            key = key.strip()
            current[key] = value[1:] if value.startswith(" ") else value
    for m in mutants:
        for field in ("file", "find", "replace"):
            if field not in m:
                sys.exit(f"mutante {m['id']}: falta «{field}»")
    return mutants


def sync_tree():
    """Copies the tracked files that changed, with a fresh time so the build
    remakes what depends on them (a time copied from the source could be
    older than an object built from an interrupted mutant); unchanged files
    keep theirs, so the build stays incremental."""
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                           capture_output=True).stdout.decode().split("\0")
    # A file that left the repository leaves the copy: a build that globs
    # its sources would still find it.
    tracked = set(filter(None, files))
    if TREE.exists():
        for path in TREE.rglob("*"):
            rel = path.relative_to(TREE)
            if rel.parts[0] != "build" and path.is_file() and str(rel) not in tracked:
                path.unlink()
    for name in filter(None, files):
        src, dst = ROOT / name, TREE / name
        if not src.is_file():
            continue
        if dst.exists() and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, **kw)


def build(jobs):
    return run(["cmake", "--build", str(BUILD), f"-j{jobs}"]).returncode == 0


def suite_passes(jobs):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = run(["ctest", f"-j{jobs}", "--stop-on-failure", "--timeout", "300"],
                 cwd=BUILD, env=env)
    return result.returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", default="")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    args = parser.parse_args()

    mutants = read_mutants(ROOT / "tests" / "mutation" / "mutants.txt")
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in wanted]

    sync_tree()
    launcher = []
    if shutil.which("ccache"):
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
        os.environ.setdefault("CCACHE_BASEDIR", str(TREE))
    # The copy is no checkout of its own: it is named after the revision it copies.
    revision = run(["git", "rev-parse", "--short=12", "HEAD"], cwd=ROOT).stdout.strip()
    run(["cmake", "-S", str(TREE), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
         f"-DLINEALIDAD_REVISION={revision} (copia de prueba)", *launcher], check=True)
    if not build(args.jobs) or not suite_passes(args.jobs):
        sys.exit("El árbol sin mutantes no compila o no pasa sus pruebas: nada que medir.")

    results = []
    for m in mutants:
        path = TREE / m["file"]
        original = path.read_text(encoding="utf-8")
        started = time.monotonic()
        if original.count(m["find"]) != 1:
            outcome = "stale"
        else:
            path.write_text(original.replace(m["find"], m["replace"]), encoding="utf-8")
            try:
                if not build(args.jobs):
                    outcome = "no build"
                else:
                    outcome = "survived" if suite_passes(args.jobs) else "killed"
            finally:
                path.write_text(original, encoding="utf-8")
        seconds = time.monotonic() - started
        results.append((m, outcome))
        print(f"{outcome:9} {m['id']:32} {seconds:6.0f} s  {m['what']}", flush=True)

    build(args.jobs)   # leave the copy built as it is, for the next run
    killed = sum(1 for _, o in results if o == "killed")
    counted = sum(1 for _, o in results if o in ("killed", "survived"))
    print(f"\n{killed} muertos de {counted} ({100 * killed // max(counted, 1)} %)")
    unexplained = []
    for m, outcome in results:
        if outcome == "survived":
            reason = m.get("known")
            print(f"  sobrevive {m['id']}: {reason or 'SIN EXPLICAR'}")
            if not reason:
                unexplained.append(m)
        elif outcome in ("stale", "no build"):
            print(f"  {outcome}: {m['id']} ({m['file']})")
            unexplained.append(m)
    return 1 if unexplained else 0


if __name__ == "__main__":
    sys.exit(main())
