#!/usr/bin/env python3
"""Start-up, idle and pacing figures of the game against an empty Qt window.

In a private X server (Xvfb) the game (bin/zelvon, music and sound off) and
bench/MinimalWindow (an empty window of the same size) are started
alternately, pair by pair, and watched from outside:

- launch to first paint: wall time from the start of the process to its
  "first paint" log line;
- processor time up to the first paint: /proc/PID/task/*/schedstat;
- peak resident memory after start-up and one move: /usr/bin/time -v;
- processor use while idle, of the program and of the X server;
- processor / wall during the set-up of a 10 x 10 board, and the set-up's
  wall time against 1 ms per cell on 10 x 10 and 4 x 4 boards (game only);
- HexDistance over all pairs of a 10 x 10 grid against the closed formula
  (bench/HexmapBench).

Prints the medians and their ratios. Usage:
    startup.py [BUILD_DIR] [PAIRS] [IDLE_SECONDS]
"""
import json
import os
import queue
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TITLE = "Zelvon pro Windows 95"

# Window coordinates of cell centres of the 10 x 10 board: the scroll box at
# (8, 8) with its frame, the board at (4, 8) inside it, cell (1, 1) centred
# at (20, 17) and the cells 30 pixels apart across and 34 down.
def CellPixel(column, row):
    x = 20 + (column - 1) * 30
    y = 17 * (2 * row - 1) if column % 2 else 34 * row
    return 8 + 2 + 4 + x, 8 + 2 + 8 + y


def TaskCpuNs(pid):
    """Processor time of all live threads of a process, in nanoseconds."""
    total = 0
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return 0
    for task in tasks:
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


class XServer:
    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            if not select.select([read], [], [], max(0, deadline - time.monotonic()))[0]:
                raise RuntimeError("Xvfb did not report its display")
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb ended at start")
            number += chunk
        os.close(read)
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()

    def CpuNs(self):
        return TaskCpuNs(self.process.pid)


class Run:
    """One program under /usr/bin/time -v, its log lines stamped on arrival
    with the wall clock and the processor times of program and X server."""

    def __init__(self, command, env, xserver):
        self.xserver = xserver
        self.timefile = tempfile.NamedTemporaryFile(prefix="zelvon-time-", delete=False)
        self.timefile.close()
        self.start = time.monotonic()
        self.wrapper = subprocess.Popen(["/usr/bin/time", "-v", "-o", self.timefile.name] + command, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.pid = None
        self.lines = queue.Queue()
        self.reader = threading.Thread(target=self._Read, daemon=True)
        self.reader.start()

    def _Child(self):
        path = f"/proc/{self.wrapper.pid}/task/{self.wrapper.pid}/children"
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                with open(path) as f:
                    children = f.read().split()
                if children:
                    return int(children[0])
            except OSError:
                pass
            time.sleep(0.0005)
        raise RuntimeError("the program did not start")

    def _Read(self):
        for line in self.wrapper.stderr:
            now = time.monotonic()
            pid = self.pid
            cpu = TaskCpuNs(pid) if pid else 0
            self.lines.put((line.strip(), now - self.start, cpu, self.xserver.CpuNs()))
        self.lines.put((None, 0, 0, 0))

    def Begin(self):
        self.pid = self._Child()
        return self

    def WaitFor(self, text, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            line, at, cpu, xcpu = self.lines.get(timeout=max(0.01, deadline - time.monotonic()))
            if line is None:
                raise RuntimeError(f"the program ended before '{text}'")
            if text in line:
                return at, cpu, xcpu

    def Finish(self):
        os.kill(self.pid, signal.SIGTERM)
        self.wrapper.wait(timeout=20)
        peak = None
        with open(self.timefile.name) as f:
            for line in f:
                if "Maximum resident set size" in line:
                    peak = int(line.split(":")[1]) / 1024.0
        os.unlink(self.timefile.name)
        return peak


def WriteSettings(folder, width, height):
    os.makedirs(os.path.join(folder, "Brantek"), exist_ok=True)
    with open(os.path.join(folder, "Brantek", "Zelvon.conf"), "w") as f:
        f.write(f"[General]\nSound=0\nMusic=0\nMMX=1\n3Dhex=1\nSirka={width}\nVyska={height}\nVer=1.0\n")


def Xdotool(env, *args):
    subprocess.run(["xdotool"] + list(args), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=20)


def Click(env, window, cell):
    x, y = CellPixel(*cell)
    Xdotool(env, "mousemove", "--window", window, str(x), str(y), "click", "1")
    time.sleep(0.05)


def MakeMove(env, pid):
    """A copy by Red, or by Blue when Blue begins: the clicks of the side
    not to move do nothing."""
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid), "--name", TITLE],
                           env=env, capture_output=True, text=True, timeout=20).stdout.split()
    if not found:
        raise RuntimeError("window not found")
    window = found[0]
    for cell in ((1, 1), (1, 2), (10, 10), (10, 9)):
        Click(env, window, cell)


def MeasurePair(programs, env, xserver, idle_seconds, figures):
    for name, command in programs.items():
        run = Run(command, env, xserver).Begin()
        at, cpu, _ = run.WaitFor("first paint")
        figures[name]["first paint ms"].append(at * 1000)
        figures[name]["cpu to first paint ms"].append(cpu / 1e6)
        if name == "zelvon":
            begin = run.WaitFor("set-up begins")
            done = run.WaitFor("set-up done")
            figures[name]["set-up wall / 100 ms"].append((done[0] - begin[0]) / 0.100)
            figures[name]["set-up cpu / wall"].append((done[1] - begin[1]) / 1e9 / (done[0] - begin[0]))
            figures[name]["set-up X server cpu / wall"].append((done[2] - begin[2]) / 1e9 / (done[0] - begin[0]))
        time.sleep(1.0)
        cpu0, xcpu0, t0 = TaskCpuNs(run.pid), xserver.CpuNs(), time.monotonic()
        time.sleep(idle_seconds)
        cpu1, xcpu1, t1 = TaskCpuNs(run.pid), xserver.CpuNs(), time.monotonic()
        figures[name]["idle cpu %"].append(100 * (cpu1 - cpu0) / 1e9 / (t1 - t0))
        figures[name]["idle X server cpu %"].append(100 * (xcpu1 - xcpu0) / 1e9 / (t1 - t0))
        MakeMove(env, run.pid)
        time.sleep(0.3)
        figures[name]["peak RSS MiB"].append(run.Finish())


def MeasureSmallBoard(command, env, xserver, runs):
    ratios, shares = [], []
    for _ in range(runs):
        run = Run(command, env, xserver).Begin()
        begin = run.WaitFor("set-up begins")
        done = run.WaitFor("set-up done")
        ratios.append((done[0] - begin[0]) / 0.016)
        shares.append((done[1] - begin[1]) / 1e9 / (done[0] - begin[0]))
        run.Finish()
    return statistics.median(ratios), statistics.median(shares)


def HexDistanceRatio(build):
    binary = os.path.join(build, "bench", "HexmapBench")
    out = subprocess.run([binary, "--benchmark_filter=AllPairs", "--benchmark_format=json",
                          "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"],
                         capture_output=True, text=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                         timeout=300).stdout
    medians = {b["run_name"]: b["cpu_time"] for b in json.loads(out)["benchmarks"] if b.get("aggregate_name") == "median"}
    return medians["BM_HexDistanceAllPairs"] / medians["BM_ClosedFormDistanceAllPairs"]


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    idle_seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 3.0
    programs = {"zelvon": [os.path.join(build, "bin", "zelvon")],
                "minimal": [os.path.join(build, "bench", "MinimalWindow")]}
    names = ["first paint ms", "cpu to first paint ms", "peak RSS MiB", "idle cpu %", "idle X server cpu %",
             "set-up cpu / wall", "set-up X server cpu / wall", "set-up wall / 100 ms"]
    figures = {name: {figure: [] for figure in names} for name in programs}
    with XServer() as xserver, tempfile.TemporaryDirectory() as config, tempfile.TemporaryDirectory() as small:
        WriteSettings(config, 10, 10)
        WriteSettings(small, 4, 4)
        base = dict(os.environ, DISPLAY=xserver.display, QT_QPA_PLATFORM="xcb",
                    QT_LOGGING_RULES="zelvon.startup.info=true", QT_MESSAGE_PATTERN="%{message}")
        base.pop("WAYLAND_DISPLAY", None)
        env = dict(base, XDG_CONFIG_HOME=config)
        for _ in range(pairs):
            MeasurePair(programs, env, xserver, idle_seconds, figures)
        small_ratio, small_share = MeasureSmallBoard(programs["zelvon"], dict(base, XDG_CONFIG_HOME=small), xserver,
                                                     pairs)
    distance = HexDistanceRatio(build)

    def Median(name, figure):
        values = figures[name][figure]
        return statistics.median(values) if values else float("nan")

    print(f"median of {pairs} pairs, idle measured over {idle_seconds:.0f} s")
    print(f"{'figure':34} {'zelvon':>10} {'minimal':>10} {'ratio':>7}")
    for figure in ("first paint ms", "cpu to first paint ms", "peak RSS MiB"):
        game, floor = Median("zelvon", figure), Median("minimal", figure)
        print(f"{figure:34} {game:10.1f} {floor:10.1f} {game / floor:7.2f}")
    for figure in ("idle cpu %", "idle X server cpu %"):
        print(f"{figure:34} {Median('zelvon', figure):10.2f} {Median('minimal', figure):10.2f}")
    print(f"{'set-up cpu / wall, 10 x 10':34} {Median('zelvon', 'set-up cpu / wall'):10.3f}"
          f"   (X server {Median('zelvon', 'set-up X server cpu / wall'):.3f})")
    print(f"{'set-up cpu / wall, 4 x 4':34} {small_share:10.3f}")
    print(f"{'set-up wall / (cells x 1 ms)':34} {Median('zelvon', 'set-up wall / 100 ms'):10.2f} (10 x 10)"
          f" {small_ratio:6.2f} (4 x 4)")
    print(f"{'HexDistance / closed formula':34} {distance:10.2f}")


if __name__ == "__main__":
    main()
