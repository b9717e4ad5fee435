"""Driving the real program under Xvfb as a person would: an X server of its own, xdotool for
the mouse and keys, ImageMagick's import for screenshots, xclip for the clipboard."""
import os
import shutil
import subprocess
import tempfile
import time


class Failure(Exception):
    pass


def fail(msg):
    raise Failure(msg)


def tools_missing():
    return [t for t in ("Xvfb", "xdotool", "xclip", "import", "xdpyinfo") if not shutil.which(t)]


class Session:
    """An Xvfb display with a private HOME and settings folder; stops everything it started."""

    def __init__(self, exe, deadline_s=240, screen="1280x1024x24"):
        self.exe = os.path.abspath(exe)
        self.deadline = time.time() + deadline_s
        self.procs = []
        self.work = tempfile.mkdtemp(prefix="tavrin-x-")
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.update(HOME=self.work, XDG_CONFIG_HOME=os.path.join(self.work, "config"),
                   XDG_RUNTIME_DIR=self.work, LANG="C.UTF-8")
        # The program runs from a copy in the private folder: the settings file beside it is
        # the run's own and the one beside the built program is never touched.
        bindir = os.path.join(self.work, "bin")
        os.makedirs(bindir)
        shutil.copy2(self.exe, os.path.join(bindir, os.path.basename(self.exe)))
        self.exe = os.path.join(bindir, os.path.basename(self.exe))
        self.ini = os.path.join(bindir, "Tavrin.Ini")
        disp = next(f":{n}" for n in range(140, 400)
                    if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
        self.procs.append(subprocess.Popen(["Xvfb", disp, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        env["DISPLAY"] = disp
        self.env = env
        self.wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0,
                      "the X server")

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.kill()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
        shutil.rmtree(self.work, ignore_errors=True)

    def run(self, *args, timeout=10):
        r = subprocess.run(args, env=self.env, timeout=timeout, capture_output=True)
        if r.returncode != 0:
            fail(f"{args[0]} {' '.join(args[1:3])} failed: {r.stderr.decode(errors='replace')}")
        return r.stdout

    def wait_for(self, pred, what, timeout=20.0, step=0.05):
        end = min(time.time() + timeout, self.deadline)
        while time.time() < end:
            v = pred()
            if v:
                return v
            time.sleep(step)
        fail(f"timed out waiting for {what}")

    def xdo(self, *args, timeout=10):
        return self.run("xdotool", *args, timeout=timeout).decode().strip()

    def start(self, *args):
        p = subprocess.Popen([self.exe, *args], env=self.env, cwd=self.work,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def window_named(self, pattern):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern], env=self.env,
                           capture_output=True)
        ids = r.stdout.decode().split()
        return ids[-1] if ids else None

    def wait_window(self, pattern, what=None):
        return self.wait_for(lambda: self.window_named(pattern), what or f"a window named {pattern}", timeout=60)

    def geometry(self, wid):
        g = dict(line.split("=") for line in self.xdo("getwindowgeometry", "--shell", wid).splitlines())
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def focus(self, wid):
        self.xdo("windowfocus", "--sync", wid)
        time.sleep(0.3)

    def key(self, *keys, pause=0.15):
        for k in keys:
            self.xdo("key", "--clearmodifiers", k)
            time.sleep(pause)

    def click_at(self, x, y, button=1):
        self.xdo("mousemove", "--sync", str(x), str(y))
        self.xdo("click", str(button))
        time.sleep(0.2)

    def clipboard(self):
        r = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env,
                           capture_output=True, timeout=5)
        return r.stdout.decode("utf-8", errors="replace")

    def screenshot(self, path, wid="root"):
        self.run("import", "-window", wid, path, timeout=20)

    def screen(self):
        return Screen(self.run("import", "-window", "root", "-depth", "8", "ppm:-", timeout=20))


class Screen:
    """A screenshot as RGB pixels (PPM bytes from import)."""

    def __init__(self, data):
        parts = data.split(b"\n", 3)
        if parts[0] != b"P6":
            fail("unexpected screenshot format")
        self.w, self.h = map(int, parts[1].split())
        self.px = parts[3]

    def rgb(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])


class Board:
    """The board as seen on screen: grid lines found as long runs of black pixels."""

    def __init__(self, session, wid):
        self.s = session
        x0, y0, w, h = session.geometry(wid)
        scr = session.screen()
        self.cols = self._lines(scr, range(x0, x0 + w), range(y0, y0 + h), lambda a, b: scr.rgb(a, b))
        self.rows = self._lines(scr, range(y0, y0 + h), range(x0, x0 + w), lambda a, b: scr.rgb(b, a))
        self.cell = self.cols[1] - self.cols[0] if len(self.cols) > 1 else 0

    @staticmethod
    def _lines(scr, span, along, rgb):
        best = []
        for c in span:
            run = top = 0
            for i in along:
                if rgb(c, i) == (0, 0, 0):
                    run += 1
                    top = max(top, run)
                else:
                    run = 0
            best.append((c, top))
        longest = max(t for _, t in best)
        return [c for c, t in best if t > 100 and t >= longest * 0.9]

    def point(self, col, row):
        return self.cols[col - 1], self.rows[row - 1]

    def click(self, col, row, button=1):
        self.s.click_at(*self.point(col, row), button=button)

    def look(self, col, row):
        """'B', 'W' or '.' at a point, judged from pixels beside the grid crossing."""
        scr = self.s.screen()
        x, y = self.point(col, row)
        d = max(2, self.cell // 4)
        samples = [scr.rgb(x + d, y + d), scr.rgb(x - d, y + d), scr.rgb(x + d, y - d)]
        if all(p[0] > 200 and 140 < p[1] < 215 and p[2] < 140 for p in samples):
            return "."
        lum = sum(sum(p) / 3 for p in samples) / len(samples)
        return "B" if lum < 100 else ("W" if lum > 180 else "?")
