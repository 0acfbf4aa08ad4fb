"""A desktop for tests that drive real windows: Xvfb on a display number it picks itself, openbox
managing its windows, xdotool's pointer and key events, and screen grabs with ImageMagick."""

import os
import selectors
import shlex
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cups"))
from private_cupsd import _end_with_parent  # noqa: E402

TOOLS = ("Xvfb", "openbox", "xdotool", "import")
SIZE = (1280, 1024)


class Desktop:

    def __init__(self, home, wait=60):
        self.home = home
        self.wait = wait
        self.processes = []

    def start(self):
        read_end, write_end = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SIZE, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_end_with_parent))
        os.close(write_end)
        # Xvfb writes the display number it took once it serves it.
        with os.fdopen(read_end, "rb") as pipe:
            ready = selectors.DefaultSelector()
            ready.register(pipe, selectors.EVENT_READ)
            number = pipe.readline().strip() if ready.select(self.wait) else b""
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode()
        # English texts, no settings of the person running the tests, no session bus or portal.
        self.env = dict(os.environ, DISPLAY=self.display, HOME=self.home, LANG="C.UTF-8",
                        NO_AT_BRIDGE="1", GTK_A11Y="none", GTK_USE_PORTAL="0")
        for name in ("LC_ALL", "LC_MESSAGES", "LANGUAGE", "GTK_THEME", "XDG_CONFIG_HOME",
                     "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "GDK_BACKEND"):
            self.env.pop(name, None)
        # openbox runs its start-up command once it manages the screen.
        ready = os.path.join(self.home, "wm-ready")
        self.processes.append(subprocess.Popen(
            ["openbox", "--sm-disable", "--startup", "touch " + shlex.quote(ready)], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_end_with_parent))
        deadline = time.monotonic() + self.wait
        while not os.path.exists(ready):
            if time.monotonic() > deadline or self.processes[-1].poll() is not None:
                raise RuntimeError("openbox did not start")
            time.sleep(0.05)
        return self

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def xdotool(self, *argv):
        subprocess.run(["xdotool", *map(str, argv)], env=self.env, check=True, timeout=self.wait,
                       stdout=subprocess.DEVNULL)

    def click(self, x, y):
        # mousemove --sync waits for the pointer to move, which it never does when already there.
        where = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, check=True,
                               timeout=self.wait, capture_output=True, text=True).stdout
        if f"X={x}\nY={y}\n" not in where:
            self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", 1)

    def keys(self, *names):
        self.xdotool("key", "--clearmodifiers", "--delay", 40, *names)

    def type(self, text):
        self.xdotool("type", "--delay", 40, text)

    def grab(self, path, box=None, margin=0):
        """A PNG of the screen, cut to box (x, y, width, height) widened by margin on each side."""
        crop = []
        if box:
            x, y, width, height = box
            crop = ["-crop", "%dx%d+%d+%d" % (width + 2 * margin, height + 2 * margin, max(0, x - margin),
                                              max(0, y - margin)), "+repage"]
        subprocess.run(["import", "-window", "root", *crop, path], env=self.env, check=True, timeout=self.wait)
