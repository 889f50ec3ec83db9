#!/usr/bin/env python3
"""End-to-end figures of the tool through the real serial path.

The stand-alone simulated module (simradar) serves a pseudo-terminal; the real
TivanePeloTool runs with --port <pty> --start --seconds N in a scratch program folder
(a copy of the executable with Image/ beside it), and this script reads the tool's CPU
time and memory from /proc while it runs.

  python3 bench/e2e/e2e.py [--build DIR] [--platform offscreen|xvfb] [--seconds N]
                           [--long-seconds N] [--repeat N] [measurement...]

--platform offscreen (the default) runs the tool on Qt's off-screen platform, which
draws into memory and has no display server. --platform xvfb shows the window on a
real X server: the script starts Xvfb on a free display and the openbox window
manager on it, runs the tool there (Qt's xcb platform), and stops both at the end,
also when a run fails or the script is interrupted. Every figure printed names the
platform it was measured on (the first line, and each CPU, latency, memory and
start-up figure).

Without measurements: rate cpu idle idle-connected latency startup long. Exit status 1
when a zero-loss or latency check fails.

line256000, line921600
         frames at the line's limit (3,657/s and 13,166/s) from bench/e2e/linefeed.py,
         a report-only module: frames sent = raw file frames = "State=" lines, digests equal
rate     frames at the module's fastest interval (1 ms): frames sent = "State=" lines
         in the tool's log, and the tool's raw file is byte-identical to what was sent
cpu      CPU time of the tool at 20 reports/s (interval 50 ms), --repeat runs, median
cpu-panel
         the same with the statistics panel open (the state band is always there)
idle-panel
         the idle figures with the panel open: it must add no wake-ups
idle     CPU time of the tool with the window up and no port
idle-connected
         CPU time of the tool connected to the module (--connect), acquisition not started
latency  module write to the paint that shows the frame (digits and curve), p50/p99, at
         20 reports/s: the module's --stamp file against the tool's TIVANE_PAINT_TRACE
long     peak RSS and its growth over a long run at 1 ms (--long-seconds; 1010 s for
         over 1,000,000 frames)
startup  wall time of --seconds 0: exec, settings, window shown, event loop entered,
         closed at once, settings saved, exit (an upper bound of start-up to the window)

CPU figures are utime+stime of the tool process (clock ticks, /proc/<pid>/stat),
so load from other processes on the machine affects them far less than wall time;
"sleeps/s" counts the voluntary context switches of all the tool's threads, i.e. how
often it wakes up; the cpu measurement also gives them per report and per thread (by
the thread's name, threads of one name summed).

On a virtual machine a wake-up across virtual CPUs may cost the guest an exit to the
host, counted as the tool's system time: run the script under "taskset -c 1" to put
the tool and the module on one CPU and see the tool's own work.
"""
import argparse
import bisect
import contextlib
import hashlib
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TICK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")


def frames_in(data):
    """Reference decode: AA AA state dist-lo dist-hi 55 55, resynchronising byte by byte."""
    out = []
    i, n = 0, len(data)
    while i + 7 <= n:
        if data[i] == 0xAA and data[i + 1] == 0xAA and data[i + 5] == 0x55 and data[i + 6] == 0x55:
            out.append((data[i + 2], data[i + 3] | (data[i + 4] << 8)))
            i += 7
        else:
            i += 1
    return out


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def cpu_split(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]), int(fields[12])  # utime, stime


def context_switches(pid, seen, names=None):
    """Voluntary context switches of all the tool's threads, i.e. how often it went to
    sleep; seen (thread id -> last count) keeps the counts of threads that have ended,
    names (thread id -> name), when given, is filled with the threads' names."""
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith("Name:") and names is not None:
                        names[tid] = line[len("Name:"):].strip() or tid
                    elif line.startswith("voluntary_ctxt_switches:"):
                        seen[tid] = int(line.split()[1])
        except FileNotFoundError:
            pass
    return sum(seen.values())


def per_thread_rates(history, names, warmup=5.0):
    """Sleeps per second after warm-up of each thread name (threads of one name summed).
    history: thread id -> [(t, count)] at every sample, a thread that ended keeping its
    last count; a thread born after warm-up began counts from zero."""
    rates = {}
    after_all = sorted({t for samples in history.values() for t, _ in samples if t >= warmup})
    if len(after_all) < 2:
        return rates
    span = after_all[-1] - after_all[0]
    for tid, samples in history.items():
        after = [(t, n) for t, n in samples if t >= warmup]
        if not after:
            continue
        base = after[0][1] if after[0][0] == after_all[0] else 0
        name = names.get(tid, tid)
        rates[name] = rates.get(name, 0.0) + (after[-1][1] - base) / span
    return rates


def steady_rate(samples, warmup=5.0):
    after = [(t, n) for t, n in samples if t >= warmup]
    if len(after) < 2 or after[-1][0] <= after[0][0]:
        return float("nan")
    return (after[-1][1] - after[0][1]) / (after[-1][0] - after[0][0])


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


class Workspace:
    def __init__(self, build, display):
        self.display = display
        self.dir = tempfile.mkdtemp(prefix="e2e-")
        self.tool = os.path.join(self.dir, "TivanePeloTool")
        shutil.copy2(os.path.join(build, "TivanePeloTool"), self.tool)
        shutil.copytree(os.path.join(build, "Image"), os.path.join(self.dir, "Image"))
        self.simradar = os.path.join(build, "tools", "simradar", "simradar")
        self.logdir = os.path.join(self.dir, "Log")

    def newest(self, suffix):
        if not os.path.isdir(self.logdir):
            return None
        names = sorted(n for n in os.listdir(self.logdir) if n.endswith(suffix))
        return os.path.join(self.logdir, names[-1]) if names else None

    def clear_log(self):
        shutil.rmtree(self.logdir, ignore_errors=True)

    def panel(self, open_):
        """Opens the statistics panel at start-up (the setting the window remembers), or not."""
        path = os.path.join(self.dir, "appConfig.xml")
        if open_:
            with open(path, "w") as f:
                f.write('<?xml version="1.0"?>\n<AppConfig ShowStatistics="1" />\n')
        elif os.path.exists(path):
            os.remove(path)


def start_module(ws, options):
    proc = subprocess.Popen([ws.simradar] + options, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    pty = proc.stdout.readline().decode().strip()
    if not pty.startswith("/dev/"):
        proc.kill()
        sys.exit(f"simradar gave no device path: {pty!r}")
    return proc, pty


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class Display:
    """Where the tool shows its window: Qt's off-screen platform, or a virtual X server
    (Xvfb) with a window manager (openbox) that this object starts and stops."""

    def __init__(self, platform):
        self.platform = platform
        self.label = "off-screen (QT_QPA_PLATFORM=offscreen)" if platform == "offscreen" else ""
        self.display = None
        self.server = None
        self.manager = None

    def __enter__(self):
        if self.platform == "xvfb":
            try:
                self._start_x()
            except BaseException:
                self.close()
                raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start_x(self):
        for program in ("Xvfb", "openbox"):
            if shutil.which(program) is None:
                sys.exit(f"--platform xvfb needs {program}: apt-get install xvfb openbox")
        # -displayfd: the server takes the first free display itself and writes its number
        # once it accepts clients, so there is no guessing and no race with other servers.
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24",
                                        "-nolisten", "tcp", "-noreset"],
                                       pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       start_new_session=True)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            raise RuntimeError(f"Xvfb did not start (it said {number!r}, exit status {self.server.poll()})")
        self.display = ":" + number.strip().decode()
        self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=dict(os.environ, DISPLAY=self.display),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        # The manager is up once it has claimed the screen; give it that long, at most 5 s.
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline and self.manager.poll() is None and not self._manager_ready():
            time.sleep(0.05)
        if self.manager.poll() is not None:
            raise RuntimeError(f"openbox ended at once (exit status {self.manager.returncode})")
        self.label = f"Xvfb {self.display} with openbox (QT_QPA_PLATFORM=xcb)"

    def _manager_ready(self):
        if shutil.which("xprop") is None:
            time.sleep(0.5)
            return True
        probe = subprocess.run(["xprop", "-root", "-display", self.display, "_NET_SUPPORTING_WM_CHECK"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return b"window id" in probe.stdout

    def close(self):
        for proc in (self.manager, self.server):
            if proc is not None:
                stop(proc)
        self.manager = self.server = None

    def env(self, extra=None):
        """The tool's environment on this display."""
        env = dict(os.environ, **(extra or {}))
        if self.platform == "xvfb":
            env.update(QT_QPA_PLATFORM="xcb", DISPLAY=self.display)
            env.pop("WAYLAND_DISPLAY", None)
        else:
            env["QT_QPA_PLATFORM"] = "offscreen"
        return env


@contextlib.contextmanager
def ended_on_interrupt(proc):
    """Kills proc when the block is left by an exception (a failed run, Ctrl-C, SIGTERM):
    the tool must not outlive the script, nor the display it is shown on."""
    try:
        yield proc
    except BaseException:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        raise


def run_tool(ws, args, sample_every=1.0, extra_env=None):
    """Runs the tool to its end; returns wall seconds, cpu seconds, rss samples (kB), VmHWM."""
    env = ws.display.env(extra_env)
    started = time.monotonic()
    proc = subprocess.Popen([ws.tool] + args, env=env, cwd=ws.dir,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    rss, hwm, ticks, cpu, split, switches, threads, splits = [], 0, 0, [], (0, 0), [], {}, []
    names, history = {}, {}
    with ended_on_interrupt(proc):
        while proc.poll() is None:
            try:
                now = time.monotonic() - started
                ticks = cpu_ticks(proc.pid)
                split = cpu_split(proc.pid)
                splits.append((now, split))
                switches.append((now, context_switches(proc.pid, threads, names)))
                for tid, count in threads.items():
                    history.setdefault(tid, []).append((now, count))
                cpu.append((now, ticks))
                rss.append((now, status_kb(proc.pid, "VmRSS")))
                hwm = max(hwm, status_kb(proc.pid, "VmHWM"))
            except (FileNotFoundError, ProcessLookupError, IndexError):
                break
            time.sleep(sample_every)
        err = proc.communicate()[1].decode(errors="replace")
    wall = time.monotonic() - started
    return {"rc": proc.returncode, "wall": wall, "cpu": ticks / TICK, "rss": rss, "hwm": hwm, "stderr": err,
            "steady": steady_share(cpu), "user": split[0] / TICK, "system": split[1] / TICK,
            "wakeups": steady_rate(switches), "thread_wakeups": per_thread_rates(history, names),
            "steady_user": steady_share([(t, u) for t, (u, _) in splits]),
            "steady_system": steady_share([(t, k) for t, (_, k) in splits])}


def steady_share(samples, warmup=5.0):
    """Share of one core from the first sample after warm-up (start-up excluded) to the last."""
    after = [(t, k) for t, k in samples if t >= warmup]
    if len(after) < 2 or after[-1][0] <= after[0][0]:
        return float("nan")
    return (after[-1][1] - after[0][1]) / TICK / (after[-1][0] - after[0][0])


LEAVE_REPLY = bytes.fromhex("C53A0400FE80")  # reply to "leave command mode" (10 bytes with status, CRC)


def state_lines(path):
    with open(path, "rb") as f:
        return f.read().count(b"State=")


def rate(ws, seconds, interval=1):
    ws.clear_log()
    record = os.path.join(ws.dir, "sent.bin")
    if os.path.exists(record):
        os.unlink(record)
    frames = seconds * 1000 // interval
    module, pty = start_module(ws, ["--interval", str(interval), "--seed", "7", "--frames", str(frames),
                                    "--record", record])
    try:
        r = run_tool(ws, ["--port", pty, "--start", "--seconds", str(seconds + 5)])
    finally:
        stop(module)
    raw = open(ws.newest(".dat"), "rb").read()
    sent = open(record, "rb").read()
    sent_frames = frames_in(sent)
    decoded = state_lines(ws.newest(".log"))
    # What was sent during the run: the report stream sits whole inside the module's record
    # (command replies before and after it are no part of the run).
    at = sent.find(raw) if raw else -1
    run_bytes = sent[at:at + len(raw)] if at >= 0 else b""
    same = at >= 0 and hashlib.sha256(run_bytes).digest() == hashlib.sha256(raw).digest()
    # Frames sent after the run started (the module reports from its own start; what it
    # sent before the tool's connect is flushed by design): the bytes after the last
    # "leave command mode" reply before the run, up to the module's end.
    head = sent[:at] if at >= 0 else sent
    k = head.rfind(LEAVE_REPLY)
    run_start = k + 10 if k >= 0 else 0
    sent_in_run = frames_in(sent[run_start:])
    missing_before = len(frames_in(sent[run_start:at])) if at >= 0 else -1
    missing_after = len(frames_in(sent[at + len(raw):])) if at >= 0 else -1
    raw_frames = len(frames_in(raw))
    print(f"rate interval={interval}ms frames requested={frames} frames in module record={len(sent_frames)} "
          f"sent during the run={len(sent_in_run)} (lost before/after the raw file: {missing_before}/{missing_after}) "
          f"frames in raw file={raw_frames} State= lines={decoded} "
          f"raw file {len(raw)} B identical to the sent stream={same} "
          f"sha256={hashlib.sha256(raw).hexdigest()[:16]} tool cpu={r['cpu']:.2f}s wall={r['wall']:.1f}s rc={r['rc']}")
    return len(sent_in_run) == decoded == raw_frames and same and missing_after == 0


def check_index(path, dat_size):
    """The capture index beside a recording: a header first, blocks that cover the .dat
    exactly and in order, times that never go back, a start and a stop event."""
    try:
        lines = [json.loads(line) for line in open(path, encoding="utf-8")]
    except (OSError, ValueError) as error:
        return False, f"unreadable: {error}"
    if not lines or lines[0].get("type") != "header":
        return False, "no header"
    blocks = [r for r in lines[1:] if "o" in r]
    events = [r["event"] for r in lines[1:] if "event" in r]
    covered, last_t, in_order = 0, 0, True
    for r in blocks:
        in_order = in_order and r["o"] == covered and r["t"] >= last_t
        covered, last_t = r["o"] + r["n"], r["t"]
    ok = in_order and covered == dat_size and events[:1] == ["start"] and events[-1:] == ["stop"]
    return ok, (f"{len(lines)} lines, {len(blocks)} block records covering {covered} of {dat_size} B in order={in_order}, "
                f"events {events}, {os.path.getsize(path)} B")


def line_rate(ws, seconds, baud):
    """Frames at the line's limit from bench/e2e/linefeed.py (a report-only module)."""
    ws.clear_log()
    record = os.path.join(ws.dir, f"line-{baud}.bin")
    if os.path.exists(record):
        os.unlink(record)
    feeder = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "linefeed.py"),
                               "--baud", str(baud), "--seconds", str(seconds), "--record", record],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    pty = feeder.stdout.readline().decode().strip()
    env = ws.display.env()
    started = time.monotonic()
    tool = subprocess.Popen([ws.tool, "--port", pty, "--start", "--seconds", str(seconds + 30)], env=env, cwd=ws.dir,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The run has started once the raw file exists; the module then starts its stream.
    while ws.newest(".dat") is None and tool.poll() is None and time.monotonic() - started < 30:
        time.sleep(0.05)
    time.sleep(0.5)
    startup = time.monotonic() - started
    feeder.send_signal(signal.SIGUSR1)
    ticks0, t0, peak = cpu_ticks(tool.pid), time.monotonic(), 0
    ticks1, t1 = ticks0, t0
    while tool.poll() is None:
        try:
            if time.monotonic() - t0 <= seconds:  # CPU over the stream only
                ticks1, t1 = cpu_ticks(tool.pid), time.monotonic()
            peak = max(peak, status_kb(tool.pid, "VmHWM"))
        except (FileNotFoundError, ProcessLookupError, IndexError):
            break
        time.sleep(0.5)
    stop(feeder)
    feeder_err = feeder.stderr.read().decode().strip()
    raw = open(ws.newest(".dat"), "rb").read()
    sent = open(record, "rb").read()
    sent_frames, raw_frames = len(frames_in(sent)), len(frames_in(raw))
    decoded = state_lines(ws.newest(".log"))
    same = hashlib.sha256(sent).hexdigest() == hashlib.sha256(raw).hexdigest()
    index_ok, index_note = check_index(ws.newest(".dat") + ".idx", len(raw))
    print(f"capture index: {index_note}")
    print(f"line rate {baud} baud: module: {feeder_err}; frames sent={sent_frames} in raw file={raw_frames} "
          f"State= lines={decoded}; raw file {len(raw)} B sha256 equal to the sent stream={same} "
          f"({hashlib.sha256(raw).hexdigest()[:16]}); tool CPU {100 * (ticks1 - ticks0) / TICK / (t1 - t0):.1f}% "
          f"of one core while streaming; run started {startup:.1f} s after exec; VmHWM {peak / 1024:.1f} MB; rc={tool.returncode}")
    return sent_frames == raw_frames == decoded and same and index_ok


def report_cpu(ws, what, runs, reports_per_second=None):
    what = f"{what} [{ws.display.label}]"
    for r in runs:
        print(f"  {what}: {r['cpu']:.2f} s CPU (user {r['user']:.2f}, system {r['system']:.2f}) over "
              f"{r['wall']:.1f} s wall = {100 * r['cpu'] / r['wall']:.2f}% of one core; after start-up "
              f"{100 * r['steady']:.2f}% (user {100 * r['steady_user']:.2f}, system {100 * r['steady_system']:.2f}); "
              f"{r['wakeups']:.1f} sleeps/s after start-up; rc={r['rc']}")
    steady = sorted(r["steady"] for r in runs)
    wakeups = sorted(r["wakeups"] for r in runs)
    print(f"{what}: median after start-up {100 * steady[len(steady) // 2]:.2f}% of one core "
          f"(range {100 * steady[0]:.2f} to {100 * steady[-1]:.2f}% over {len(runs)} runs), "
          f"median {wakeups[len(wakeups) // 2]:.1f} sleeps/s")
    if reports_per_second:
        per_report = sorted(r["wakeups"] / reports_per_second for r in runs)
        print(f"  wake-ups per report ({reports_per_second} reports/s): median {per_report[len(per_report) // 2]:.2f} "
              f"(range {per_report[0]:.2f} to {per_report[-1]:.2f})")
        names = sorted({name for r in runs for name in r["thread_wakeups"]})
        rows = []
        for name in names:
            values = sorted(r["thread_wakeups"].get(name, 0.0) / reports_per_second for r in runs)
            rows.append((values[len(values) // 2], name, values))
        for median, name, values in sorted(rows, reverse=True):
            print(f"    thread {name}: {median:.2f} per report (runs: {', '.join(f'{v:.2f}' for v in values)})")


def cpu(ws, seconds, repeats, panel=False):
    """CPU time varies from run to run on a virtual machine (mostly its system part), so
    the run is repeated and the median reported with the range."""
    ws.panel(panel)
    runs = []
    for _ in range(repeats):
        ws.clear_log()
        module, pty = start_module(ws, ["--interval", "50", "--seed", "7"])
        try:
            r = run_tool(ws, ["--port", pty, "--start", "--seconds", str(seconds)])
        finally:
            stop(module)
        r["reports"] = state_lines(ws.newest(".log"))
        runs.append(r)
    ws.panel(False)
    report_cpu(ws, "cpu 20 reports/s" + (", statistics panel open" if panel else ""), runs, reports_per_second=20)
    print(f"  reports decoded per run: {[r['reports'] for r in runs]}")


def idle(ws, seconds, repeats, panel=False):
    ws.panel(panel)
    runs = []
    for _ in range(repeats):
        ws.clear_log()
        runs.append(run_tool(ws, ["--seconds", str(seconds)]))
    ws.panel(False)
    report_cpu(ws, "cpu idle (window up, no port)" + (", statistics panel open" if panel else ""), runs)


def idle_connected(ws, seconds, repeats):
    """Connected to the module (which goes on sending its reports) with acquisition not started."""
    runs = []
    for _ in range(repeats):
        ws.clear_log()
        module, pty = start_module(ws, ["--interval", "50", "--seed", "7"])
        try:
            runs.append(run_tool(ws, ["--port", pty, "--connect", "--seconds", str(seconds)]))
        finally:
            stop(module)
    report_cpu(ws, "cpu idle (connected, not running)", runs)


def frame_ends(data):
    """End offsets of the report frames in data, found as frames_in finds them."""
    ends = []
    i, n = 0, len(data)
    while i + 7 <= n:
        if data[i] == 0xAA and data[i + 1] == 0xAA and data[i + 5] == 0x55 and data[i + 6] == 0x55:
            ends.append(i + 7)
            i += 7
        else:
            i += 1
    return ends


def read_pairs(path):
    with open(path) as f:
        return [tuple(int(v) for v in line.split()) for line in f if len(line.split()) == 2]


def latency(ws, seconds, warmup=3.0):
    """Module write to the paint that shows the frame in digits and curve, at 20 reports/s.

    The module stamps every write (CLOCK_MONOTONIC, bytes written so far) and records the
    bytes; the tool's paint trace (TIVANE_PAINT_TRACE) stamps every paint with the number
    of frames it shows. The tool's raw file places its first frame in the module's
    stream; frame k is the k-th frame of the raw file and the k-th the tool decoded."""
    ws.clear_log()
    sent_path = os.path.join(ws.dir, "sent.bin")
    stamps_path = os.path.join(ws.dir, "stamps.txt")
    paints_path = os.path.join(ws.dir, "paints.txt")
    for path in (sent_path, stamps_path, paints_path):
        if os.path.exists(path):
            os.remove(path)
    module, pty = start_module(ws, ["--interval", "50", "--seed", "7", "--record", sent_path, "--stamp", stamps_path])
    try:
        r = run_tool(ws, ["--port", pty, "--start", "--seconds", str(seconds)],
                     extra_env={"TIVANE_PAINT_TRACE": paints_path})
    finally:
        stop(module)
    with open(sent_path, "rb") as f:
        sent = f.read()
    with open(ws.newest(".dat"), "rb") as f:
        raw = f.read()
    start = sent.find(raw[:70]) if len(raw) >= 70 else -1
    if start < 0 or sent[start:start + len(raw)] != raw:
        print(f"latency: the tool's recording is not a piece of what the module sent; rc={r['rc']}")
        return False
    stamps = read_pairs(stamps_path)
    stamp_bytes = [b for _, b in stamps]
    paints = read_pairs(paints_path)
    shown, most = [], 0
    for t, n in paints:
        most = max(most, n)
        shown.append(most)
    ends = frame_ends(raw)
    first_sent = None
    latencies = []
    for k, end in enumerate(ends, start=1):
        s = bisect.bisect_left(stamp_bytes, start + end)
        p = bisect.bisect_left(shown, k)
        if s >= len(stamps) or p >= len(paints):
            continue  # sent or shown after the end of the run
        sent_at = stamps[s][0]
        if first_sent is None:
            first_sent = sent_at
        if sent_at - first_sent < warmup * 1e9:
            continue
        latencies.append((paints[p][0] - sent_at) / 1e6)
    if not latencies:
        print("latency: no frame was both sent and shown")
        return False
    latencies.sort()

    def pct(q):
        return latencies[min(len(latencies) - 1, int(q * len(latencies)))]
    print(f"latency module write to paint, 20 reports/s [{ws.display.label}]: p50 {pct(0.50):.2f} ms, p99 {pct(0.99):.2f} ms, "
          f"max {latencies[-1]:.2f} ms over {len(latencies)} frames ({len(ends)} recorded, first {warmup:.0f} s "
          f"left out); {len(paints)} paints; rc={r['rc']}")
    return True


def long_run(ws, seconds):
    ws.clear_log()
    module, pty = start_module(ws, ["--interval", "1", "--seed", "7"])
    try:
        r = run_tool(ws, ["--port", pty, "--start", "--seconds", str(seconds)], sample_every=2.0)
    finally:
        stop(module)
    decoded = state_lines(ws.newest(".log"))
    samples = [kb for t, kb in r["rss"] if t >= 10]  # after the first 10 s of warm-up
    if not samples:
        samples = [kb for t, kb in r["rss"]]
    print(f"long run [{ws.display.label}]: {decoded} frames in {r['wall']:.0f} s; VmHWM {r['hwm'] / 1024:.1f} MB; "
          f"RSS at 10 s {samples[0] / 1024:.1f} MB, at end {samples[-1] / 1024:.1f} MB, "
          f"growth {(samples[-1] - samples[0]) / 1024:.2f} MB (max {(max(samples) - samples[0]) / 1024:.2f} MB); "
          f"cpu {r['cpu']:.1f} s; rc={r['rc']}")


def startup(ws, repeats=5):
    times, cpus = [], []
    for _ in range(repeats):
        ws.clear_log()
        r = run_tool(ws, ["--seconds", "0"], sample_every=0.01)
        times.append(r["wall"])
        cpus.append(r["cpu"])
    times.sort()
    print(f"start-up to window and shutdown (--seconds 0) [{ws.display.label}]: median {times[len(times) // 2] * 1000:.0f} ms, "
          f"min {times[0] * 1000:.0f} ms over {repeats} runs; cpu per run {sum(cpus) / len(cpus):.2f} s")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(here, "..", "..", "build-perf"))
    ap.add_argument("--platform", choices=("offscreen", "xvfb"), default="offscreen",
                    help="where the window is shown: Qt's off-screen platform, or Xvfb with openbox")
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--long-seconds", type=int, default=300)
    ap.add_argument("--repeat", type=int, default=3, help="runs of each CPU measurement (median reported)")
    ap.add_argument("what", nargs="*", default=["rate", "cpu", "idle", "idle-connected", "latency", "startup", "long"])
    a = ap.parse_args()
    # A plain "kill" of the script must still stop the X server and the module it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    ok = True
    with Display(a.platform) as display:
        ok = measure(a, Workspace(os.path.abspath(a.build), display))
    return 0 if ok else 1


def measure(a, ws):
    print(f"platform: {ws.display.label}")
    ok = True
    try:
        for what in a.what:
            if what == "rate":
                ok = rate(ws, a.seconds) and ok
            elif what in ("line256000", "line921600"):
                ok = line_rate(ws, a.seconds, int(what[4:])) and ok
            elif what == "cpu":
                cpu(ws, a.seconds, a.repeat)
            elif what == "cpu-panel":
                cpu(ws, a.seconds, a.repeat, panel=True)
            elif what == "idle":
                idle(ws, a.seconds, a.repeat)
            elif what == "idle-panel":
                idle(ws, a.seconds, a.repeat, panel=True)
            elif what == "idle-connected":
                idle_connected(ws, a.seconds, a.repeat)
            elif what == "latency":
                ok = latency(ws, a.seconds) and ok
            elif what == "long":
                long_run(ws, a.long_seconds)
            elif what == "startup":
                startup(ws)
            else:
                sys.exit(f"unknown measurement {what}")
            sys.stdout.flush()
    finally:
        shutil.rmtree(ws.dir, ignore_errors=True)
    return ok


if __name__ == "__main__":
    sys.exit(main())
