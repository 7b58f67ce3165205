#!/usr/bin/env python3
"""The program against a bare two-pane baseline, and the scroll hold across reloads.

    make bench                            the full run (about half an hour)
    QUOVADEX_BENCH_QUICK=1 make bench     a short run to try things out
    bash bench/run.sh --help              the driver's options (build directory, parts, counts)

Both sides run headless (offscreen) with the same environment, and then again each in turn on
a real X display (Xvfb at 96 dpi), where drawing costs what offscreen hides. Every page comes from a small
HTTP server on 127.0.0.1 inside this script; each page's last element asks for a marker
address, and the time of that request is the page's arrival.
"""

import argparse
import datetime
import http.server
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The server refuses to outlive any run of this script, however it ends.
SERVER_LIFETIME_S = 3 * 3600
LOAD_TIMEOUT_S = 90
STOP_TIMEOUT_S = 10
QUIET_TIMEOUT_S = 120
HOLD_OFFSETS = (500, 300)
# The memory sample compares like with like: both sides with both pages at the top. The
# program's holds are engaged this long after it, and the idle window opens after the
# engaging has settled.
HOLD_AFTER_MEMORY_S = 1
IDLE_AFTER_HOLD_S = 2

TARGETS = {"startup": 1.10, "memory": 1.05}
IDLE_TARGET_PERCENT = 1.0
# On a real display: at most this much of a core above the bare two-view window, per pair.
DISPLAY_IDLE_ABOVE_BASELINE = 0.3

GIF = bytes.fromhex("47494638396101000100800000000000ffffff21f90401000000002c00000000010001000002024401003b")


# ---------------------------------------------------------------------------------------------
# Pages and markers

def quote_page(name, rows, marker):
    """A long quote table, as the program is used for. Nothing in it runs after the load or
    animates, so what idles is the engine and the program, not the page."""
    lines = []
    for i in range(rows):
        price = 10 + (i * 7919 % 100000) / 100
        change = ((i * 37) % 400 - 200) / 100
        lines.append(f"<tr><td>TITOLO {i:04d}</td><td>{price:,.2f}</td><td>{change:+.2f}%</td>"
                     f"<td>{9 + i % 8:02d}:{i % 60:02d}:{(i * 7) % 60:02d}</td></tr>")
    head = (f"<!DOCTYPE html><html><head><meta charset='utf-8'><title>Quotazioni {name}</title>"
            "<style>body{font:13px sans-serif;margin:8px}table{border-collapse:collapse}"
            "td{padding:1px 8px;border-bottom:1px solid #ddd}</style></head>"
            f"<body><h1>Quotazioni {name}</h1><table>")
    # An image would do as the last element, but the engine holds an image below the fold
    # back for more than a second after the preload scanner saw it; a fetch from the last
    # element goes out when the parser reaches it.
    tail = f"</table><script>fetch('{marker}', {{cache: 'no-store'}});</script></body></html>"
    return head, lines, tail


class PageServer:
    """Serves /page/<name>?run=<id>[&stream=1] and records /marker/<id>/<name>.

    With stream=1 the first rows go out at once and the rest 150 ms later, the way a quote
    server's page arrives: the engine paints the top before the table is complete."""

    def __init__(self, rows=600):
        self.rows = rows
        self.lock = threading.Lock()
        self.markers = {}
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                now = time.monotonic()
                url = urllib.parse.urlsplit(self.path)
                parts = url.path.strip("/").split("/")
                query = urllib.parse.parse_qs(url.query)
                if parts[0] == "marker" and len(parts) == 3:
                    with server.lock:
                        server.markers.setdefault((parts[1], parts[2]), now)
                    self.reply(200, "image/gif", [GIF])
                elif parts[0] == "page" and len(parts) == 2:
                    run = query.get("run", ["x"])[0]
                    head, lines, tail = quote_page(parts[1], server.rows, f"/marker/{run}/{parts[1]}")
                    if query.get("stream") == ["1"]:
                        first = (head + "".join(lines[:30])).encode()
                        rest = ("".join(lines[30:]) + tail).encode()
                        self.reply(200, "text/html; charset=utf-8", [first, rest], pause=0.15)
                    else:
                        self.reply(200, "text/html; charset=utf-8", [(head + "".join(lines) + tail).encode()])
                else:
                    self.reply(404, "text/plain", [b"not here\n"])

            def reply(self, code, kind, chunks, pause=0.0):
                self.send_response(code)
                self.send_header("Content-Type", kind)
                # Like a live quote page: every load and reload goes to the server, for
                # both sides alike, whatever cache their profile keeps.
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(sum(len(c) for c in chunks)))
                self.end_headers()
                try:
                    for i, chunk in enumerate(chunks):
                        if i:
                            time.sleep(pause)
                        self.wfile.write(chunk)
                        self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError):
                    pass

        class Server(http.server.ThreadingHTTPServer):
            daemon_threads = True

            def handle_error(self, request, client_address):
                # A program stopped at the end of its run drops its open connections.
                if not isinstance(sys.exc_info()[1], ConnectionError):
                    super().handle_error(request, client_address)

        self.httpd = Server(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
        self.watchdog = threading.Timer(SERVER_LIFETIME_S, self.httpd.shutdown)
        self.watchdog.daemon = True

    def __enter__(self):
        self.thread.start()
        self.watchdog.start()
        return self

    def __exit__(self, *exc):
        self.watchdog.cancel()
        self.httpd.shutdown()
        self.httpd.server_close()

    def url(self, name, run, stream=False):
        return f"http://127.0.0.1:{self.port}/page/{name}?run={run}" + ("&stream=1" if stream else "")

    def marker(self, run, name):
        with self.lock:
            return self.markers.get((run, name))


# ---------------------------------------------------------------------------------------------
# The process tree: every web-engine child descends from the program's own process

def _stat_fields(pid):
    with open(f"/proc/{pid}/stat") as f:
        text = f.read()
    # The command name is in parentheses and may itself hold spaces and parentheses.
    return text[text.rindex(")") + 2:].split()


def process_tree(root):
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            ppid = int(_stat_fields(entry)[1])
        except (OSError, ValueError, IndexError):
            continue
        children.setdefault(ppid, []).append(int(entry))
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def machine_busy_ticks():
    """Processor time of the whole machine, in ticks, that was not idle."""
    with open("/proc/stat") as f:
        fields = [int(x) for x in f.readline().split()[1:]]
    idle = fields[3] + (fields[4] if len(fields) > 4 else 0)  # idle + iowait
    return sum(fields[:8]) - idle


def cpu_ticks(pids):
    ticks = {}
    for pid in pids:
        try:
            fields = _stat_fields(pid)
            ticks[pid] = int(fields[11]) + int(fields[12])  # utime + stime, all threads
        except (OSError, ValueError, IndexError):
            pass
    return ticks


def pss_kib(pids):
    """The tree's proportional set size, and the part of it that is not file pages."""
    total = anon = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    key, _, value = line.partition(":")
                    if key == "Pss":
                        total += int(value.split()[0])
                    elif key in ("Pss_Anon", "Pss_Shmem"):
                        anon += int(value.split()[0])
        except OSError:
            pass
    return total, anon


def foreign_engine_mappers(tree):
    """Processes outside the tree that map the web engine's library. Each of them takes a
    share of its pages, so the tree's PSS reads lower while they run (a test run or a second
    copy of the program beside the benchmark)."""
    mine = set(tree)
    count = 0
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in mine:
            continue
        try:
            with open(f"/proc/{entry}/maps") as f:
                if "libQt6WebEngineCore" in f.read():
                    count += 1
        except OSError:
            pass
    return count


# ---------------------------------------------------------------------------------------------
# Runs

class RealDisplay:
    """An X server of its own for the run, at the resolution and dpi the program is seen at."""

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write)
        with os.fdopen(read) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        try:
            self.process.wait(STOP_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Bench:
    def __init__(self, args, server, work):
        self.display = None
        self.args = args
        self.server = server
        self.work = work
        self.bin = Path(args.build_dir).resolve() / "bench"
        self.logs = Path(args.build_dir).resolve() / "bench-logs"
        self.logs.mkdir(parents=True, exist_ok=True)

    def environment(self, side):
        home = self.work / side
        env = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
        for var, sub in (("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                         ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
            (home / sub).mkdir(parents=True, exist_ok=True, mode=0o700)
            env[var] = str(home / sub)
        env.update(QT_QPA_PLATFORM="offscreen", LANG="C.UTF-8", LC_ALL="C.UTF-8", NO_PROXY="127.0.0.1")
        if self.display:
            env.update(QT_QPA_PLATFORM="xcb", DISPLAY=self.display)
            env.pop("WAYLAND_DISPLAY", None)
        env.pop("QTWEBENGINE_CHROMIUM_FLAGS", None)
        if os.geteuid() == 0:
            env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        return env

    def command(self, side, run):
        upper, lower = self.server.url("upper", run), self.server.url("lower", run)
        if side == "program":
            return [str(self.bin / "program_runner"), "--lower", lower,
                    "--hold1", str(HOLD_OFFSETS[0]), "--hold2", str(HOLD_OFFSETS[1]),
                    "--hold-after-ms", str(int((self.args.settle + HOLD_AFTER_MEMORY_S) * 1000)), "--", upper]
        return [str(self.bin / "baseline" / "baseline"), upper, lower]

    @staticmethod
    def stop(process):
        # The run's own process group: the program and the web-engine children it started.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                return
            try:
                process.wait(STOP_TIMEOUT_S)
                return
            except subprocess.TimeoutExpired:
                continue

    @staticmethod
    def wait_for_quiet():
        """Another web-engine program (a test run beside the benchmark) shares the engine's
        library pages and processor; wait a while for it to end. Returns how many remain."""
        deadline = time.monotonic() + QUIET_TIMEOUT_S
        while (foreign := foreign_engine_mappers([])) and time.monotonic() < deadline:
            time.sleep(2)
        return foreign

    def run_once(self, side, run, measure=True):
        """One start of one side; returns start-up ms, PSS MiB and idle % of one core."""
        if measure and (foreign := self.wait_for_quiet()):
            progress(f"  {foreign} other web-engine processes still running; measuring anyway")
        log_path = self.logs / f"{run}.log"
        cwd = self.work / side / "cwd"
        cwd.mkdir(parents=True, exist_ok=True)
        with open(log_path, "w") as log:
            started = time.monotonic()
            process = subprocess.Popen(self.command(side, run), env=self.environment(side), cwd=cwd,
                                       stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
            try:
                arrived = None
                while time.monotonic() - started < LOAD_TIMEOUT_S and process.poll() is None:
                    marks = [self.server.marker(run, name) for name in ("upper", "lower")]
                    if None not in marks:
                        arrived = max(marks)
                        break
                    time.sleep(0.02)
                if arrived is None:
                    raise RuntimeError(f"{side} run {run}: pages did not arrive (log: {log_path})")
                if not measure:
                    return None
                startup_ms = (arrived - started) * 1000

                sleep_until(arrived + self.args.settle)
                tree = process_tree(process.pid)
                pss, anon = pss_kib(tree)
                foreign = foreign_engine_mappers(tree)

                sleep_until(arrived + self.args.settle + HOLD_AFTER_MEMORY_S + IDLE_AFTER_HOLD_S)
                ticks0, busy0, t0 = cpu_ticks(process_tree(process.pid)), machine_busy_ticks(), time.monotonic()
                sleep_until(t0 + self.args.idle)
                ticks1, busy1, t1 = cpu_ticks(process_tree(process.pid)), machine_busy_ticks(), time.monotonic()
                used = sum(t - ticks0.get(pid, 0) for pid, t in ticks1.items())
                per_core_percent = 100 / os.sysconf("SC_CLK_TCK") / (t1 - t0)
                idle_percent = used * per_core_percent
                others_percent = max(0, busy1 - busy0 - used) * per_core_percent
                pss_held, _ = pss_kib(process_tree(process.pid))
                if process.poll() is not None:
                    raise RuntimeError(f"{side} run {run}: exited during the measurement (log: {log_path})")
            finally:
                self.stop(process)
        if measure and side == "program" and "holds engaged" not in log_path.read_text(errors="replace"):
            raise RuntimeError(f"program run {run}: the scroll holds did not engage (log: {log_path})")
        return {"startup": startup_ms, "memory": pss / 1024, "anon": anon / 1024, "idle": idle_percent,
                "memory_after_idle": pss_held / 1024, "processes": len(tree), "foreign": foreign,
                "others": others_percent}

    def compare(self, display=None):
        self.display = display
        where = "x11-" if display else ""
        # One unmeasured start per side first: the profile folders, font caches and the
        # engine's files on disk are then as warm for the first pair as for the last.
        for side in ("program", "baseline"):
            self.run_once(side, f"{where}warmup-{side}", measure=False)
        results = {"program": [], "baseline": []}
        for pair in range(1, self.args.pairs + 1):
            for side in ("program", "baseline"):
                r = self.run_once(side, f"{where}{side}-{pair}")
                results[side].append(r)
                progress(f"pair {pair} {side:8}: start-up {r['startup']:7.0f} ms   PSS {r['memory']:7.1f} MiB"
                         f" (not file-backed {r['anon']:6.1f})   idle {r['idle']:5.2f} %   ({r['processes']} processes;"
                         f" rest of the machine {r['others']:.0f} % of a core"
                         f"{', ' + str(r['foreign']) + ' foreign engine processes' if r['foreign'] else ''})")
        self.display = None
        return results

    def hold(self, stream):
        command = [str(self.bin / "scroll_hold"), "--url", self.server.url("upper", "hold", stream),
                   "--rounds", str(self.args.hold_rounds), "--offset", str(HOLD_OFFSETS[0])]
        log_path = self.logs / f"scroll-hold{'-stream' if stream else ''}.log"
        with open(log_path, "w") as log:
            process = subprocess.Popen(command, env=self.environment("hold"), cwd=self.work,
                                       stdout=subprocess.PIPE, stderr=log, text=True, start_new_session=True)
            try:
                out, _ = process.communicate(timeout=120 + self.args.hold_rounds * 3 * 20)
            except subprocess.TimeoutExpired:
                self.stop(process)
                raise RuntimeError(f"scroll hold benchmark timed out (log: {log_path})")
            finally:
                self.stop(process)
        if process.returncode != 0:
            raise RuntimeError(f"scroll hold benchmark failed (log: {log_path})")
        return [line for line in out.splitlines() if line.startswith("hold ")]

    def changes(self):
        """Finding and highlighting the changes of a refresh on a page of 10,000 cells."""
        command = [str(self.bin / "changes_cost"), "--rounds", "10" if self.args.pairs < 5 else "30"]
        result = subprocess.run(command, env=self.environment("changes"), cwd=self.work, capture_output=True,
                                text=True, timeout=600)
        if result.returncode != 0:
            raise RuntimeError("changes benchmark failed: " + result.stderr[-500:])
        return [line for line in result.stdout.splitlines() if line.startswith("changes_cost")]

    def values(self, display):
        """Following values: reading on a refresh, a streaming page's processor time on a real
        display, the chart's opening there, a month's database, and one reading's cost to an open
        "Valori seguiti" there."""
        long = self.args.pairs >= 5
        parts = (("read", ["--rounds", "30" if long else "10"], None), ("chart", ["--rounds", "10"], display),
                 ("store", [], None), ("watch", ["--seconds", "60" if long else "20"], display), ("stream", ["--seconds", "60" if long else "20"], display))
        lines = []
        for part, extra, on in parts:
            self.display = on
            env = self.environment("values")
            self.display = None
            result = subprocess.run([str(self.bin / "values_cost"), "--part", part] + extra, env=env, cwd=self.work,
                                    capture_output=True, text=True, timeout=900)
            if result.returncode != 0:
                raise RuntimeError(f"values benchmark ({part}) failed: " + result.stderr[-500:])
            lines += [line for line in result.stdout.splitlines() if line.startswith("values_cost")]
        return lines


def sleep_until(deadline):
    while (left := deadline - time.monotonic()) > 0:
        time.sleep(min(left, 1.0))


def progress(text):
    print(text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------------
# Report

def spread(values, fmt):
    return f"{fmt.format(min(values))}–{fmt.format(max(values))}"


def report_display(results):
    """The real display: only the idle figure, against the bare window of the same run."""
    program = [r["idle"] for r in results["program"]]
    baseline = [r["idle"] for r in results["baseline"]]
    above = [p - b for p, b in zip(program, baseline)]
    verdict = "met" if statistics.median(above) <= DISPLAY_IDLE_ABOVE_BASELINE else "MISSED"
    return ["idle CPU on a real X display (Xvfb, 96 dpi), % of one core",
            f"  program   median {statistics.median(program):8.2f}   spread {spread(program, '{:.2f}')}",
            f"  baseline  median {statistics.median(baseline):8.2f}   spread {spread(baseline, '{:.2f}')}",
            "  program above baseline per pair  " + "  ".join(f"{a:+.2f}" for a in above)
            + f"   median {statistics.median(above):+.2f}",
            f"  target ≤ {DISPLAY_IDLE_ABOVE_BASELINE:g} % of one core above the baseline: {verdict}"]


def report_compare(results):
    rows = (("startup", "start-up, ms", "{:.0f}"), ("memory", "memory PSS, MiB", "{:.1f}"),
            ("anon", "memory PSS not backed by files (anonymous + shared memory), MiB", "{:.1f}"),
            ("idle", "idle CPU, % of one core", "{:.2f}"),
            ("memory_after_idle", "memory PSS after the idle window, MiB", "{:.1f}"))
    lines = []
    for key, label, fmt in rows:
        program = [r[key] for r in results["program"]]
        baseline = [r[key] for r in results["baseline"]]
        ratios = [p / b if b > 0 else float("inf") for p, b in zip(program, baseline)]
        ratio = statistics.median(ratios)
        lines.append(f"{label}")
        lines.append(f"  program   median {fmt.format(statistics.median(program)):>8}   spread {spread(program, fmt)}")
        lines.append(f"  baseline  median {fmt.format(statistics.median(baseline)):>8}   spread {spread(baseline, fmt)}")
        lines.append("  program/baseline per pair  " + "  ".join(f"{r:.2f}" for r in ratios)
                     + f"   median {ratio:.2f}")
        if key in TARGETS:
            verdict = "met" if ratio <= TARGETS[key] else "MISSED"
            lines.append(f"  target ≤ {TARGETS[key]:.2f} × baseline: {verdict}")
        elif key == "anon":
            lines.append("  (no target; unlike PSS, not lowered by other processes that map the same libraries)")
        elif key == "memory_after_idle":
            lines.append("  (no target; the program's pages stand at the held offsets here, the baseline's at the top)")
        else:
            idle = statistics.median(program)
            verdict = "met" if idle < IDLE_TARGET_PERCENT else "MISSED"
            lines.append(f"  target program < {IDLE_TARGET_PERCENT:g} % of one core: {verdict}")
    others = [r["others"] for side in results.values() for r in side]
    lines.append(f"rest of the machine during the idle windows: median {statistics.median(others):.0f} %,"
                 f" at most {max(others):.0f} % of one core (start-up times spread with it)")
    foreign = sum(1 for side in results.values() for r in side if r["foreign"])
    if foreign:
        lines.append(f"warning: in {foreign} memory samples other processes mapped the web engine's library;"
                     " PSS shares its pages with them, so those samples read low")
    return lines


def git_commit():
    try:
        return subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"], capture_output=True,
                              text=True, timeout=10).stdout.strip() or "unknown"
    except (OSError, subprocess.TimeoutExpired):
        return "unknown"


def stop_on_signal(signum, frame):
    # Unwinds through every `finally`, so no program started here outlives the script.
    raise SystemExit(128 + signum)


def main():
    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, stop_on_signal)
    quick = os.environ.get("QUOVADEX_BENCH_QUICK", "") not in ("", "0")
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default=str(ROOT / "build"))
    parser.add_argument("--only", choices=("compare", "display", "hold", "changes", "values"))
    parser.add_argument("--pairs", type=int, default=2 if quick else 5)
    parser.add_argument("--settle", type=float, default=3 if quick else 10,
                        help="seconds from both pages' arrival to the memory sample")
    parser.add_argument("--idle", type=float, default=10 if quick else 60, help="seconds of the idle window")
    parser.add_argument("--hold-rounds", type=int, default=5 if quick else 30)
    args = parser.parse_args()
    args.pairs = max(1, min(args.pairs, 50))
    args.hold_rounds = max(1, min(args.hold_rounds, 200))

    header = [f"date {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}   cores (nproc) {os.cpu_count()}"
              f"   commit {git_commit()}{'   QUICK MODE' if quick else ''}",
              f"{args.pairs} pairs, program then baseline; memory {args.settle:g} s after both pages arrived;"
              f" then the program's holds engaged at {HOLD_OFFSETS[0]} and {HOLD_OFFSETS[1]} px;"
              f" idle window {args.idle:g} s from {HOLD_AFTER_MEMORY_S + IDLE_AFTER_HOLD_S} s after the memory sample"]
    out = []
    with tempfile.TemporaryDirectory(prefix="quovadex-bench-") as work, PageServer() as server:
        bench = Bench(args, server, Path(work))
        try:
            if args.only in (None, "compare"):
                out += report_compare(bench.compare())
            if args.only in (None, "display"):
                progress("real X display")
                with RealDisplay() as display:
                    out += report_display(bench.compare(display.name))
            if args.only in (None, "hold"):
                progress("scroll hold: whole page")
                out += ["scroll hold, page sent whole (first sight of the page until the first frame at the held offset;"
                        " a refresh is first seen at the swap)"]
                out += ["  " + line for line in bench.hold(stream=False)]
                progress("scroll hold: page sent in two parts")
                out += ["scroll hold, page sent in two parts 150 ms apart"]
                out += ["  " + line for line in bench.hold(stream=True)]
            if args.only in (None, "changes"):
                progress("changes highlighted")
                out += ["changes since the last load (target: within 50 ms of the page being ready)"]
                out += ["  " + line for line in bench.changes()]
            if args.only in (None, "values"):
                progress("followed values")
                out += ["followed values (targets: read +5 ms median, stream +0.3 points of a core on a real display,"
                        " chart 100 ms, database 20 MB)"]
                with RealDisplay() as display:
                    out += ["  " + line for line in bench.values(display.name)]
        except RuntimeError as error:
            print(f"bench: {error}", file=sys.stderr)
            return 1
    print("\n".join(header + [""] + out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
