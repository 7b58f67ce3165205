#!/usr/bin/env python3
"""What "Striscia dei valori" left open costs an idle program: the program with 20 values
followed (each read once, an hour ago) and the strip open on them, against the same program
with the strip closed, on a real X display (Xvfb, 96 dpi). Runs alternate, the strip's side
first; each is measured for some minutes from 20 s after its start: the processor time of the
whole process tree (utime + stime, with what each process reaped from its children).

    python3 bench/glance_idle.py [--build-dir build] [--minutes 2] [--pairs 2]

Nothing reads the values meanwhile: their addresses answer nothing, and outside the exchange's
hours nothing tries. The strip is opened as a restart opens it, from the program's settings.
"""
import argparse
import datetime
import os
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from background_cost import environment, market_open_now, sleep_until, tree_ticks, write_store  # noqa: E402
from run_bench import Bench, RealDisplay, process_tree  # noqa: E402

SETTLE_S = 20
TARGET_POINTS = 0.1
# No server listens there: a reading out of sight while the exchange is open fails at once.
ADDRESSES = [f"http://127.0.0.1:9/{n}" for n in range(5)]


def prepare(home, strip):
    write_store(home / "data", ADDRESSES)
    db = sqlite3.connect(home / "data" / "Quovadex" / "quovadex3" / "valori-seguiti.sqlite")
    at = int(time.time()) - 3600
    db.executemany("INSERT INTO readings (at, value, number) VALUES (?, ?, ?)",
                   [(at, value, 10 + value / 7) for (value,) in db.execute("SELECT id FROM followed")])
    db.commit()
    db.close()
    config = home / "config" / "Quovadex"
    config.mkdir(parents=True, exist_ok=True)
    (config / "quovadex3.conf").write_text(f"[striscia]\naperta={'true' if strip else 'false'}\n")
    page = home / "casa.html"
    page.write_text("<!DOCTYPE html><html lang='it'><head><meta charset='utf-8'><title>Casa</title></head>"
                    "<body><p>Nessun valore qui.</p></body></html>")
    return page


def one_run(program, display, work, strip, minutes, logs, n):
    label = f"{'strip' if strip else 'nostrip'}-{n}"
    home = work / label
    page = prepare(home, strip)
    env = environment(home, display)
    (home / "cwd").mkdir(parents=True, exist_ok=True)
    with open(logs / f"glance-idle-{label}.log", "w") as log:
        process = subprocess.Popen([program, str(page)], env=env, cwd=home / "cwd", stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        try:
            started = time.monotonic()
            sleep_until(started + SETTLE_S)
            if process.poll() is not None:
                raise RuntimeError(f"{label}: the program exited with {process.returncode}")
            shown = subprocess.run(["xwininfo", "-root", "-tree"], env={**env, "DISPLAY": display},
                                   capture_output=True, text=True).stdout.count('"Striscia dei valori')
            t0, ticks0 = time.monotonic(), tree_ticks(process_tree(process.pid))
            sleep_until(t0 + minutes * 60)
            t1, ticks1 = time.monotonic(), tree_ticks(process_tree(process.pid))
        finally:
            Bench.stop(process)
    percent = (ticks1 - ticks0) * 100 / os.sysconf("SC_CLK_TCK") / (t1 - t0)
    return {"label": label, "cpu": percent, "strip_windows": shown}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default="build")
    parser.add_argument("--minutes", type=float, default=2)
    parser.add_argument("--pairs", type=int, default=2)
    args = parser.parse_args()
    program = str(Path(args.build_dir, "src/app/quovadex3").resolve())
    logs = Path(args.build_dir).resolve() / "bench-logs"
    logs.mkdir(parents=True, exist_ok=True)
    results = {True: [], False: []}
    out = [f"date {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}   cores {os.cpu_count()}   "
           f"{args.minutes:g} min a run from {SETTLE_S} s after the start; exchange "
           f"{'open' if market_open_now() else 'closed'} by the machine's clock"]
    with RealDisplay() as display, tempfile.TemporaryDirectory(prefix="quovadex-glance-") as scratch:
        for n in range(args.pairs):
            for strip in (True, False):
                r = one_run(program, display.name, Path(scratch), strip, args.minutes, logs, n)
                results[strip].append(r)
                line = f"  {r['label']}: {r['cpu']:.3f} % of a core; strip windows on the display: {r['strip_windows']}"
                print(line, file=sys.stderr, flush=True)
                out.append(line)
    with_strip = statistics.median(r["cpu"] for r in results[True])
    without = statistics.median(r["cpu"] for r in results[False])
    out.append(f"median: strip open {with_strip:.3f} %, closed {without:.3f} % ({with_strip - without:+.3f} points;"
               f" target +{TARGET_POINTS} at most: {'met' if with_strip - without <= TARGET_POINTS else 'MISSED'})")
    print("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
