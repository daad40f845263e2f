#!/usr/bin/env python3
"""Start-up time of the game against an empty Qt window of the same size.

Both programs are started alternately, each run timed from process start to
the "first paint" line they log; the script reports the medians and their
ratio (the goal is at most 1.3). Usage: startup.py BUILD_DIR [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def time_to_first_paint(command, env):
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    try:
        for line in process.stderr:
            if "first paint" in line:
                return time.monotonic() - start
        raise RuntimeError(f"{command[0]} ended without painting")
    finally:
        process.kill()
        process.wait()


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    with tempfile.TemporaryDirectory() as config:
        env = dict(os.environ, XDG_CONFIG_HOME=config, QT_LOGGING_RULES="zelvon.startup.info=true")
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
        programs = {"zelvon": [os.path.join(build, "bin", "zelvon")],
                    "minimal": [os.path.join(build, "bench", "MinimalWindow")]}
        times = {name: [] for name in programs}
        for _ in range(runs):
            for name, command in programs.items():
                times[name].append(time_to_first_paint(command, env))
    game, minimal = (statistics.median(times[name]) for name in ("zelvon", "minimal"))
    print(f"start-up to first paint, median of {runs}: zelvon {game * 1000:.1f} ms, "
          f"minimal window {minimal * 1000:.1f} ms, ratio {game / minimal:.2f}")


if __name__ == "__main__":
    main()
