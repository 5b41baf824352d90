#!/usr/bin/env python3
"""Measures the viewer from outside the program, on an Xvfb display, with the bundled
sample package: the time from start to the sample's first frame on screen, the
processor time the program takes while anime 1 plays, and the frames it presents.

    bench/window_bench.py [PROGRAM]    (default: build/release/app/pomelune)

Needs Xvfb, xdotool and xwd (tools/install-deps.sh tests), and strace for the frame
count. Prints figures and the targets beside them; it never fails a build.

How it measures:
- first frame: the program is started and screenshots (xwd) are taken back to back
  until the top row of the view shows the top row of the sample's background; the
  first of six runs only warms the caches and is not counted.
- processor time: user + system time of the process from /proc over 10 s of anime 1.
- frames presented: the program hands every presented frame to the X server in one
  writev call holding the image request, after a 4-byte sync request of its own
  (Qt's shared-memory backing store); strace counts the writev calls of more than
  4 bytes over 3 s. Without strace only the write calls of all kinds (/proc/PID/io)
  are given, an upper bound.
"""
import os
import pathlib
import re
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = ROOT / "samples" / "sample.chP"
CLIENT_HEIGHT, VIEW_LEFT, VIEW_WIDTH = 402, 104, 121
PLAY_SECONDS = 10
RUNS = 6


def background_top_row():
    """The top row of the sample's background (pattern 1 at the CG's top-left corner)."""
    data = (ROOT / "samples" / "sample.bmp").read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    start = offset + (height - 1) * ((width * 3 + 3) & ~3)  # rows are stored bottom-up
    return [data[start + 3 * x + 2] << 16 | data[start + 3 * x + 1] << 8 | data[start + 3 * x] for x in range(VIEW_WIDTH)]


def screen_row(dump, x, y, count):
    """count pixels of row y from x of an xwd dump of a true-colour screen, blue in the
    low byte. With windows of several visuals on the screen, xwd packs pixels in 3 bytes."""
    fields = struct.unpack_from(">25I", dump)
    header, width, height, bytes_per_line, colours = fields[0], fields[4], fields[5], fields[12], fields[19]
    size = fields[11] // 8
    if fields[11] not in (24, 32) or width < x + count or height <= y:
        raise SystemExit("the screen is not a true-colour screen of the expected size")
    start = header + 12 * colours + y * bytes_per_line + size * x
    return [int.from_bytes(dump[start + size * i:start + size * i + 3], "little") for i in range(count)]


def run(*args, timeout=10):
    return subprocess.run(args, capture_output=True, timeout=timeout).stdout


def client_origin():
    """The screen position of the main window's client area, or None before it shows."""
    for window in run("xdotool", "search", "--onlyvisible", "--name", "^Pomelune!$").split():
        geometry = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell", window).decode().split())
        if int(geometry["HEIGHT"]) >= CLIENT_HEIGHT:
            return int(geometry["X"]), int(geometry["Y"]) + int(geometry["HEIGHT"]) - CLIENT_HEIGHT
    return None


def start_server():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x720x24", "-nolisten", "tcp", "-noreset"],
                              pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    # The server writes the number and a line break apart, and ends when the second
    # write finds the pipe closed: read the whole line.
    display = b""
    while not display.endswith(b"\n") and select.select([read_end], [], [], 15)[0]:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        display += chunk
    os.close(read_end)
    display = display.decode().strip()
    if not display:
        server.kill()
        raise SystemExit("Xvfb did not start")
    os.environ.update(DISPLAY=":" + display, QT_QPA_PLATFORM="xcb")
    os.environ.pop("WAYLAND_DISPLAY", None)
    # The server names its display before it takes connections.
    deadline = time.monotonic() + 15
    while subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True).returncode != 0:
        if time.monotonic() > deadline:
            server.kill()
            raise SystemExit("Xvfb takes no connections")
        time.sleep(0.05)
    return server


def start_program(program, sky):
    """Starts the program; returns it with the seconds to its window and to the first frame.
    The window is looked up again before every screenshot, as its size may still change."""
    started = time.monotonic()
    process = subprocess.Popen([program, str(SAMPLE)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window_seconds = None
    while time.monotonic() - started < 30 and process.poll() is None:
        origin = client_origin()
        if origin is None:
            continue
        window_seconds = window_seconds or time.monotonic() - started
        if screen_row(run("xwd", "-root", "-silent"), origin[0] + VIEW_LEFT, origin[1], VIEW_WIDTH) == sky:
            return process, window_seconds, time.monotonic() - started
    process.kill()
    raise SystemExit("the sample's first frame never showed")


def process_counters(pid):
    """User + system clock ticks and write calls of a process so far."""
    stat = pathlib.Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    io = dict(line.split(": ") for line in pathlib.Path("/proc/%d/io" % pid).read_text().splitlines())
    return int(stat[11]) + int(stat[12]), int(io["syscw"])


def presents_per_second(pid, seconds=3):
    """writev calls of more than one 4-byte request per second, or None without strace."""
    if not shutil.which("strace"):
        return None
    with tempfile.NamedTemporaryFile("r") as trace:
        subprocess.run(["timeout", "-s", "INT", str(seconds), "strace", "-qq", "-p", str(pid), "-e", "trace=writev",
                        "-o", trace.name], capture_output=True)
        calls = [line for line in trace if line.startswith("writev(")]
    return sum(1 for line in calls if re.findall(r"iov_len=(\d+)", line) != ["4"]) / seconds


def stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else str(ROOT / "build" / "release" / "app" / "pomelune")
    sky = background_top_row()
    server = start_server()
    try:
        starts = []
        for i in range(RUNS):
            process, window_seconds, frame_seconds = start_program(program, sky)
            if i > 0:
                starts.append((window_seconds, frame_seconds))
            if i < RUNS - 1:
                stop(process)
        time.sleep(1)
        ticks, writes = process_counters(process.pid)
        server_ticks = process_counters(server.pid)[0]
        begin = time.monotonic()
        time.sleep(PLAY_SECONDS)
        elapsed = time.monotonic() - begin
        ticks2, writes2 = process_counters(process.pid)
        server_ticks2 = process_counters(server.pid)[0]
        presents = presents_per_second(process.pid)
        stop(process)
    finally:
        server.terminate()
        server.wait()

    hertz = os.sysconf("SC_CLK_TCK")
    window = statistics.median(s[0] for s in starts) * 1000
    first = statistics.median(s[1] for s in starts) * 1000
    print("start to window shown (median of %d warm runs):  %6.0f ms" % (len(starts), window))
    print("start to first frame on screen (median):        %6.0f ms   target < 300 ms   (runs: %s)"
          % (first, ", ".join("%.0f" % (s[1] * 1000) for s in starts)))
    print("processor time while anime 1 plays %2d s:         %6.1f %%   target <= 3 %% of one core"
          % (PLAY_SECONDS, 100.0 * (ticks2 - ticks) / hertz / elapsed))
    print("  (the X server meanwhile:                       %6.1f %%)" % (100.0 * (server_ticks2 - server_ticks) / hertz / elapsed))
    if presents is None:
        print("write calls of the process per second:          %6.1f     (no strace: an upper bound of the frames presented)"
              % ((writes2 - writes) / elapsed))
    else:
        print("frames presented per second:                    %6.1f     (image requests sent to the X server)" % presents)


if __name__ == "__main__":
    main()
