#!/usr/bin/env python3
"""Memory of a second window: one more window in the running program (the hand-over of a
second start) against a second copy of the program in a process tree of its own, as "Nuova"
made before. PSS of every process of the program's trees, the engine's included, after the
pages have settled.

    python3 bench/window_memory.py [--build-dir build] [--rounds 3] [--settle 10]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run_bench import PageServer, pss_kib, process_tree  # noqa: E402


def environment(home, runtime):
    env = dict(os.environ)
    env.update({
        "QT_QPA_PLATFORM": "offscreen",
        "XDG_DATA_HOME": str(home / "data"), "XDG_CONFIG_HOME": str(home / "config"),
        "XDG_CACHE_HOME": str(home / "cache"), "XDG_RUNTIME_DIR": str(runtime),
        "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu --disable-background-networking --disable-component-update",
    })
    return env


def start(program, url, env, cwd):
    return subprocess.Popen([program, url], env=env, cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


def tree_mib(*roots):
    pids = [pid for root in roots for pid in process_tree(root)]
    return pss_kib(pids)[0] / 1024, len(pids)


def stop(*processes):
    for process in processes:
        process.terminate()
        process.wait(20)


def one_round(program, server, home, settle):
    runtime = home / "runtime"
    other_runtime = home / "runtime-other"
    for folder in (runtime, other_runtime):
        folder.mkdir(mode=0o700, exist_ok=True)
    cwd = home / "cwd"
    cwd.mkdir(exist_ok=True)
    url = server.url("upper", "w")
    first = start(program, url, environment(home, runtime), cwd)
    time.sleep(settle)
    alone, _ = tree_mib(first.pid)
    # Same runtime folder: the second start hands over and exits.
    second = start(program, url, environment(home, runtime), cwd)
    second.wait(20)
    time.sleep(settle)
    two_windows, processes = tree_mib(first.pid)
    stop(first)
    # A runtime folder of its own: no hand-over, a second copy on a profile in memory.
    first = start(program, url, environment(home, runtime), cwd)
    time.sleep(settle)
    second = start(program, url, environment(home, other_runtime), cwd)
    time.sleep(settle)
    two_copies, copies_processes = tree_mib(first.pid, second.pid)
    stop(second, first)
    return alone, two_windows, processes, two_copies, copies_processes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", default="build")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--settle", type=float, default=10)
    args = parser.parse_args()
    program = str(Path(args.build_dir, "src/app/quovadex3").resolve())
    results = []
    with PageServer() as server, tempfile.TemporaryDirectory() as scratch:
        for n in range(args.rounds):
            home = Path(scratch, f"round{n}")
            home.mkdir()
            r = one_round(program, server, home, args.settle)
            results.append(r)
            print(f"round {n + 1}: one window {r[0]:.1f} MiB; two windows, one process {r[1]:.1f} MiB "
                  f"({r[2]} processes); two processes {r[3]:.1f} MiB ({r[4]} processes)", flush=True)
    med = [statistics.median(r[i] for r in results) for i in range(5)]
    print(f"median: one window {med[0]:.1f} MiB; second window in the running program +{med[1] - med[0]:.1f} MiB; "
          f"second copy of the program +{med[3] - med[0]:.1f} MiB")


if __name__ == "__main__":
    main()
