"""A private X server for driving the real program: Xvfb on a free display,
real input through xdotool (XTEST), pixels read back with ImageMagick's
import. Every wait polls against a deadline."""

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

# A stand-in `convert` or `import` earlier on PATH must not answer for
# ImageMagick, so its own binary is called by its Debian path first.
IMPORT_CANDIDATES = ("/usr/bin/import", "import")
TOOLS = ("Xvfb", "xdotool", "xprop")


class SetupError(Exception):
    """A tool the session needs is missing; the caller reports a skip."""


class Failure(AssertionError):
    pass


def FindImport():
    for candidate in IMPORT_CANDIDATES:
        path = shutil.which(candidate)
        if not path:
            continue
        try:
            version = subprocess.run([path, "-version"], capture_output=True, text=True, timeout=20).stdout
        except (OSError, subprocess.SubprocessError):
            continue
        if version.startswith("Version: ImageMagick"):
            return path
    raise SetupError("ImageMagick's import was not found (Debian package imagemagick)")


def CheckTools():
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        raise SetupError("missing tools: " + ", ".join(missing))
    return FindImport()


def WaitFor(what, probe, timeout=20.0, interval=0.05):
    """Calls probe until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Image:
    """An RGB picture read from a binary PPM."""

    def __init__(self, width, height, pixels, left=0, top=0):
        self.width = width
        self.height = height
        self.pixels = pixels
        self.left = left
        self.top = top

    @staticmethod
    def FromPpm(data, left=0, top=0):
        # Header: magic, width, height, maximum, each separated by blanks
        # and possibly comments; a single blank ends it.
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        position += 1
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise Failure("unexpected picture format %r, maximum %r" % (fields[0], fields[3]))
        width, height = int(fields[1]), int(fields[2])
        pixels = data[position:position + width * height * 3]
        if len(pixels) != width * height * 3:
            raise Failure("short picture: %d bytes for %d x %d" % (len(pixels), width, height))
        return Image(width, height, pixels, left, top)

    def Pixel(self, x, y):
        """The pixel at screen coordinates (x, y)."""
        x -= self.left
        y -= self.top
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise Failure("pixel (%d, %d) lies outside the captured picture" % (x + self.left, y + self.top))
        index = (y * self.width + x) * 3
        return tuple(self.pixels[index:index + 3])

    def Region(self, x, y, width, height):
        """The raw bytes of a rectangle, for comparing two captures."""
        rows = []
        for row in range(y, y + height):
            start = ((row - self.top) * self.width + (x - self.left)) * 3
            rows.append(self.pixels[start:start + width * 3])
        return b"".join(rows)

    def Pixels(self, x, y, width, height):
        for row in range(y, y + height):
            for column in range(x, x + width):
                yield self.Pixel(column, row)


class X11Session:
    """Xvfb with its own display number, torn down on exit."""

    def __init__(self, width=1024, height=768):
        self.importTool = CheckTools()
        self.size = (width, height)
        self.server = None
        self.env = None
        self.tempdir = tempfile.TemporaryDirectory(prefix="zelvon-x11-")

    def __enter__(self):
        try:
            return self._Start()
        except BaseException:
            self.__exit__(None, None, None)
            raise

    def _Start(self):
        # -displayfd lets the server pick a free display and tell us which.
        readEnd, writeEnd = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writeEnd), "-screen", "0", "%dx%dx24" % self.size,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(writeEnd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(writeEnd)
        number = b""
        deadline = time.monotonic() + 30
        try:
            while not number.endswith(b"\n"):
                if self.server.poll() is not None:
                    raise Failure("Xvfb ended at start with code %d" % self.server.returncode)
                if time.monotonic() >= deadline:
                    raise Failure("Xvfb did not report its display")
                ready, _, _ = select.select([readEnd], [], [], 0.1)
                if ready:
                    chunk = os.read(readEnd, 16)
                    if not chunk:
                        raise Failure("Xvfb closed its display pipe")
                    number += chunk
        finally:
            os.close(readEnd)
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("XAUTHORITY", None)
        return self

    def __exit__(self, *exc):
        if self.server and self.server.poll() is None:
            self.server.send_signal(signal.SIGTERM)
            try:
                self.server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        self.tempdir.cleanup()
        return False

    def Run(self, *args, timeout=20):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=timeout)
        if result.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(args), result.returncode, result.stderr.strip()))
        return result.stdout

    def Xdotool(self, *args):
        return self.Run("xdotool", *args)

    def VisibleWindows(self, name=None):
        """Ids of mapped top-level windows whose whole title is `name` (a
        regular expression), or of every titled window."""
        pattern = "^(%s)$" % name if name else "."
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                                env=self.env, capture_output=True, text=True, timeout=20)
        # xdotool reports "nothing found" as exit code 1.
        return [int(line) for line in result.stdout.split()]

    def WindowTitles(self):
        titles = []
        for window in self.VisibleWindows():
            result = subprocess.run(["xdotool", "getwindowname", str(window)],
                                    env=self.env, capture_output=True, text=True, timeout=20)
            if result.returncode == 0 and result.stdout.strip():
                titles.append(result.stdout.strip())
        return sorted(titles)

    def WaitForWindow(self, name, timeout=20.0):
        return WaitFor('a window titled "%s"' % name, lambda: self.VisibleWindows(name), timeout)[0]

    def WaitForNoWindow(self, name, timeout=20.0):
        WaitFor('the window "%s" to close' % name, lambda: not self.VisibleWindows(name), timeout)

    def Geometry(self, window):
        """(x, y, width, height) of a window on the screen. Without a window
        manager there is no frame, so this is the client area."""
        values = {}
        for line in self.Xdotool("getwindowgeometry", "--shell", str(window)).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def Click(self, x, y, button=1):
        self.Xdotool("mousemove", "--sync", str(x), str(y), "click", str(button))

    def MoveMouse(self, x, y):
        self.Xdotool("mousemove", "--sync", str(x), str(y))

    def Key(self, window, keys):
        # No window manager gives focus on its own; take it, then type
        # through XTEST (events sent to a window directly are ignored by Qt).
        self.Xdotool("windowfocus", "--sync", str(window))
        self.Xdotool("key", "--clearmodifiers", keys)

    def Grab(self, x, y, width, height):
        data = subprocess.run(
            [self.importTool, "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
             "+repage", "-depth", "8", "ppm:-"],
            env=self.env, capture_output=True, timeout=30, check=True).stdout
        return Image.FromPpm(data, x, y)

    def SavePng(self, path, x=0, y=0, width=None, height=None):
        width = width or self.size[0]
        height = height or self.size[1]
        subprocess.run(
            [self.importTool, "-silent", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
             "+repage", "-depth", "8", "-strip", "png:" + path],
            env=self.env, capture_output=True, timeout=30, check=True)
