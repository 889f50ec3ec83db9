#!/usr/bin/env python3
"""A module that only reports, at a serial line's limit, on a new pseudo-terminal.

Prints the terminal's path as its first line, drains what the host sends (nothing here
answers its commands: the tool's version request and command-mode bracket time out)
until SIGUSR1 says the host's run has started, then writes report frames (AA AA state dist-lo dist-hi
55 55) at the rate a line of --baud carries in 8N1 (10 bits a byte), for --seconds,
appending every byte it writes to --record. It drains what the host sends meanwhile.

  python3 bench/e2e/linefeed.py --baud 256000 --seconds 60 --record sent.bin
"""
import argparse
import os
import random
import select
import signal
import sys
import termios
import time
import tty


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--baud", type=int, default=256000)
    ap.add_argument("--seconds", type=float, default=60)
    ap.add_argument("--record", required=True)
    a = ap.parse_args()

    master, slave = os.openpty()
    tty.setraw(slave)
    path = os.ttyname(slave)
    print(path, flush=True)
    os.set_blocking(master, False)

    def drain(timeout):
        got = 0
        r, _, _ = select.select([master], [], [], timeout)
        if r:
            try:
                got = len(os.read(master, 65536))
            except (BlockingIOError, OSError):
                pass
        return got

    go = []
    signal.signal(signal.SIGUSR1, lambda *_: go.append(1))
    while not go:
        drain(0.05)

    frames_per_s = a.baud / 10 / 7
    rng = random.Random(7)
    rec = open(a.record, "wb")
    started = time.monotonic()
    sent = 0
    pending = b""
    while True:
        now = time.monotonic() - started
        if now >= a.seconds and not pending:
            break
        due = min(int(now * frames_per_s), int(a.seconds * frames_per_s)) - sent
        chunk = bytearray(pending)
        for _ in range(max(due, 0)):
            state = rng.choice((0, 1, 2))
            distance = rng.randrange(0, 1000)
            chunk += bytes((0xAA, 0xAA, state, distance & 0xFF, distance >> 8, 0x55, 0x55))
        sent += max(due, 0)
        if chunk:
            try:
                n = os.write(master, chunk)
            except BlockingIOError:
                n = 0
            rec.write(chunk[:n])
            pending = bytes(chunk[n:])
        drain(0.005)
    rec.close()
    print(f"sent {sent} frames in {time.monotonic() - started:.1f} s ({sent / a.seconds:.0f}/s)", file=sys.stderr, flush=True)
    # Keep the terminal open until told to stop, so the host sees no hang-up.
    try:
        while True:
            drain(1.0)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
