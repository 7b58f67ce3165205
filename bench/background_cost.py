#!/usr/bin/env python3
"""What reading followed values out of sight costs: the program with 20 values followed on 5
quote sites that neither pane shows, against the same program with nothing followed. Each
site behaves as real quote sites do: the followed address sends the page on within the site
(302 to another path), and the page asks for notifications and the position as it loads. Both
show the same pages (a small local page above, the information page below) and run for some
minutes while the exchange is open: by the machine's clock when it is, else under faketime at
a trading hour (which inflates the engine's processor time many times: memory and readings
only then). On a real X display (Xvfb, 96 dpi), then offscreen.

    python3 bench/background_cost.py [--build-dir build] [--minutes 10] [--only display|offscreen]

QUOVADEX_BENCH_QUICK=1 runs 2 minutes. Measured from 20 s after the start: the process tree's
PSS once a second (and the first sample after each background page's renderer has gone,
against the first of the run), its renderer processes five times a second, its processor time over the
run (utime + stime, with that of the children each process reaped, so a background page's
renderer that came and went counts), the requests each site got and how many were in flight at
once, and at the end the readings the store holds.
"""
import argparse
import datetime
import http.server
import os
import random
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import zoneinfo
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run_bench import (Bench, RealDisplay, _stat_fields, foreign_engine_mappers, machine_busy_ticks, pss_kib,  # noqa: E402
                       process_tree)

SITES = 5
ROWS = ("ENI", "ENEL", "INTESA", "STELLANTIS")
# Each site on a loopback address of its own: five sites to the engine, so a page of one
# never shares a renderer with another's by being the same site.
SITE_HOSTS = [f"127.0.0.{11 + i}" for i in range(SITES)]
HOME_HOST = "127.0.0.1"
# Wednesday 9 December 2026, 10:00 in Rome: the exchange is open.
TRADING_TIME = "@2026-12-09 10:00:00"
# ValueStoreSchema::Version when this was written; a later program brings the file up to date.
STORE_VERSION = 4
SAMPLE_S = 1.0
ENGINE_HELPERS = ("/usr/lib/qt6/libexec/QtWebEngineProcess", "/usr/lib/x86_64-linux-gnu/qt6/libexec/QtWebEngineProcess")
RENDERER_SAMPLE_S = 0.2
# As a quote site takes to answer; long enough that two pages loading at once would overlap.
QUOTE_DELAY_S = 0.5
ROOT = Path(__file__).resolve().parent.parent
CALENDAR = ROOT / "src" / "market" / "calendario-borsa.txt"
# Memory and processor time are counted from here, once both panes have loaded; the first
# reading out of sight is due one interval ("Leggi ogni", 1 minute) after the start.
SETTLE_S = 20
PSS_TARGET = "at most one renderer process more"
CPU_TARGET_PERCENT = 2.0
# After each page read out of sight, the tree's memory against the run's first sample.
AFTER_PAGE_TARGET_MIB = 5.0
# The address the program follows sends the page on to this one, on the same site.
FOLLOWED_PATH = "/quote"
PAGE_PATH = "/prezzi"


class Sites:
    """Five quote tables whose prices change on every load, and a home page, each on its own
    loopback address. Every request is recorded, and the most quote pages served at once."""

    def __init__(self, base_port):
        self.lock = threading.Lock()
        self.requests = []  # (monotonic time, host:port, path)
        self.in_flight = 0
        self.most_in_flight = 0
        self.servers = []
        sites = self
        for n, host in enumerate(SITE_HOSTS + [HOME_HOST]):
            class Handler(http.server.BaseHTTPRequestHandler):
                protocol_version = "HTTP/1.1"
                home = host == HOME_HOST

                def log_message(self, *args):
                    pass

                def do_GET(self):
                    where = f"{self.server.server_address[0]}:{self.server.server_address[1]}"
                    quote = not self.home and self.path == PAGE_PATH
                    if not self.home and self.path == FOLLOWED_PATH:
                        with sites.lock:
                            sites.requests.append((time.monotonic(), where, self.path))
                        self.send_response(302)
                        self.send_header("Location", PAGE_PATH)
                        self.send_header("Content-Length", "0")
                        self.end_headers()
                        return
                    if self.home:
                        body = home_page() if self.path == "/" else None
                    else:
                        body = quote_page(where) if quote else None
                    with sites.lock:
                        sites.requests.append((time.monotonic(), where, self.path))
                        sites.in_flight += quote
                        sites.most_in_flight = max(sites.most_in_flight, sites.in_flight)
                    try:
                        if quote:
                            time.sleep(QUOTE_DELAY_S)
                        code = 200 if body else 404
                        data = (body or "not here\n").encode()
                        self.send_response(code)
                        self.send_header("Content-Type", "text/html; charset=utf-8" if body else "text/plain")
                        self.send_header("Cache-Control", "no-store")
                        self.send_header("Content-Length", str(len(data)))
                        self.end_headers()
                        self.wfile.write(data)
                        self.wfile.flush()
                    except (BrokenPipeError, ConnectionResetError):
                        pass
                    finally:
                        with sites.lock:
                            sites.in_flight -= quote

            self.servers.append(_Server((host, base_port + n), Handler))

    def __enter__(self):
        for server in self.servers:
            threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
        return self

    def __exit__(self, *exc):
        for server in self.servers:
            server.shutdown()
            server.server_close()

    def reset_in_flight(self):
        with self.lock:
            self.most_in_flight = 0

    def addresses(self):
        return [f"http://{s.server_address[0]}:{s.server_address[1]}{FOLLOWED_PATH}" for s in self.servers[:SITES]]

    def home(self):
        s = self.servers[SITES]
        return f"http://{s.server_address[0]}:{s.server_address[1]}/"

    def since(self, start):
        with self.lock:
            return [r for r in self.requests if r[0] >= start]


class _Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A program stopped at the end of its run drops its open connections.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def quote_page(where):
    rows = "".join(f"<tr><td>{name}</td><td>{random.uniform(1, 40):.3f}".replace(".", ",")
                   + f"</td><td>{random.uniform(-3, 3):+.2f}%</td></tr>" for name in ROWS)
    # The table is the body's first element and its body the second after the head: the rows are
    # "/TABLE:0/TBODY:1/TR#<name>", as a pick in the program gives them.
    return (f"<!DOCTYPE html><html lang='it'><head><meta charset='utf-8'><title>Quotazioni {where}</title></head>"
            f"<body><table><thead><tr><th>Titolo</th><th>Prezzo</th><th>Var.</th></tr></thead>"
            f"<tbody>{rows}</tbody></table><script>Notification.requestPermission();"
            f"navigator.geolocation.getCurrentPosition(function(){{}}, function(){{}});</script></body></html>")


def home_page():
    return ("<!DOCTYPE html><html lang='it'><head><meta charset='utf-8'><title>Pagina di casa</title></head>"
            "<body><h1>Pagina di casa</h1><p>Nessun valore seguito qui.</p></body></html>")


def write_store(data_home, addresses):
    """The store as the program keeps it, at its current version, following the price of every
    row of every site."""
    folder = data_home / "Quovadex" / "quovadex3"
    folder.mkdir(parents=True, exist_ok=True)
    db = sqlite3.connect(folder / "valori-seguiti.sqlite")
    db.executescript(f"""
        PRAGMA journal_mode=WAL;
        CREATE TABLE schema_version (version INTEGER NOT NULL);
        INSERT INTO schema_version VALUES ({STORE_VERSION});
        CREATE TABLE followed (id INTEGER PRIMARY KEY, address TEXT NOT NULL, grp TEXT NOT NULL, cell INTEGER NOT NULL,
            name TEXT NOT NULL, above REAL, below REAL, margin REAL NOT NULL DEFAULT 0.2, heading TEXT NOT NULL DEFAULT '',
            above_alerted INTEGER NOT NULL DEFAULT 0, below_alerted INTEGER NOT NULL DEFAULT 0,
            move_percent REAL, move_minutes INTEGER NOT NULL DEFAULT 0, move_margin REAL NOT NULL DEFAULT 0.2,
            move_alerted INTEGER NOT NULL DEFAULT 0, move_alerted_on TEXT NOT NULL DEFAULT '',
            UNIQUE (address, grp, cell));
        CREATE TABLE readings (at INTEGER NOT NULL, value INTEGER NOT NULL REFERENCES followed (id) ON DELETE CASCADE,
            number REAL NOT NULL, PRIMARY KEY (at, value)) WITHOUT ROWID;
        CREATE INDEX readings_by_value ON readings (value, at);
        CREATE TABLE alerts (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, value INTEGER NOT NULL
            REFERENCES followed (id) ON DELETE CASCADE, kind INTEGER NOT NULL, number REAL, reason TEXT NOT NULL DEFAULT '',
            seen INTEGER NOT NULL DEFAULT 0);
        CREATE INDEX alerts_by_time ON alerts (at);
    """)
    db.executemany("INSERT INTO followed (address, grp, cell, name, heading) VALUES (?, ?, 1, ?, 'Prezzo')",
                   [(a, f"/TABLE:0/TBODY:1/TR#{name}", name) for a in addresses for name in ROWS])
    db.commit()
    db.close()


def store_counts(data_home):
    path = data_home / "Quovadex" / "quovadex3" / "valori-seguiti.sqlite"
    if not path.exists():
        return None
    db = sqlite3.connect(path)
    try:
        followed = db.execute("SELECT count(*) FROM followed").fetchone()[0]
        per_value = [n for (n,) in db.execute(
            "SELECT count(r.at) FROM followed f LEFT JOIN readings r ON r.value = f.id GROUP BY f.id")]
        return followed, per_value
    finally:
        db.close()


def tree_ticks(pids):
    """Processor ticks of the live processes, with those of the children each has reaped: a
    background page's renderer that ended between two samples still counts."""
    total = 0
    for pid in pids:
        try:
            fields = _stat_fields(pid)
            total += sum(int(fields[i]) for i in (11, 12, 13, 14))
        except (OSError, ValueError, IndexError):
            pass
    return total


def zygotes(pids):
    found = []
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if b"--type=zygote" in f.read():
                    found.append(pid)
        except OSError:
            pass
    return found


def renderers(zygote_pids):
    """The engine forks every page's process from a zygote, and the child keeps the zygote's
    command line: the zygotes' children are the renderers."""
    found = []
    for pid in zygote_pids:
        try:
            for task in os.listdir(f"/proc/{pid}/task"):
                with open(f"/proc/{pid}/task/{task}/children") as f:
                    found += [int(c) for c in f.read().split()]
        except OSError:
            pass
    return found


class RendererWatch:
    """Counts the renderers five times a second: a background page lives about a second."""

    def __init__(self, root):
        self.root = root
        self.counts = []
        self.seen = set()
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)

    def run(self):
        zygote_pids = []
        while not self.stopping.wait(RENDERER_SAMPLE_S):
            if len(zygote_pids) < 2:
                zygote_pids = zygotes(process_tree(self.root))
            found = renderers(zygote_pids)
            self.counts.append(len(found))
            self.seen.update(found)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping.set()
        self.thread.join()


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def environment(home, display):
    env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
    for var, sub in (("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                     ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
        (home / sub).mkdir(parents=True, exist_ok=True, mode=0o700)
        env[var] = str(home / sub)
    env.update(QT_QPA_PLATFORM="offscreen", LANG="C.UTF-8", LC_ALL="C.UTF-8", TZ="Europe/Rome",
               # Under faketime: the engine's timers and the program's intervals on the real
               # monotonic clock.
               FAKETIME_DONT_FAKE_MONOTONIC="1")
    if display:
        env.update(QT_QPA_PLATFORM="xcb", DISPLAY=display)
        env.pop("WAYLAND_DISPLAY", None)
    env.pop("QTWEBENGINE_CHROMIUM_FLAGS", None)
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    return env


def market_open_now():
    """The exchange's hours by the machine's own clock, holidays from the program's calendar."""
    now = datetime.datetime.now(zoneinfo.ZoneInfo("Europe/Rome"))
    holidays = CALENDAR.read_text().split() if CALENDAR.exists() else []
    return (now.weekday() < 5 and now.date().isoformat() not in holidays
            and datetime.time(9, 0) <= now.time() < datetime.time(17, 35))


def one_run(program, sites, work, display, follow, minutes, logs, fake):
    label = f"{'display' if display else 'offscreen'}-{'followed' if follow else 'nothing'}"
    home = work / label
    if follow:
        write_store(home / "data", sites.addresses())
    env = environment(home, display)
    (home / "cwd").mkdir(parents=True, exist_ok=True)
    load_before = load_average()
    log_path = logs / f"background-{label}.log"
    command = (["faketime", "-f", TRADING_TIME] if fake else []) + [program, sites.home()]
    if fake:
        # The engine's processes on the real clock: faked, they spend many times their processor
        # time, and only the program needs the exchange open.
        helper = next((p for p in ENGINE_HELPERS if Path(p).exists()), None)
        if helper:
            wrapper = home / "engine-process"
            wrapper.write_text(f"#!/bin/sh\nunset LD_PRELOAD FAKETIME\nexec {helper} \"$@\"\n")
            wrapper.chmod(0o755)
            env["QTWEBENGINEPROCESS_PATH"] = str(wrapper)
    sites.reset_in_flight()
    with open(log_path, "w") as log:
        started = time.monotonic()
        process = subprocess.Popen(command, env=env, cwd=home / "cwd", stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        samples = []  # PSS KiB of the tree and its part not backed by files, once a second
        after_page = []  # the first sample with no background renderer after one was seen
        foreign = []
        renderer_pss = {}
        try:
            sleep_until(started + SETTLE_S)
            tree = process_tree(process.pid)
            panes = renderers(zygotes(tree))
            with RendererWatch(process.pid) as watch:
                ticks0, busy0, t0 = tree_ticks(tree), machine_busy_ticks(), time.monotonic()
                pages_seen = 0
                while (now := time.monotonic()) < t0 + minutes * 60:
                    if process.poll() is not None:
                        raise RuntimeError(f"{label}: the program exited with {process.returncode} (log: {log_path})")
                    tree = process_tree(process.pid)
                    seen = len(watch.seen - set(panes))
                    background_now = set(renderers(zygotes(tree))) - set(panes)
                    samples.append(pss_kib(tree))
                    if seen > pages_seen and not background_now:
                        after_page.append(samples[-1])
                        pages_seen = seen
                    if len(samples) % 30 == 1:
                        foreign.append(foreign_engine_mappers(tree))
                    for pid in renderers(zygotes(tree)):
                        renderer_pss.setdefault(pid, []).append(pss_kib([pid])[0])
                    sleep_until(now + SAMPLE_S)
                ticks1, busy1, t1 = tree_ticks(process_tree(process.pid)), machine_busy_ticks(), time.monotonic()
        finally:
            Bench.stop(process)
    load_after = load_average()
    per_core = 100 / os.sysconf("SC_CLK_TCK") / (t1 - t0)
    requests = [r for r in sites.since(started) if r[2] == PAGE_PATH]
    return {
        "label": label, "cpu": (ticks1 - ticks0) * per_core, "others": max(0, busy1 - busy0 - (ticks1 - ticks0)) * per_core,
        "pss": [total / 1024 for total, _ in samples], "anon": [anon / 1024 for _, anon in samples],
        "after_page": [((total - samples[0][0]) / 1024, (anon - samples[0][1]) / 1024) for total, anon in after_page],
        "foreign": max(foreign), "renderers": watch.counts, "panes": len(panes),
        "pane_renderers": [statistics.median(renderer_pss[pid]) / 1024 for pid in panes if pid in renderer_pss],
        "background_seen": len(watch.seen - set(panes)),
        "background_renderers": [max(v) / 1024 for pid, v in renderer_pss.items() if pid not in panes],
        "requests": {a: sum(1 for r in requests if f"http://{r[1]}{FOLLOWED_PATH}" == a) for a in sites.addresses()},
        "in_flight": sites.most_in_flight, "store": store_counts(home / "data"), "load": (load_before, load_after),
        "seconds": t1 - t0,
    }


def describe(r):
    pss, counts = r["pss"], r["renderers"]
    lines = [f"{r['label']}: {r['seconds'] / 60:.1f} min measured; load average {r['load'][0]} before, {r['load'][1]} after",
             f"  processor {r['cpu']:.2f} % of one core (rest of the machine {r['others']:.0f} % of a core)",
             f"  PSS median {statistics.median(pss):.1f} MiB, max {max(pss):.1f}, min {min(pss):.1f} ({len(pss)} samples;"
             f" other processes mapping the engine's library: up to {r['foreign']})",
             f"  PSS not backed by files median {statistics.median(r['anon']):.1f} MiB, max {max(r['anon']):.1f}",
             f"  renderers: {r['panes']} for the panes; counted {len(counts)} times: one more in"
             f" {sum(1 for c in counts if c == r['panes'] + 1)}, two more in {sum(1 for c in counts if c == r['panes'] + 2)},"
             f" more in {sum(1 for c in counts if c > r['panes'] + 2)}",
             "  pane renderers' PSS (median of each): " + ", ".join(f"{m:.1f}" for m in r["pane_renderers"]) + " MiB"]
    if r["background_seen"]:
        bg = r["background_renderers"]
        lines.append(f"  background renderers: {r['background_seen']} seen"
                     + (f", PSS of {len(bg)} caught by the memory samples at most {max(bg):.1f} MiB,"
                        f" median {statistics.median(bg):.1f}" if bg else ""))
    if r["after_page"]:
        after = r["after_page"]
        lines.append(f"  after each of {len(after)} pages, against the run's first sample: PSS at most"
                     f" {max(p for p, _ in after):+.1f} MiB (median {statistics.median(p for p, _ in after):+.1f}),"
                     f" not backed by files at most {max(a for _, a in after):+.1f} MiB"
                     f" (median {statistics.median(a for _, a in after):+.1f})")
    lines.append("  pages read per site: " + ", ".join(str(n) for n in r["requests"].values())
                 + f"; pages in flight at once at most {r['in_flight']}")
    if r["store"]:
        followed, per_value = r["store"]
        lines.append(f"  store: {followed} followed, {sum(per_value)} readings, {min(per_value)}-{max(per_value)} a value")
    return lines


def verdict(followed, nothing):
    renderer = max(nothing["pane_renderers"])
    more = {key: (max(followed[key]) - max(nothing[key]), statistics.median(followed[key]) - statistics.median(nothing[key]))
            for key in ("pss", "anon")}
    # Another program mapping the engine's library takes a share of its pages from the tree's
    # PSS while it runs, tens of MiB that come and go; the part not backed by files keeps still.
    judged = "anon" if followed["foreign"] or nothing["foreign"] else "pss"
    met = more[judged][0] <= renderer
    extra = max(followed["renderers"]) - followed["panes"]
    after = [a if judged == "anon" else p for p, a in followed["after_page"]] or [float("nan")]
    return [f"  followed against nothing: PSS max {more['pss'][0]:+.1f} MiB, median {more['pss'][1]:+.1f} MiB;"
            f" not backed by files max {more['anon'][0]:+.1f} MiB, median {more['anon'][1]:+.1f} MiB",
            f"  one renderer (the larger pane's PSS) {renderer:.1f} MiB; judged on"
            f" {'the part not backed by files (other engine processes ran)' if judged == 'anon' else 'PSS'}:"
            f" {'met' if met else 'MISSED'} ({PSS_TARGET})",
            f"  renderers beyond the panes' at any count: at most {extra} (target ≤ 1: {'met' if extra <= 1 else 'MISSED'})",
            f"  memory after each page ({'not backed by files' if judged == 'anon' else 'PSS'}) against the start:"
            f" at most {max(after):+.1f} MiB over {len(followed['after_page'])} pages (target ≤ {AFTER_PAGE_TARGET_MIB:g} MiB:"
            f" {'met' if max(after) <= AFTER_PAGE_TARGET_MIB else 'MISSED'})",
            f"  processor {followed['cpu']:.2f} % against {nothing['cpu']:.2f} % ({followed['cpu'] - nothing['cpu']:+.2f}"
            f" points); target ≤ {CPU_TARGET_PERCENT:g} % of a core: {'met' if followed['cpu'] <= CPU_TARGET_PERCENT else 'MISSED'}"]


def sleep_until(deadline):
    while (left := deadline - time.monotonic()) > 0:
        time.sleep(min(left, 1.0))


def main():
    quick = os.environ.get("QUOVADEX_BENCH_QUICK", "") not in ("", "0")
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default="build")
    parser.add_argument("--minutes", type=float, default=2 if quick else 10)
    parser.add_argument("--only", choices=("display", "offscreen"))
    parser.add_argument("--port", type=int, default=18761, help="the first of six ports")
    parser.add_argument("--clock", choices=("auto", "faketime", "real"), default="auto",
                        help="auto: the machine's clock while the exchange is open, else faketime")
    args = parser.parse_args()
    program = str(Path(args.build_dir, "src/app/quovadex3").resolve())
    logs = ROOT / "build" / "bench-logs"
    logs.mkdir(parents=True, exist_ok=True)
    fake = args.clock == "faketime" or args.clock == "auto" and not market_open_now()
    out = [f"date {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}   cores (nproc) {os.cpu_count()}"
           f"   {args.minutes:g} min a run from {SETTLE_S} s after the start, "
           + (f"under faketime {TRADING_TIME} (Rome)" if fake else "the exchange open by the machine's clock")]
    if fake:
        out.append("under faketime for the program only, its engine processes on the real clock;"
                   " the program's own process still pays for the faked clock")
    with Sites(args.port) as sites, tempfile.TemporaryDirectory(prefix="quovadex-background-") as scratch:
        for where in ("display", "offscreen"):
            if args.only and args.only != where:
                continue
            results = {}
            with (RealDisplay() if where == "display" else _Offscreen()) as display:
                for follow in (True, False):
                    try:
                        r = one_run(program, sites, Path(scratch), display.name, follow, args.minutes, logs, fake)
                    except RuntimeError as error:
                        # Seen once on the shared machine: the program gone early, with nothing in its log.
                        out.append(f"warning: {error}; run again")
                        print(out[-1], file=sys.stderr, flush=True)
                        r = one_run(program, sites, Path(scratch, "again"), display.name, follow, args.minutes, logs, fake)
                    results[follow] = r
                    for line in describe(r):
                        print(line, file=sys.stderr, flush=True)
            out += [f"{where}:"] + ["  " + line for r in results.values() for line in describe(r)]
            out += verdict(results[True], results[False])
    print("\n".join(out))
    return 0


class _Offscreen:
    name = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        pass


if __name__ == "__main__":
    sys.exit(main())
