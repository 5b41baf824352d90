#!/usr/bin/env python3
"""Measures the viewer from outside the program, on an Xvfb display: with the bundled
sample package, the time from start to the sample's first frame on screen, the
processor time the program takes while anime 1 plays and the frames it presents; with
small packages of its own, how long a frame lasts on screen for several frame times
and the processor time each takes; and the processor time of a bare Qt window
presenting a view of the same size at 60 Hz beside them.

    bench/window_bench.py [PROGRAM [BARE_WINDOW]]
        (default: build/release/app/pomelune, and bare_window beside the program)

Needs Xvfb, xdotool and xwd (tools/install-deps.sh tests), libX11 for the pixel
poller, and strace for the frame count. Prints figures and the targets beside them;
it never fails a build.

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
- frame duration: a package whose anime 1 alternates two colours in every frame is
  played, and one pixel of the view is read back to back with X's GetImage (through
  ctypes on libX11, a round trip each); the time of every change of colour is
  stamped, the first second skipped, and the mean and median time between changes
  compared with framewait + 2 ms, the frame duration the engine's clock rule gives
  with a turn in the millisecond each change falls due. The poller's own sampling
  interval is printed beside it: a frame change is seen at most that late. The
  column "> +1 ms" gives the frames that lasted over 1 ms longer than framewait + 2.
- the bare window: bench/bare_window.cpp, built beside the program with the
  benchmarks, measured like the program over the same seconds.
- the workbench: the sample is started again and the processor time of anime 1 taken
  with the main window alone, then after opening each window of the menu 表示 in turn
  (CGシート, タイムライン, 定義の問題, each left open and moved beside the main
  window), through the menu's keys as a user opens them.
"""
import ctypes
import ctypes.util
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
import unicodedata

ROOT = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = ROOT / "samples" / "sample.chP"
CLIENT_HEIGHT, VIEW_LEFT, VIEW_WIDTH = 402, 104, 121  # VIEW_WIDTH: the sample's view
PLAY_SECONDS = 10
RUNS = 6

# The timing packages: a CG of three 4 x 4 cells (background, then the two colours
# anime 1 alternates) over a row of the key colour, which the engine takes from the
# CG's bottom-right pixel.
FRAME_WAITS = (16, 33, 50, 100)
TIMING_FRAMES = 16
CELL = 4
BACKGROUND, FIRST, SECOND, KEY = 0x0000FF, 0xFF0000, 0x00FF00, 0xFF00FF
POLLED_PIXEL = (1, 1)  # in the view, inside the cell the engine draws at its top-left
SKIP_SECONDS = 1
FRAME_CHANGES = 300
TARGET_TOLERANCE_MS = 1.0
SHARE_TARGET_PERCENT = 3.0
# The workbench's windows as the menu 表示 lists them: the Down presses from its first
# item while an anime plays (the step items are disabled then), and where each is moved.
WORKBENCH = (("CGシート", 2, (420, 0)), ("タイムライン", 3, (0, 440)), ("定義の問題", 4, (420, 440)))
WORKBENCH_TARGET_PERCENT = 3.0


def background_top_row():
    """The top row of the sample's background (pattern 1 at the CG's top-left corner)."""
    data = (ROOT / "samples" / "sample.bmp").read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    start = offset + (height - 1) * ((width * 3 + 3) & ~3)  # rows are stored bottom-up
    return [data[start + 3 * x + 2] << 16 | data[start + 3 * x + 1] << 8 | data[start + 3 * x] for x in range(VIEW_WIDTH)]


def bmp_24(width, height, pixels):
    """A 24-bit BMP file of pixels given row by row from the top, as 0xRRGGBB."""
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):  # rows are stored bottom-up
        row = b"".join(struct.pack("<I", pixels[y * width + x])[:3] for x in range(width))
        rows += row + b"\0" * (stride - len(row))
    header_size = 14 + 40
    return (b"BM" + struct.pack("<IHHI", header_size + len(rows), 0, 0, header_size)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0) + rows)


def write_timing_package(folder, framewait):
    """A package whose anime 1 has TIMING_FRAMES frames alternating FIRST and SECOND,
    so every frame change changes the view's POLLED_PIXEL; returns its definition."""
    cells = (BACKGROUND, FIRST, SECOND)
    width, height = CELL * len(cells), CELL + 1
    pixels = [KEY if y == CELL else cells[x // CELL] for y in range(height) for x in range(width)]
    (folder / "cg.bmp").write_bytes(bmp_24(width, height, pixels))
    frames = "".join("%02X" % (2 + i % 2) for i in range(TIMING_FRAMES))
    lines = ["#SIZE 8", "#ANIME %d" % framewait, "#CHARBMP cg.bmp"]
    lines += ["#%d %d 0 %d %d" % (i + 1, i * CELL, CELL, CELL) for i in range(len(cells))]
    lines += ["#PATERN 01 " + frames]
    definition = folder / ("frames%d.chP" % framewait)
    definition.write_bytes("".join(line + "\r\n" for line in lines).encode("ascii"))
    return definition


class PixelPoller:
    """Reads one pixel of the screen with X's GetImage, a round trip to the server each."""
    ALL_PLANES, Z_PIXMAP = ctypes.c_ulong(~0).value, 2

    def __init__(self):
        name = ctypes.util.find_library("X11")
        if not name:
            raise SystemExit("libX11 is missing (the pixel poller needs it)")
        x11 = ctypes.CDLL(name)
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XGetImage.restype = ctypes.c_void_p
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XGetPixel.restype = ctypes.c_ulong
        x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x11.XDestroyImage.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x11 = x11
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("the pixel poller cannot open the display")
        self.root = x11.XDefaultRootWindow(self.display)

    def pixel(self, x, y):
        image = self.x11.XGetImage(self.display, self.root, x, y, 1, 1, self.ALL_PLANES, self.Z_PIXMAP)
        if not image:
            return None
        value = self.x11.XGetPixel(image, 0, 0) & 0xFFFFFF
        self.x11.XDestroyImage(image)
        return value

    def close(self):
        self.x11.XCloseDisplay(self.display)


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


def start_program(program, definition, shown):
    """Starts the program on a definition; returns it with the seconds to its window and
    to the first frame, when shown(client origin) holds. The window is looked up again
    before every look at the screen, as its size may still change."""
    started = time.monotonic()
    process = subprocess.Popen([program, str(definition)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window_seconds = None
    while time.monotonic() - started < 30 and process.poll() is None:
        origin = client_origin()
        if origin is None:
            continue
        window_seconds = window_seconds or time.monotonic() - started
        if shown(origin):
            return process, window_seconds, time.monotonic() - started
    process.kill()
    raise SystemExit("the first frame of %s never showed" % definition)


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


def processor_share(pid, seconds=PLAY_SECONDS):
    """The percentage of one core the process takes over the next seconds."""
    ticks = process_counters(pid)[0]
    begin = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - begin
    return 100.0 * (process_counters(pid)[0] - ticks) / os.sysconf("SC_CLK_TCK") / elapsed


def stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def measure_sample(program, server):
    """Start times over RUNS starts of the sample, then, in the last, the processor time
    of the program and of the X server while anime 1 plays and the frames presented."""
    sky = background_top_row()

    def sky_shown(origin):
        return screen_row(run("xwd", "-root", "-silent"), origin[0] + VIEW_LEFT, origin[1], VIEW_WIDTH) == sky

    starts = []
    for i in range(RUNS):
        process, window_seconds, frame_seconds = start_program(program, SAMPLE, sky_shown)
        if i > 0:
            starts.append((window_seconds, frame_seconds))
        if i < RUNS - 1:
            stop(process)
    try:
        time.sleep(1)
        ticks, writes = process_counters(process.pid)
        server_ticks = process_counters(server.pid)[0]
        begin = time.monotonic()
        time.sleep(PLAY_SECONDS)
        elapsed = time.monotonic() - begin
        ticks2, writes2 = process_counters(process.pid)
        server_ticks2 = process_counters(server.pid)[0]
        presents = presents_per_second(process.pid)
    finally:
        stop(process)
    hertz = os.sysconf("SC_CLK_TCK")
    return {"starts": starts, "share": 100.0 * (ticks2 - ticks) / hertz / elapsed,
            "server share": 100.0 * (server_ticks2 - server_ticks) / hertz / elapsed,
            "writes per second": (writes2 - writes) / elapsed, "presents": presents}


def frame_changes(poller, x, y, framewait):
    """Polls the pixel at (x, y) back to back: the monotonic stamps in nanoseconds of
    FRAME_CHANGES + 1 changes between FIRST and SECOND after SKIP_SECONDS, the mean
    time between two polls and the longest."""
    deadline = time.monotonic() + SKIP_SECONDS + 5 * FRAME_CHANGES * (framewait + 2) / 1000
    skip_until = time.monotonic_ns() + SKIP_SECONDS * 10**9
    stamps, polls, longest = [], 0, 0
    last_colour, first_poll = None, None
    previous = time.monotonic_ns()
    while len(stamps) <= FRAME_CHANGES:
        colour = poller.pixel(x, y)
        now = time.monotonic_ns()
        if now >= skip_until:
            if first_poll is None:
                first_poll = now
            else:
                polls += 1
                longest = max(longest, now - previous)
            if colour in (FIRST, SECOND) and colour != last_colour and last_colour is not None:
                stamps.append(now)
        if colour in (FIRST, SECOND):
            last_colour = colour
        previous = now
        if time.monotonic() > deadline:
            raise SystemExit("framewait %d: only %d frame changes seen" % (framewait, len(stamps)))
    return stamps, (previous - first_poll) / polls, longest


def measure_timing(program, poller, framewait):
    """Frame durations on screen and the processor time of the program playing a timing
    package of that frame time."""
    with tempfile.TemporaryDirectory(prefix="pomelune-bench-") as folder:
        definition = write_timing_package(pathlib.Path(folder), framewait)
        pixel = {}

        def colour_shown(origin):
            pixel["at"] = (origin[0] + VIEW_LEFT + POLLED_PIXEL[0], origin[1] + POLLED_PIXEL[1])
            return poller.pixel(*pixel["at"]) in (FIRST, SECOND)

        process = start_program(program, definition, colour_shown)[0]
        try:
            stamps, poll_ns, longest_poll_ns = frame_changes(poller, *pixel["at"], framewait)
            share = processor_share(process.pid)
        finally:
            stop(process)
    durations = [(b - a) / 1e6 for a, b in zip(stamps, stamps[1:])]
    return {"framewait": framewait, "mean": statistics.mean(durations), "median": statistics.median(durations),
            "shortest": min(durations), "longest": max(durations),
            "late": 100.0 * sum(d > framewait + 2 + TARGET_TOLERANCE_MS for d in durations) / len(durations),
            "poll": poll_ns / 1e3, "longest poll": longest_poll_ns / 1e3, "share": share}


def measure_bare_window(bare_window):
    """The processor time of the bare Qt window presenting its view at 60 Hz."""
    process = subprocess.Popen([bare_window], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        if process.poll() is not None:
            raise SystemExit("%s ended at start" % bare_window)
        return processor_share(process.pid)
    finally:
        stop(process)


def open_from_view_menu(origin, title, downs, place):
    """Opens a window of the menu 表示 as a user does: a click on the menu bar's first
    menu, Right to 表示, Down to the item, Return; then moves it to place."""
    main = run("xdotool", "search", "--onlyvisible", "--name", "^Pomelune!$").split()[0]
    geometry = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell", main).decode().split())
    menu_bar_y = (int(geometry["Y"]) + origin[1]) // 2
    run("xdotool", "mousemove", str(int(geometry["X"]) + 8), str(menu_bar_y), "click", "1")
    run("xdotool", "sleep", "0.5", "key", "Right", "sleep", "0.5", *(["key", "Down"] * downs), "key", "Return")
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        windows = run("xdotool", "search", "--onlyvisible", "--name", "^" + title).split()
        if windows:
            run("xdotool", "windowmove", windows[0], str(place[0]), str(place[1]))
            return
        time.sleep(0.1)
    raise SystemExit("the window %s did not open" % title)


def measure_workbench(program):
    """The processor time of the sample's anime 1 with the main window alone, then with
    each window of the workbench opened in turn and left open."""
    sky = background_top_row()

    def sky_shown(origin):
        return screen_row(run("xwd", "-root", "-silent"), origin[0] + VIEW_LEFT, origin[1], VIEW_WIDTH) == sky

    process = start_program(program, SAMPLE, sky_shown)[0]
    try:
        time.sleep(1)
        shares = [("main window alone", processor_share(process.pid))]
        for title, downs, place in WORKBENCH:
            open_from_view_menu(client_origin(), title, downs, place)
            time.sleep(1)
            shares.append(("+ " + title, processor_share(process.pid)))
    finally:
        stop(process)
    return shares


def padded(text, columns):
    """text followed by spaces up to columns on a terminal, where wide characters take two."""
    width = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)
    return text + " " * max(columns - width, 0)


def print_results(sample, timings, bare_share, workbench):
    window = statistics.median(s[0] for s in sample["starts"]) * 1000
    first = statistics.median(s[1] for s in sample["starts"]) * 1000
    print("start to window shown (median of %d warm runs):  %6.0f ms" % (len(sample["starts"]), window))
    print("start to first frame on screen (median):        %6.0f ms   target < 300 ms   (runs: %s)"
          % (first, ", ".join("%.0f" % (s[1] * 1000) for s in sample["starts"])))
    if sample["presents"] is None:
        print("write calls of the process per second:          %6.1f     (no strace: an upper bound of the frames presented)"
              % sample["writes per second"])
    else:
        print("frames presented per second:                    %6.1f     (image requests sent to the X server)"
              % sample["presents"])
    print()
    print("frame duration on screen (%d changes after %d s; target: mean within %.0f ms of framewait + 2):"
          % (FRAME_CHANGES, SKIP_SECONDS, TARGET_TOLERANCE_MS))
    print("  framewait   mean  median  shortest  longest  > +1 ms   framewait+2   on target   poll interval (mean, longest)")
    for t in timings:
        expected = t["framewait"] + 2
        verdict = "yes" if abs(t["mean"] - expected) <= TARGET_TOLERANCE_MS else "NO"
        print("  %9d %6.2f %7.2f %9.2f %8.2f %7.0f %% %13d %11s   %6.0f us, %6.0f us"
              % (t["framewait"], t["mean"], t["median"], t["shortest"], t["longest"], t["late"], expected, verdict,
                 t["poll"], t["longest poll"]))
    print()
    print("processor time over %d s (target <= %.0f %% of one core):" % (PLAY_SECONDS, SHARE_TARGET_PERCENT))
    print("  anime 1 of the sample:                        %6.1f %%" % sample["share"])
    print("    (the X server meanwhile:                    %6.1f %%)" % sample["server share"])
    for t in timings:
        print("  timing package, framewait %3d:                %6.1f %%" % (t["framewait"], t["share"]))
    if bare_share is None:
        print("  bare Qt window, 167 x 271 at 60 Hz:             (not found: build the benchmarks)")
    else:
        print("  bare Qt window, 167 x 271 at 60 Hz:           %6.1f %%" % bare_share)
    print()
    print("the workbench, anime 1 of the sample over %d s each (target: at most %.0f points over the window alone):"
          % (PLAY_SECONDS, WORKBENCH_TARGET_PERCENT))
    alone = workbench[0][1]
    print("  %s %6.1f %%" % (padded(workbench[0][0] + ":", 44), alone))
    for name, share in workbench[1:]:
        verdict = "yes" if share - alone <= WORKBENCH_TARGET_PERCENT else "NO"
        print("  %s %6.1f %%   %+5.1f   %s" % (padded(name + ":", 44), share, share - alone, verdict))


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else str(ROOT / "build" / "release" / "app" / "pomelune")
    bare_window = sys.argv[2] if len(sys.argv) > 2 else str(pathlib.Path(program).resolve().parent / "bare_window")
    server = start_server()
    try:
        sample = measure_sample(program, server)
        poller = PixelPoller()
        try:
            timings = [measure_timing(program, poller, framewait) for framewait in FRAME_WAITS]
        finally:
            poller.close()
        bare_share = measure_bare_window(bare_window) if os.access(bare_window, os.X_OK) else None
        workbench = measure_workbench(program)
    finally:
        server.terminate()
        server.wait()
    print_results(sample, timings, bare_share, workbench)


if __name__ == "__main__":
    main()
