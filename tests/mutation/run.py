#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Tarmalo developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The mutation check: which deliberate faults in src/ the CTest suites catch.

Each mutant of the list (mutants.txt beside this file; its head says the
format) replaces one exact text in one file under src/. The tracked files of
the checkout are copied to BUILD/tree, built once in BUILD/build (Release,
no benchmarks, warnings not fatal), and every suite is run once unchanged: each
must pass, and its time sets its time limit under a mutant. Then, one mutant
at a time, the copy is changed, rebuilt and every suite run against it, and
the file put back. The suites run as CTest runs them (command, environment,
folder and skip code as `ctest --show-only=json-v1` gives them), two at a
time, with a sound server of their own (tests/audio/pulse-null.sh).

A mutant is killed when a suite fails or runs out of time; one that does not
build is counted apart. A text that is not in its file exactly once fails
the whole run before anything is built.

  scripts/mutate.sh                     every mutant, every suite
  scripts/mutate.sh --quick             each mutant stops at its first failing suite
  scripts/mutate.sh -m 'gate-*' -s tick -s window   a few mutants, a few suites
  scripts/mutate.sh --json after.json --compare before.json
  scripts/mutate.sh --check             only checks the list
"""

import argparse
import datetime
import fcntl
import fnmatch
import json
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
KEYS = ("id", "file", "find", "replace", "fault")
# Test properties that change what passing means, or how tests may share the
# machine; none is used today, and a suite that starts using one must be
# taught here rather than judged wrongly.
UNSUPPORTED = {"WILL_FAIL", "PASS_REGULAR_EXPRESSION", "FAIL_REGULAR_EXPRESSION", "SKIP_REGULAR_EXPRESSION",
               "FIXTURES_SETUP", "FIXTURES_CLEANUP", "FIXTURES_REQUIRED", "DEPENDS", "RUN_SERIAL",
               "RESOURCE_LOCK", "RESOURCE_GROUPS", "ENVIRONMENT_MODIFICATION"}
# One character per suite and mutant in the matrix.
CELL = {"fail": "X", "timeout": "T", "pass": ".", "skip": "s", None: "-"}


def say(msg=""):
    print(msg, flush=True)


class Mutant:
    def __init__(self, line):
        self.line = line
        self.fields = {}

    def __getattr__(self, key):
        if key in KEYS:
            return self.fields.get(key)
        raise AttributeError(key)


# ------------------------------------------------------------------ the list

def parse_list(path):
    """Mutants and the errors found in the list, each error with its line."""
    mutants, errors = [], []
    current, last_key = None, None

    def close():
        if current is None:
            return
        missing = [k for k in KEYS if k not in current.fields]
        if missing:
            errors.append(f"{path}:{current.line}: mutant without {', '.join(missing)}")
        mutants.append(current)

    for n, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        text = raw.rstrip()
        stripped = text.lstrip()
        if not stripped:
            close()
            current, last_key = None, None
            continue
        if stripped.startswith("#"):
            continue
        if stripped.startswith("|"):
            # A further line of the text above.
            if current is None or last_key not in ("find", "replace"):
                errors.append(f"{path}:{n}: a '|' line continues only a find or replace text")
                continue
            rest = stripped[1:]
            current.fields[last_key] += "\n" + (rest[1:] if rest.startswith(" ") else rest)
            continue
        key, sep, value = text.partition(":")
        if not sep or key not in KEYS:
            errors.append(f"{path}:{n}: expected one of {', '.join(k + ':' for k in KEYS)} (got {text!r})")
            continue
        if current is None:
            if key != "id":
                errors.append(f"{path}:{n}: a mutant starts with its id")
                continue
            current = Mutant(n)
        if key in current.fields:
            errors.append(f"{path}:{n}: {key} given twice")
            continue
        current.fields[key] = value[1:] if value.startswith(" ") else value
        last_key = key
    close()

    seen = {}
    for m in mutants:
        if not m.id or any(c.isspace() for c in m.id):
            errors.append(f"{path}:{m.line}: an id is one word ({m.id!r})")
        elif m.id in seen:
            errors.append(f"{path}:{m.line}: id {m.id} used before, on line {seen[m.id]}")
        seen.setdefault(m.id, m.line)
        if m.find is not None and m.find == m.replace:
            errors.append(f"{path}:{m.line}: {m.id}: the replacement is the text itself")
        if m.fault is not None and not m.fault.strip():
            errors.append(f"{path}:{m.line}: {m.id}: no fault described")
    return mutants, errors


def check_matches(mutants, tree, path):
    """Each text must be in its file, under src/, exactly once."""
    errors = []
    for m in mutants:
        f = m.file or ""
        target = (tree / f).resolve()
        if not f.startswith("src/") or not target.is_relative_to((tree / "src").resolve()):
            errors.append(f"{path}:{m.line}: {m.id}: {f} is not a file under src/")
        elif not target.is_file():
            errors.append(f"{path}:{m.line}: {m.id}: no file {f}")
        elif m.find:
            count = target.read_text(encoding="utf-8").count(m.find)
            if count != 1:
                errors.append(f"{path}:{m.line}: {m.id}: the text is in {f} {count} times, not once: {m.find!r}")
        else:
            errors.append(f"{path}:{m.line}: {m.id}: an empty text to find")
    return errors


def pick(items, patterns, names):
    """The items any pattern matches by one of its names (fnmatch)."""
    if not patterns:
        return list(items)
    return [i for i in items if any(fnmatch.fnmatchcase(n, p) for p in patterns for n in names(i))]


# ------------------------------------------------------------------ the copy and its build

def git_files(root):
    out = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], capture_output=True, check=True).stdout
    return [f for f in out.decode().split("\0") if f and (root / f).is_file()]


def sync_tree(root, tree):
    """Makes the copy the checkout's tracked files as they are now; a file
    that is already the same keeps its time, so the build redoes only what
    changed."""
    files = git_files(root)
    wanted = set(files)
    changed = 0
    for f in files:
        src, dst = root / f, tree / f
        data = src.read_bytes()
        if dst.is_file() and not dst.is_symlink() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        shutil.copymode(src, dst)
        changed += 1
    # A file gone from the checkout must be gone from the copy too: a stale
    # header could otherwise still be found.
    removed = 0
    for p in sorted(tree.rglob("*"), reverse=True):
        rel = p.relative_to(tree).as_posix()
        if p.is_file() and rel not in wanted:
            p.unlink()
            removed += 1
        elif p.is_dir() and not any(p.iterdir()):
            p.rmdir()
    return len(files), changed, removed


def configure(tree, build, log):
    options = ["-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release", "-DTARMALO_BUILD_BENCH=OFF",
               "-DTARMALO_WERROR=OFF"]
    stamp = build / "mutation-options.txt"
    if (build / "build.ninja").exists() and stamp.exists() and stamp.read_text() == "\n".join(options):
        return True
    with open(log, "w") as out:
        ok = subprocess.run(["cmake", "-S", str(tree), "-B", str(build), *options],
                            stdout=out, stderr=subprocess.STDOUT).returncode == 0
    if ok:
        stamp.write_text("\n".join(options))
    return ok


def build_tree(build, jobs, log, timeout):
    t0 = time.monotonic()
    with open(log, "w") as out:
        try:
            p = subprocess.Popen(["ninja", "-C", str(build), f"-j{jobs}"], stdout=out,
                                 stderr=subprocess.STDOUT, start_new_session=True)
            ok = p.wait(timeout=timeout) == 0
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            out.write(f"\n(stopped after {timeout} s)\n")
            ok = False
    return ok, time.monotonic() - t0


def first_errors(path, count=3):
    """The compiler's first error lines, or the log's end."""
    text = Path(path).read_text(errors="replace").splitlines()
    errors = [line for line in text if "error" in line.lower() and "subcommand failed" not in line]
    return "\n    ".join(errors[:count] or text[-count:])


def tail(path, lines=25):
    try:
        return "\n".join(Path(path).read_text(errors="replace").splitlines()[-lines:])
    except OSError:
        return ""


# ------------------------------------------------------------------ the suites

class Suite:
    def __init__(self, entry, build):
        self.name = entry["name"]
        self.command = entry.get("command") or []
        props = {p["name"]: p["value"] for p in entry.get("properties", [])}
        self.disabled = bool(props.get("DISABLED"))
        bad = sorted(UNSUPPORTED & set(props))
        if bad:
            raise SystemExit(f"run.py: the suite {self.name} uses {', '.join(bad)}, which run.py does not handle")
        if not self.command and not self.disabled:
            raise SystemExit(f"run.py: the suite {self.name} has no command (not built?)")
        self.env = dict(e.split("=", 1) for e in props.get("ENVIRONMENT", []))
        self.cwd = props.get("WORKING_DIRECTORY") or str(build / "tests")
        self.limit = float(props.get("TIMEOUT") or 1500)  # CTest's own default
        skip = props.get("SKIP_RETURN_CODE")
        self.skip_code = int(skip) if skip is not None else None
        self.baseline = None


def list_suites(build):
    out = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"], capture_output=True,
                         text=True, check=True).stdout
    return [s for s in (Suite(e, build) for e in json.loads(out)["tests"]) if not s.disabled]


def run_suites(suites, env, jobs, limits, logdir, quick=False):
    """Runs the suites, `jobs` at a time, in the order given; gives each one's
    result ("pass", "skip", "fail" or "timeout"; None: not run) and time. In
    quick mode the first failure stops the rest."""
    logdir.mkdir(parents=True, exist_ok=True)
    pending = list(suites)
    running = {}
    results = {s.name: (None, None) for s in suites}
    stop = False
    try:
        while (pending and not stop) or running:
            while pending and not stop and len(running) < jobs:
                s = pending.pop(0)
                log = open(logdir / f"{s.name}.log", "w")
                p = subprocess.Popen(s.command, cwd=s.cwd, env=dict(env, **s.env), stdout=log,
                                     stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True)
                running[s.name] = (s, p, time.monotonic(), log)
            time.sleep(0.05)
            for name, (s, p, t0, log) in list(running.items()):
                rc = p.poll()
                took = time.monotonic() - t0
                if rc is None and took < limits[name]:
                    continue
                if rc is None:
                    kill(p)
                    result = "timeout"
                    log.write(f"\n(stopped after {limits[name]:.0f} s)\n")
                elif rc == 0:
                    result = "pass"
                elif s.skip_code is not None and rc == s.skip_code:
                    result = "skip"
                else:
                    result = "fail"
                log.close()
                del running[name]
                results[name] = (result, took)
                if quick and result in ("fail", "timeout"):
                    stop = True
            if stop:
                for name, (s, p, t0, log) in list(running.items()):
                    kill(p)
                    log.close()
                    del running[name]
    finally:
        for name, (s, p, t0, log) in running.items():
            kill(p)
            log.close()
    return results


def kill(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()


def start_sound_server(tree):
    """A PulseAudio null sink of our own, as scripts/test.sh starts; the
    variables it exports, or nothing without pulseaudio."""
    r = subprocess.run(["sh", str(tree / "tests/audio/pulse-null.sh"), "start"], capture_output=True, text=True)
    if r.returncode != 0:
        say(f"No sound server: the suites that need one skip their real-sound cases\n{r.stderr.strip()}")
        return {}
    env = {}
    for line in r.stdout.splitlines():
        if line.startswith("export ") and "=" in line:
            k, v = line[len("export "):].split("=", 1)
            env[k] = v
    return env


def stop_sound_server(tree, env):
    if env.get("TARMALO_PULSE_DIR"):
        subprocess.run(["sh", str(tree / "tests/audio/pulse-null.sh"), "stop", env["TARMALO_PULSE_DIR"]],
                       capture_output=True)


# ------------------------------------------------------------------ reports

def letters(n):
    chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    return [chars[i] if i < len(chars) else "?" for i in range(n)]


def status_of(results):
    if results is None:
        return "no build"
    return "killed" if any(r in ("fail", "timeout") for r, _ in results.values()) else "survived"


def print_matrix(report):
    suites = report["suites"]
    keys = letters(len(suites))
    say("Suites: " + "  ".join(f"{k}={s.removeprefix('test_')}" for k, s in zip(keys, suites)))
    width = max([len(m["id"]) for m in report["mutants"]] + [6])
    say(f"{'':{width}}  {'':8}  {''.join(keys)}")
    for m in report["mutants"]:
        cells = "".join(CELL[m["suites"].get(s)] for s in suites) if m["status"] != "no build" else ""
        say(f"{m['id']:{width}}  {m['status']:8}  {cells}")
    say("(X failed, T ran out of time, . passed, s skipped, - not run)")


def suite_kills(report):
    """Per suite: the mutants it killed, and those no other suite killed."""
    kills = {s: set() for s in report["suites"]}
    for m in report["mutants"]:
        for s, r in m["suites"].items():
            if r in ("fail", "timeout") and s in kills:
                kills[s].add(m["id"])
    sole = {}
    for s, ids in kills.items():
        others = set().union(*(v for k, v in kills.items() if k != s))
        sole[s] = ids - others
    return kills, sole


def print_summary(report):
    built = [m for m in report["mutants"] if m["status"] != "no build"]
    killed = [m for m in built if m["status"] == "killed"]
    broken = [m["id"] for m in report["mutants"] if m["status"] == "no build"]
    kills, sole = suite_kills(report)
    say()
    say(f"{'suite':32} {'baseline s':>10} {'kills':>6} {'alone':>6}")
    for s in report["suites"]:
        base = report["baseline"].get(s)
        say(f"{s:32} {base if base is not None else '':>10} {len(kills[s]):>6} {len(sole[s]):>6}")
    if report["quick"]:
        say("(quick mode: each mutant stopped at its first failing suite, so the kills are not every suite's)")
    survivors = [m for m in built if m["status"] == "survived"]
    if survivors:
        say()
        say("Survived:")
        for m in survivors:
            say(f"  {m['id']}: {m['fault']}")
    if broken:
        say()
        say(f"Did not build ({len(broken)}, not counted): {', '.join(broken)}")
    times = [m["build_seconds"] + m["test_seconds"] for m in built]
    say()
    if times:
        say(f"Time per mutant: {sum(times) / len(times):.0f} s on average (build "
            f"{sum(m['build_seconds'] for m in built) / len(built):.0f} s, suites "
            f"{sum(m['test_seconds'] for m in built) / len(built):.0f} s)")
    say(f"killed {len(killed)} of {len(built)}")


def compare(old, new):
    """Kills before and after, suite by suite, over the mutants both runs
    tried, and the mutants whose fate changed."""
    common = {m["id"] for m in old["mutants"]} & {m["id"] for m in new["mutants"]}
    old, new = ({**r, "mutants": [m for m in r["mutants"] if m["id"] in common]} for r in (old, new))
    ok, nk = suite_kills(old)[0], suite_kills(new)[0]
    say()
    say(f"Compared with {old.get('finished', 'an earlier run')} ({old.get('commit', '?')}), "
        f"over the {len(common)} mutants both tried:")
    say(f"{'suite':32} {'before':>7} {'after':>7}")
    for s in sorted(set(ok) | set(nk)):
        say(f"{s:32} {len(ok[s]) if s in ok else '':>7} {len(nk[s]) if s in nk else '':>7}")
    for r, label in ((old, "before"), (new, "after")):
        built = [m for m in r["mutants"] if m["status"] != "no build"]
        say(f"{label}: killed {sum(m['status'] == 'killed' for m in built)} of {len(built)}")
    before = {m["id"]: m["status"] for m in old["mutants"]}
    for m in new["mutants"]:
        if before[m["id"]] != m["status"]:
            say(f"  {m['id']}: {before[m['id']]} -> {m['status']}")


# ------------------------------------------------------------------ main

def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter,
                                 epilog=__doc__.split("\n\n", 1)[1])
    ap.add_argument("--list", default=str(HERE / "mutants.txt"), help="the list of mutants (default: %(default)s)")
    ap.add_argument("-m", "--mutant", action="append", default=[], metavar="PATTERN",
                    help="only mutants whose id or file matches (fnmatch; repeatable)")
    ap.add_argument("-s", "--suite", action="append", default=[], metavar="PATTERN",
                    help="only suites whose name, with or without test_, matches (fnmatch; repeatable)")
    ap.add_argument("--quick", action="store_true", help="stop each mutant at its first failing suite, "
                    "the fastest suites first")
    ap.add_argument("--check", action="store_true", help="only check the list")
    ap.add_argument("--json", metavar="FILE", help="write the results as JSON")
    ap.add_argument("--compare", metavar="FILE", help="compare with an earlier run's JSON")
    ap.add_argument("--build-dir", default=str(ROOT / "build-mutation"), help="default: %(default)s")
    ap.add_argument("-j", "--jobs", type=int, default=2, help="build jobs and suites at once (default 2)")
    ap.add_argument("--time-factor", type=float, default=3.0,
                    help="a suite's time limit under a mutant: this times its unchanged time, plus 20 s, "
                         "at least 30 s (default %(default)s)")
    args = ap.parse_args(argv)

    mutants, errors = parse_list(args.list)
    errors += check_matches([m for m in mutants if m.file and m.find is not None], ROOT, args.list)
    if errors:
        say("The list of mutants is not usable:")
        for e in errors:
            say("  " + e)
        return 2
    chosen = pick(mutants, args.mutant, lambda m: (m.id, m.file))
    if not chosen:
        say(f"No mutant to run ({len(mutants)} in {args.list}, none chosen)")
        return 2
    say(f"{len(chosen)} of {len(mutants)} mutants in {args.list}: every text found once")
    if args.check:
        return 0
    old = json.loads(Path(args.compare).read_text()) if args.compare else None

    work = Path(args.build_dir).resolve()
    tree, build, logs = work / "tree", work / "build", work / "logs"
    work.mkdir(parents=True, exist_ok=True)
    lock = open(work / ".lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        say(f"Another mutation run uses {work}")
        return 1
    shutil.rmtree(logs, ignore_errors=True)
    logs.mkdir()

    t0 = time.monotonic()
    count, changed, removed = sync_tree(ROOT, tree)
    say(f"Copy of the {count} tracked files in {tree}: {changed} written, {removed} removed")
    if not configure(tree, build, logs / "configure.log"):
        say(f"Configuring failed:\n{tail(logs / 'configure.log')}")
        return 1
    ok, secs = build_tree(build, args.jobs, logs / "build.log", timeout=3600)
    if not ok:
        say(f"The unchanged tree does not build:\n{tail(logs / 'build.log')}")
        return 1
    say(f"Built the unchanged tree in {secs:.0f} s")

    suites = pick(list_suites(build), args.suite, lambda s: (s.name, s.name.removeprefix("test_")))
    if not suites:
        say("No suite chosen")
        return 2
    # Headless as in CI: no desktop of the developer's gets a System Info
    # window per mutant.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER")}
    env["QT_QPA_PLATFORM"] = "offscreen"
    sound = start_sound_server(tree)
    env.update(sound)

    # Whatever stops the run, the copy gets its file back.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    current = None
    try:
        say(f"Running the {len(suites)} suites on the unchanged tree")
        base = run_suites(suites, env, args.jobs, {s.name: s.limit for s in suites}, logs / "baseline")
        bad = [n for n, (r, _) in base.items() if r not in ("pass", "skip")]
        for s in suites:
            s.baseline = base[s.name][1]
        say("  " + ", ".join(f"{s.name} {s.baseline:.1f} s" for s in sorted(suites, key=lambda s: -s.baseline)))
        if bad:
            say(f"These suites fail without any mutant, so they would kill every one: {', '.join(bad)} "
                f"(logs in {logs / 'baseline'})")
            return 1
        limits = {s.name: min(s.limit, max(30.0, args.time_factor * s.baseline + 20)) for s in suites}
        order = sorted(suites, key=lambda s: s.baseline) if args.quick else \
            sorted(suites, key=lambda s: -s.baseline)  # the longest first keeps both slots busy
        report = {
            "started": datetime.datetime.now().isoformat(timespec="seconds"),
            "commit": subprocess.run(["git", "-C", str(ROOT), "describe", "--always", "--dirty"],
                                     capture_output=True, text=True).stdout.strip(),
            "quick": args.quick,
            "suites": [s.name for s in sorted(suites, key=lambda s: s.name)],
            "baseline": {s.name: round(s.baseline, 1) for s in suites},
            "mutants": [],
        }
        # Mutants of one file one after the other: the file is rebuilt once
        # less for each.
        runs = sorted(chosen, key=lambda m: m.file)
        done = {}
        for i, m in enumerate(runs, 1):
            path = tree / m.file
            original = path.read_bytes()
            current = (path, original)
            text = original.decode("utf-8")
            assert text.count(m.find) == 1, m.id
            path.write_bytes(text.replace(m.find, m.replace).encode("utf-8"))
            ok, build_secs = build_tree(build, args.jobs, logs / f"{m.id}.build.log", timeout=1800)
            results, test_secs = None, 0.0
            if ok:
                t1 = time.monotonic()
                results = run_suites(order, env, args.jobs, limits, logs / m.id, quick=args.quick)
                test_secs = time.monotonic() - t1
            path.write_bytes(original)
            current = None
            entry = {"id": m.id, "file": m.file, "fault": m.fault, "status": status_of(results),
                     "suites": {n: r for n, (r, _) in (results or {}).items()},
                     "build_seconds": round(build_secs, 1), "test_seconds": round(test_secs, 1)}
            done[m.id] = entry
            failed = [n.removeprefix("test_") for n, r in entry["suites"].items() if r in ("fail", "timeout")]
            say(f"[{i}/{len(runs)}] {m.id}: {entry['status']}"
                + (f" by {', '.join(sorted(failed))}" if failed else "")
                + f" (build {build_secs:.0f} s, suites {test_secs:.0f} s)")
            if not ok:
                say("    " + first_errors(logs / f"{m.id}.build.log"))
            report["mutants"] = [done[x.id] for x in chosen if x.id in done]
            if args.json:
                Path(args.json).write_text(json.dumps(report, indent=1) + "\n")
    except KeyboardInterrupt:
        say("Stopped")
        return 130
    finally:
        if current:
            current[0].write_bytes(current[1])
        stop_sound_server(tree, sound)

    report["finished"] = datetime.datetime.now().isoformat(timespec="seconds")
    say()
    print_matrix(report)
    print_summary(report)
    say(f"Whole run: {time.monotonic() - t0:.0f} s; logs in {logs}")
    if args.json:
        Path(args.json).write_text(json.dumps(report, indent=1) + "\n")
    if old:
        compare(old, report)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
