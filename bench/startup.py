#!/usr/bin/env python3
"""Start-up benchmark, beside a well-known Qt WebEngine browser from Debian (Falkon,
`apt-get install falkon`; a peer for measurement only).

Both programs open the same local page from a loopback server, alternately, in one
run: ours as its home page, from an installed temporary program folder; Falkon on a
fresh profile of its own each time, with the page's address as its argument. A start
is timed from the process start until its window is on screen and the page has loaded
(the page reports its load event to the server). Then the resident memory of the main
process (and of it with its engine processes), once the page has settled. Ours is
also started with its built-in start page as home page.

Usage: python3 bench/startup.py [runs] [--before FOLDER]   (5 runs by default; starts
a virtual display when there is none). --before times the program folder of an earlier
build the same way, alternately in the same run, to tell a change's cost."""
import http.server
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM_DIR = os.path.join(ROOT, "build", "QuorlOffice")
ARGS = [a for a in sys.argv[1:] if not a.startswith("--")]
BEFORE = sys.argv[sys.argv.index("--before") + 1] if "--before" in sys.argv else None
if BEFORE in ARGS:
    ARGS.remove(BEFORE)
RUNS = int(ARGS[0]) if ARGS else 5
SETTLE = 1.5  # seconds after the load before the memory is read

PAGE = b"""<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>A local page</title>
<style>body{font-family:sans-serif;margin:2em}</style></head>
<body><h1>A local page</h1><p>Served from the loopback, the same for both programs.</p>
<ul><li>one</li><li>two</li><li>three</li></ul>
<script>addEventListener('load', function () { new Image().src = '/loaded?' + Date.now(); });</script>
</body></html>"""


class Beacon:
    """The loopback server: serves the page, notes when a load reports in."""

    def __init__(self):
        self.loads = []
        beacon = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/loaded"):
                    beacon.loads.append(time.monotonic())
                body = PAGE if self.path.startswith("/page") else b""
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_port}/page.html"


def children_of():
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except OSError:
                pass
    return children


def rss_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def is_office_worker(pid):
    try:
        return os.path.basename(os.readlink(f"/proc/{pid}/exe")) == "quorl-office"
    except OSError:
        return False


def memory(pid):
    """Resident memory of the main process, and of it with the engine's processes below
    it (not the office worker that ours starts ahead once idle: bench/export_bench
    reports that one)."""
    children = children_of()
    todo, total = [pid], 0
    while todo:
        p = todo.pop()
        if is_office_worker(p):
            continue
        todo.extend(children.get(p, []))
        total += rss_kib(p)
    return rss_kib(pid), total


def window_shown(pid):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True)
    return out.returncode == 0 and out.stdout.strip() != ""


def engine_environment():
    env = dict(os.environ)
    if os.getuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    env.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking")
    return env


def timed_start(command, cwd, env, beacon=None, log_line=None):
    """Seconds from the process start until its window is shown and the page loaded;
    the memory once it has settled."""
    if beacon:
        beacon.loads.clear()
    start = time.monotonic()
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE if log_line else subprocess.DEVNULL, text=True)
    loaded = None
    if log_line:
        for line in proc.stderr:
            if log_line in line:
                loaded = time.monotonic()
                break
        # The rest of what it says is read, so that it never waits on a full pipe.
        threading.Thread(target=proc.stderr.read, daemon=True).start()
    else:
        while not beacon.loads and time.monotonic() - start < 60 and proc.poll() is None:
            time.sleep(0.002)
        loaded = beacon.loads[0] if beacon.loads else None
    elapsed = None
    if loaded is not None:
        # The window is looked for from the load on: shown by then, or when it shows.
        first = True
        while time.monotonic() - start < 60 and proc.poll() is None:
            if window_shown(proc.pid):
                elapsed = (loaded if first else time.monotonic()) - start
                break
            first = False
            time.sleep(0.01)
    time.sleep(SETTLE)
    main, tree = memory(proc.pid)
    proc.terminate()
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    return elapsed, main, tree


def set_home_page(folder, address):
    path = os.path.join(folder, "Data", "QuorlOffice.Opt")
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").split("\r\n")
    lines[4] = address
    with open(path, "wb") as f:
        f.write("\r\n".join(lines).encode("cp1252"))


def report(name, results):
    times = [r[0] for r in results if r[0] is not None]
    if len(times) != len(results):
        print(f"  {name}: {len(results) - len(times)} of {len(results)} starts never showed the page")
    return (statistics.median(times) if times else float("nan"),
            statistics.median(r[1] for r in results) / 1024,
            statistics.median(r[2] for r in results) / 1024, times)


def main():
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24",
                               os.path.join(ROOT, "scripts", "desktop-session.sh"), sys.executable] + sys.argv)
    if not shutil.which("falkon"):
        print("Falkon is not installed (apt-get install falkon); it is the peer of this benchmark.", file=sys.stderr)
        sys.exit(2)
    env = engine_environment()
    beacon = Beacon()
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "QuorlOffice")
        shutil.copytree(PROGRAM_DIR, folder)
        program = [os.path.join(folder, "QuorlOffice")]
        # The first start installs the data files; not measured.
        timed_start(program, folder, env, log_line="home page loaded")
        earlier = []
        if BEFORE:
            before = os.path.join(tmp, "before", "QuorlOffice")
            shutil.copytree(BEFORE, before)
            timed_start([os.path.join(before, "QuorlOffice")], before, env, log_line="home page loaded")

        def falkon():
            home = tempfile.mkdtemp(dir=tmp)  # a fresh profile every time
            fenv = dict(env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"))
            return timed_start(["falkon", "--no-extensions", beacon.url], home, fenv, beacon)

        falkon()  # its files into the disk cache, as ours were by the installing start
        ours_page, peer_page, ours_start = [], [], []
        for _ in range(RUNS):
            set_home_page(folder, beacon.url)
            ours_page.append(timed_start(program, folder, env, beacon))
            peer_page.append(falkon())
            set_home_page(folder, "")
            ours_start.append(timed_start(program, folder, env, log_line="home page loaded"))
            if BEFORE:
                set_home_page(before, beacon.url)
                earlier.append(timed_start([os.path.join(before, "QuorlOffice")], before, env, beacon))

    ot, om, ox, otimes = report("ours", ours_page)
    pt, pm, px, ptimes = report("Falkon", peer_page)
    st, sm, sx, stimes = report("ours, start page", ours_start)
    print(f"Start-up to the window shown and the local page loaded, median of {RUNS}, alternating:")
    print(f"  ours   {ot:.3f} s  ({', '.join(f'{t:.3f}' for t in otimes)})")
    print(f"  Falkon {pt:.3f} s  ({', '.join(f'{t:.3f}' for t in ptimes)})")
    print(f"  ratio  {ot / pt:.2f} x  (goal: no later than Falkon: {'met' if ot <= pt else 'MISSED'})")
    print("Resident memory once the page has settled, median:")
    print(f"  main process: ours {om:.1f} MiB, Falkon {pm:.1f} MiB, ratio {om / pm:.2f} x "
          f"(goal: no more than Falkon: {'met' if om <= pm else 'MISSED'})")
    print(f"  with the engine's processes: ours {ox:.1f} MiB, Falkon {px:.1f} MiB")
    if BEFORE:
        bt, bm, bx, btimes = report("before", earlier)
        print(f"The earlier build ({BEFORE}), the same local page: {bt:.3f} s "
              f"({', '.join(f'{t:.3f}' for t in btimes)}), main process {bm:.1f} MiB; "
              f"now {ot:.3f} s and {om:.1f} MiB ({ot / bt:.2f} x the time)")
    print(f"Ours with its built-in start page as home page: {st:.3f} s  ({', '.join(f'{t:.3f}' for t in stimes)}); "
          f"main process {sm:.1f} MiB (goal: no more than Falkon's {pm:.1f} MiB: {'met' if sm <= pm else 'MISSED'}), "
          f"with the engine's processes {sx:.1f} MiB")


if __name__ == "__main__":
    main()
