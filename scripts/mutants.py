#!/usr/bin/env python3
"""Mutation check: how many small faults planted in src/ does the suite catch?

Copies the tree to a temporary folder, builds it once, then applies one small
change at a time to the sources under src/ (a comparison flipped, && and ||
swapped, + 1 and - 1 swapped, true and false swapped, a ! dropped), rebuilds,
runs the suite (all but the checks that only read files kept in the tree)
and counts the changes the suite catches. The copy is built with shared
libraries and light optimisation, so that a change costs one recompiled
source and one relinked library. The same seed
and count pick the same changes from the same sources, so two runs of the
suite (before and after a rewrite of the tests) can be compared.

    scripts/mutants.py [--seed N[,N...]] [--count N] [--tree DIR] [--keep] [--pick [SEED:]3,17]
                       [--only src/games,src/charts]

Several seeds share one build of the copy. --pick runs only the changes of
those numbers (each seed's own when a seed is named: 7:3,7:17,8:2). --only
draws the changes from the sources under the paths given (a part of the
program whose tests are being worked on); without it, from every source.

Prints one line per change as it goes (kept: the suite passed with the fault
in; caught; did not build; same code) and a summary; the changes that were
kept are listed at the end. A change that does not compile is not counted,
nor one in a source this build does not compile (the web bindings), nor one
the compiler turns into the very same object code as the unchanged source's
(no test can tell such a change from the unchanged program). A change
whose suite runs four times as long as the unchanged suite's (at least a
minute) is stopped and counted as caught, so a run takes a predictable time.
"""
import argparse
import hashlib
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# (pattern, replacement) pairs. Binary operators are matched with the blanks
# around them, as the code is formatted, so templates, includes, << and ->
# are left alone.
OPERATORS = [
    (r" < ", " <= "), (r" <= ", " < "), (r" > ", " >= "), (r" >= ", " > "),
    (r" == ", " != "), (r" != ", " == "), (r" && ", " || "), (r" \|\| ", " && "),
    (r" \+ 1\b", " - 1"), (r" - 1\b", " + 1"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"(?<=[( ])!(?!=)", ""),
]


def code_mask(line):
    """Which characters of a line are code: not in a string, character
    literal or // comment."""
    mask = [True] * len(line)
    quote = None
    i = 0
    while i < len(line):
        c = line[i]
        if quote:
            mask[i] = False
            if c == "\\":
                if i + 1 < len(line):
                    mask[i + 1] = False
                i += 2
                continue
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            mask[i] = False
        elif line.startswith("//", i):
            for j in range(i, len(line)):
                mask[j] = False
            break
        i += 1
    return mask


def sites(root):
    """Every place a change can be planted, in a fixed order."""
    found = []
    for folder, _, files in sorted(os.walk(os.path.join(root, "src"))):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.relpath(os.path.join(folder, name), root)
            with open(os.path.join(root, path), encoding="utf-8") as f:
                lines = f.read().split("\n")
            for number, line in enumerate(lines, 1):
                stripped = line.lstrip()
                if stripped.startswith(("#", "//", "*", "/*", "static_assert")):
                    continue
                mask = code_mask(line)
                for pattern, replacement in OPERATORS:
                    for m in re.finditer(pattern, line):
                        if all(mask[m.start():m.end()]) if m.end() > m.start() else mask[m.start()]:
                            found.append((path, number, m.start(), m.end(), replacement))
    return found


def object_digests(build):
    """The digest of every object file of the build, by path."""
    digests = {}
    for folder, _, files in os.walk(build):
        for name in files:
            if name.endswith(".o"):
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    digests[path] = hashlib.sha256(f.read()).digest()
    return digests


def same_code(build, objects, since):
    """Whether every object file rebuilt since `since` came out byte for byte
    as the unchanged tree's: then the compiler has shown the change makes no
    difference to the program (no debug information is built, so a line's
    text leaves no trace), and there is nothing for a test to catch."""
    rebuilt = 0
    for path, digest in objects.items():
        if os.path.getmtime(path) >= since:
            rebuilt += 1
            with open(path, "rb") as f:
                if hashlib.sha256(f.read()).digest() != digest:
                    return False
    return rebuilt > 0


def run(command, cwd, timeout):
    """The command's exit status, or None when it ran past `timeout` seconds
    (then it and every process it started are stopped)."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", default="1")
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--tree", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--keep", action="store_true", help="keep the temporary copy")
    parser.add_argument("--pick", help="only these changes of the seed's, by number: 3,17")
    parser.add_argument("--only", help="only changes in sources under these paths: src/games,src/charts")
    parser.add_argument("--opt", default="-O1", help="the copy's optimisation (-O1)")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="fortelle-mutants.")
    os.chmod(work, 0o755)  # the install test runs the suite as another user
    tree = os.path.join(work, "tree")
    source = os.path.abspath(args.tree)

    def skipped(folder, names):
        # Build folders at the top only: src/wheels/builder.h is a source.
        top = os.path.abspath(folder) == source
        return [n for n in names if n in (".git", "node_modules") or (top and n.startswith("build"))]

    shutil.copytree(source, tree, ignore=skipped)
    build = os.path.join(tree, "build")
    # Built for turnaround, not speed of the program, without the benchmarks:
    # shared libraries, so a change to one source recompiles that file and
    # relinks one library (the programs and tests load it afresh and are not
    # relinked); light optimisation and no debug information; lld when it is
    # there; ccache with the copy's folder as its base, so that the unchanged
    # sources hit the cache from one run to the next.
    configure = ["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 f"-DCMAKE_CXX_FLAGS_RELWITHDEBINFO={args.opt} -DNDEBUG",
                 "-DBUILD_SHARED_LIBS=ON", "-DCMAKE_LINK_DEPENDS_NO_SHARED=ON", "-DFORTELLE_BENCHMARKS=OFF"]
    if shutil.which("ninja"):
        configure += ["-G", "Ninja"]
    if shutil.which("ld.lld"):
        configure += [f"-DCMAKE_{kind}_LINKER_FLAGS=-fuse-ld=lld" for kind in ("EXE", "SHARED", "MODULE")]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        os.environ["CCACHE_BASEDIR"] = tree
    if run(configure, tree, 600) != 0 or run(["cmake", "--build", build, "-j2"], tree, 3600) != 0:
        sys.exit("the unchanged tree does not build")
    # The tests that only read files kept in the tree (the formatting and
    # layer checks, the independent recomputations of golden figures) cannot
    # see a change to the program and are left out.
    suite = ["ctest", "-j2", "--timeout", "120", "--stop-on-failure",
             "-E", "^(format|layers|(charts|prices|racing|draws|readable)_independent)$"]
    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    began = time.time()
    if run(suite, build, 1800) != 0:
        subprocess.run(["ctest", "--rerun-failed", "--output-on-failure"], cwd=build)
        sys.exit("the suite fails on the unchanged tree")
    # A planted fault may make a test loop for ever: a suite that takes
    # several times as long as the unchanged one has caught it.
    suite_limit = max(60.0, 4 * (time.time() - began))
    print(f"the unchanged suite takes {time.time() - began:.0f} s; a change's run stops after "
          f"{suite_limit:.0f} s", flush=True)

    # The sources this build compiles (the web bindings are built by the
    # web edition's own build): a change elsewhere is not counted.
    compiled = set()
    if os.path.exists(os.path.join(build, "build.ninja")):
        deps = subprocess.run(["ninja", "-t", "deps"], cwd=build, capture_output=True, text=True).stdout
        compiled = {os.path.realpath(os.path.join(build, d.strip()))
                    for d in deps.split("\n") if d.startswith(" ")}

    objects = object_digests(build)

    everywhere = sites(tree)
    if args.only:
        everywhere = [s for s in everywhere if s[0].startswith(tuple(args.only.split(",")))]
    seeds = [int(n) for n in args.seed.split(",")]
    chosen = []
    for seed in seeds:
        sample = random.Random(seed).sample(everywhere, min(args.count, len(everywhere)))
        chosen += [(seed, index, change) for index, change in enumerate(sample, 1)]
    print(f"{len(everywhere)} places; seed {args.seed}; {args.count} changes each", flush=True)
    picked = None
    if args.pick:
        picked = {(int(p.split(":")[0]), int(p.split(":")[1])) if ":" in p else (seeds[0], int(p))
                  for p in args.pick.split(",")}
    caught, survived, stillborn, elsewhere, equivalent = 0, [], 0, 0, 0
    tally = {seed: 0 for seed in seeds}  # caught, by seed
    same = {seed: 0 for seed in seeds}  # compiled to the same code, by seed
    for seed, index, (path, number, start, end, replacement) in chosen:
        at = f"[{index}/{args.count}]" if len(seeds) == 1 else f"[{seed}:{index}/{args.count}]"
        if picked is not None and (seed, index) not in picked:
            continue
        if compiled and os.path.realpath(os.path.join(tree, path)) not in compiled:
            elsewhere += 1
            print(f"{at} {'not built here':14} {path}:{number}", flush=True)
            continue
        full = os.path.join(tree, path)
        with open(full, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        line = lines[number - 1]
        lines[number - 1] = line[:start] + replacement + line[end:]
        change = f"{path}:{number}: '{line[start:end]}' -> '{replacement}'"
        began = time.time()
        with open(full, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        try:
            if run(["cmake", "--build", build, "-j2"], tree, 1800) != 0:
                stillborn += 1
                verdict = "did not build"
            elif same_code(build, objects, began):
                equivalent += 1
                same[seed] += 1
                verdict = "same code"
            else:
                status = run(suite, build, suite_limit)
                if status is None:
                    caught += 1
                    tally[seed] += 1
                    verdict = "caught (hung)"
                elif status != 0:
                    caught += 1
                    tally[seed] += 1
                    verdict = "caught"
                else:
                    survived.append(f"{at} {change}\n      " + lines[number - 1].strip())
                    verdict = "kept"
        finally:
            with open(full, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{at} {verdict:14} {change} ({time.time() - began:.0f} s)", flush=True)
    # Leave the copy built as it was, for a later look.
    run(["cmake", "--build", build, "-j2"], tree, 1800)
    if len(seeds) > 1:
        for seed in seeds:
            mine = [s for s in survived if s.startswith(f"[{seed}:")]
            print(f"seed {seed}: {tally[seed] + len(mine)} built, {tally[seed]} caught, {len(mine)} kept"
                  f" ({same[seed]} compiled to the same code)")
    counted = caught + len(survived)
    share = f" ({100 * caught / counted:.0f} %)" if counted else ""
    print(f"\ncaught {caught} of {counted} changes that build{share} ({stillborn} did not build, "
          f"{equivalent} compiled to the same code, {elsewhere} in sources this build does not compile)")
    if survived:
        print("kept (the suite passed with these faults in):")
        for s in survived:
            print("  " + s)
    if args.keep:
        print(f"copy kept in {tree}")
    else:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
