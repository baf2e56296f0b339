#!/usr/bin/env python3
"""Start-up benchmark: process start to the home page's load finished, and the peak
resident memory with the start page shown, over several runs of the built program in a
temporary, already-installed program folder (built-in start page as home page)."""
import os, shutil, statistics, subprocess, sys, tempfile, time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM_DIR = os.path.join(ROOT, "build", "QuorlOffice")
RUNS = int(sys.argv[1]) if len(sys.argv) > 1 else 5


def tree_rss_kib(pid):
    """Peak resident memory of the main process (VmHWM) and the current resident
    memory of it and its engine helpers together."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except OSError:
                pass
    todo, total, peak_main = [pid], 0, 0
    while todo:
        p = todo.pop()
        todo.extend(children.get(p, []))
        try:
            with open(f"/proc/{p}/status") as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        total += int(line.split()[1])
                    if p == pid and line.startswith("VmHWM:"):
                        peak_main = int(line.split()[1])
        except OSError:
            pass
    return peak_main, total


def one_run(folder):
    env = dict(os.environ)
    if os.getuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
    env.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking")
    start = time.monotonic()
    proc = subprocess.Popen([os.path.join(folder, "QuorlOffice")], cwd=folder, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    elapsed = None
    for line in proc.stderr:
        if "home page loaded" in line:
            elapsed = time.monotonic() - start
            break
    time.sleep(1.0)  # the start page shown and settled
    peak, tree = tree_rss_kib(proc.pid)
    proc.terminate()
    proc.wait(timeout=20)
    return elapsed, peak, tree


def main():
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable] + sys.argv)
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "QuorlOffice")
        shutil.copytree(PROGRAM_DIR, folder)
        one_run(folder)  # the first start installs the data files; not measured
        results = [one_run(folder) for _ in range(RUNS)]
    times = [r[0] for r in results if r[0] is not None]
    if len(times) != RUNS:
        print("some runs never reported the home page", file=sys.stderr)
        sys.exit(1)
    print(f"start-up to home page loaded, {RUNS} runs: " + ", ".join(f"{t:.3f}" for t in times) + " s")
    print(f"median: {statistics.median(times):.3f} s")
    print(f"peak resident memory, main process (median): {statistics.median(r[1] for r in results) / 1024:.1f} MiB")
    print(f"resident memory with engine processes (median): {statistics.median(r[2] for r in results) / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
