#!/usr/bin/env python3
"""How fast the tool notices an unplug and how fast it is back once the device returns.

The real TivanePeloTool runs off-screen in a scratch program folder with "Reconnect
automatically" on, connected through a symbolic link (as /dev/serial/by-id gives)
to the stand-alone simulated module. Each cycle kills the module (the pseudo-terminal
hangs up, like an unplug), leaves the device away for a while, starts a new module on
a new pseudo-terminal and points the link at it. The tool's diagnostic log gives, to
the millisecond, when it saw the hang-up and when the run went on.

  python3 bench/e2e/reconnect.py [--build DIR] [--cycles N] [--away SECONDS]

Goals: a hang-up noticed within 250 ms; the run going on within 2 s of the return.
"""
import argparse
import datetime
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e import Workspace, start_module, stop  # noqa: E402

CLOCK = re.compile(rb"^(\d\d):(\d\d):(\d\d)\.(\d\d\d) ", re.M)


def log_times(path, text):
    """Seconds since midnight of every log line holding text."""
    times = []
    with open(path, "rb") as f:
        for line in f:
            if text in line:
                m = CLOCK.match(line)
                if m:
                    h, mi, s, ms = (int(g) for g in m.groups())
                    times.append(h * 3600 + mi * 60 + s + ms / 1000)
    return times


def since_midnight(t):
    d = datetime.datetime.fromtimestamp(t)
    return d.hour * 3600 + d.minute * 60 + d.second + d.microsecond / 1e6


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--cycles", type=int, default=10)
    parser.add_argument("--away", type=float, default=1.0, help="seconds the device stays away")
    args = parser.parse_args()

    ws = Workspace(args.build)
    with open(os.path.join(ws.dir, "appConfig.xml"), "w") as f:
        f.write('<?xml version="1.0"?>\n<AppConfig AutoReconnect="1" />\n')
    link = os.path.join(ws.dir, "module")
    module, pty = start_module(ws, ["--interval", "50"])
    os.symlink(pty, link)
    seconds = int(args.cycles * (args.away + 3) + 6)
    tool = subprocess.Popen([ws.tool, "--port", link, "--start", "--seconds", str(seconds)],
                            env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), cwd=ws.dir,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    unplugged, returned = [], []
    try:
        time.sleep(3)
        for _ in range(args.cycles):
            unplugged.append(since_midnight(time.time()))
            stop(module)
            os.unlink(link)
            time.sleep(args.away)
            module, pty = start_module(ws, ["--interval", "50"])
            fresh = link + ".new"
            os.symlink(pty, fresh)
            os.rename(fresh, link)
            returned.append(since_midnight(time.time()))
            time.sleep(3)
    finally:
        tool.wait()
        stop(module)
    log = ws.newest(".log")
    noticed = log_times(log, b"The link to the module was lost; waiting for")
    back = log_times(log, b"Link gap from ")
    if len(noticed) != args.cycles or len(back) != args.cycles:
        sys.exit(f"{args.cycles} unplugs, but {len(noticed)} noticed and {len(back)} reconnects in {log}")
    notice_ms = [1000 * (n - u) for n, u in zip(noticed, unplugged)]
    back_ms = [1000 * (b - r) for b, r in zip(back, returned)]
    print(f"{args.cycles} unplugs, {len(back)} reconnects")
    print(f"hang-up noticed after: median {statistics.median(notice_ms):.0f} ms, max {max(notice_ms):.0f} ms (goal 250)")
    print(f"run going on after the return: median {statistics.median(back_ms):.0f} ms, "
          f"max {max(back_ms):.0f} ms (goal 2000)")
    ok = max(notice_ms) <= 250 and max(back_ms) <= 2000
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
