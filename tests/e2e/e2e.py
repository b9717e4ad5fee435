#!/usr/bin/env python3
"""End-to-end run of the real program under Xvfb, driven as a person would: mouse clicks on
board points and keys through xdotool, the real X clipboard through xclip, the real save
dialog, a record named on the command line, and closing through the menu.

usage: e2e.py BUILD_DIR      (exit 0 = passed, 77 = skipped: no Xvfb/xdotool/xclip)
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

DEADLINE = time.time() + 150  # the whole run is bounded
procs = []


def fail(msg):
    print("E2E FAIL:", msg, flush=True)
    raise SystemExit(1)


def check(cond, msg):
    if not cond:
        fail(msg)
    print("ok -", msg, flush=True)


def run(*args, env=None, timeout=10, check_rc=True):
    r = subprocess.run(args, env=env, timeout=timeout, capture_output=True)
    if check_rc and r.returncode != 0:
        fail(f"{args[0]} failed: {r.stderr.decode(errors='replace')}")
    return r.stdout


def wait_for(pred, what, timeout=20.0, step=0.05):
    end = min(time.time() + timeout, DEADLINE)
    while time.time() < end:
        v = pred()
        if v:
            return v
        time.sleep(step)
    fail(f"timed out waiting for {what}")


class Screen:
    """A screenshot of the root window as RGB rows (PPM from ImageMagick's import)."""

    def __init__(self, env):
        data = run("import", "-window", "root", "-depth", "8", "ppm:-", env=env, timeout=20)
        # P6\n<w> <h>\n255\n<data>
        parts = data.split(b"\n", 3)
        if parts[0] != b"P6":
            fail("unexpected screenshot format")
        self.w, self.h = map(int, parts[1].split())
        self.px = parts[3]

    def rgb(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])


def grid_lines(scr, x0, y0, x1, y1):
    """Columns and rows inside the rectangle holding long runs of black pixels: the grid."""
    def runs(count_at, span, length):
        out = []
        for c in span:
            best = run_ = 0
            for i in length:
                if count_at(c, i):
                    run_ += 1
                    best = max(best, run_)
                else:
                    run_ = 0
            out.append((c, best))
        top = max(b for _, b in out)
        return [c for c, b in out if b >= top * 0.9 and b > 100]

    black = lambda p: p == (0, 0, 0)
    cols = runs(lambda x, y: black(scr.rgb(x, y)), range(x0, x1), range(y0, y1))
    rows = runs(lambda y, x: black(scr.rgb(x, y)), range(y0, y1), range(x0, x1))
    return cols, rows


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    exe = os.path.join(build, "tavrin")
    for tool in ("Xvfb", "xdotool", "xclip", "import"):
        if not shutil.which(tool):
            print(f"skipped: {tool} not installed")
            return 77
    if not os.access(exe, os.X_OK):
        fail(f"{exe} missing")

    work = tempfile.mkdtemp(prefix="tavrin-e2e-")
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    env["HOME"] = work
    env["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    env["XDG_RUNTIME_DIR"] = work
    env["LANG"] = "C.UTF-8"
    # The settings file lives in the user's folder when one exists there, so the run never
    # touches the build folder's settings.
    ini = os.path.join(env["XDG_CONFIG_HOME"], "Tavrin", "Tavrin.Ini")
    os.makedirs(os.path.dirname(ini))
    open(ini, "w").close()

    disp = None
    for n in range(140, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            disp = f":{n}"
            break
    xvfb = subprocess.Popen(["Xvfb", disp, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(xvfb)
    env["DISPLAY"] = disp
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0,
             "Xvfb")

    def xdo(*args, timeout=10):
        return run("xdotool", *args, env=env, timeout=timeout).decode().strip()

    def start(*args):
        p = subprocess.Popen([exe, *args], env=env, cwd=work,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(p)
        return p

    def window_named(name):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=env,
                           capture_output=True)
        ids = r.stdout.decode().split()
        return ids[0] if ids else None

    def title_of(wid):
        return xdo("getwindowname", wid)

    def key(*keys):
        for k in keys:
            xdo("key", "--clearmodifiers", k)
            time.sleep(0.15)

    def clipboard():
        r = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=env,
                           capture_output=True, timeout=5)
        return r.stdout.decode("utf-8", errors="replace")

    # --- start-up -----------------------------------------------------------------------
    app = start()
    wid = wait_for(lambda: window_named("^新規 - Tavrin$"), "the main window")
    xdo("windowfocus", "--sync", wid)
    time.sleep(0.5)
    geo = xdo("getwindowgeometry", "--shell", wid)
    g = dict(line.split("=") for line in geo.splitlines())
    wx, wy, ww, wh = int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
    check((ww, wh) == (684, 567), f"window opens at 684 x 567 (got {ww} x {wh})")

    scr = Screen(env)
    cols, rows = grid_lines(scr, wx, wy, wx + ww, wy + wh)
    check(len(cols) == 19 and len(rows) == 19, f"19 x 19 grid found on screen ({len(cols)} x {len(rows)})")
    cell = cols[1] - cols[0]
    check(all(cols[i + 1] - cols[i] == cell for i in range(18)), f"grid spacing is even ({cell} px)")

    def point(c, r):
        return cols[c - 1], rows[r - 1]

    def click(c, r):
        x, y = point(c, r)
        xdo("mousemove", "--sync", str(x), str(y))
        xdo("click", "1")
        time.sleep(0.2)

    def look(c, r):
        """'B', 'W' or '.' at a board point, judged from the pixels beside the grid crossing."""
        s = Screen(env)
        x, y = point(c, r)
        d = max(2, cell // 4)
        samples = [s.rgb(x + d, y + d), s.rgb(x - d, y + d), s.rgb(x + d, y - d)]
        lum = sum(sum(p) / 3 for p in samples) / len(samples)
        wood = all(p[0] > 200 and 140 < p[1] < 215 and p[2] < 140 for p in samples)
        if wood:
            return "."
        return "B" if lum < 100 else ("W" if lum > 180 else "?")

    # --- a short game with a capture and a refused ko retake -----------------------------
    moves = [(3, 4), (6, 4), (4, 3), (5, 3), (4, 5), (5, 5), (10, 10), (4, 4), (5, 4)]
    for c, r in moves:
        click(c, r)
    check(look(4, 4) == ".", "black's move at E4 captured the white stone at D4")
    check(look(5, 4) == "B", "the capturing black stone stands at E4")
    click(4, 4)  # white retakes the ko at once: refused
    check(look(4, 4) == ".", "the immediate ko retake is refused")
    key("ctrl+p")  # white passes
    key("ctrl+p")  # black passes: two passes in a row end the game
    expected_moves = ";B[cd];W[fd];B[dc];W[ec];B[de];W[ee];B[jj];W[dd];B[ed];W[tt];B[tt])"

    # --- stepping back and forward with the keys ----------------------------------------
    key("ctrl+Left", "ctrl+Left", "ctrl+Left")  # back over both passes and the capture
    check(look(4, 4) == "W", "stepping back over the capture puts the white stone back")
    check(look(5, 4) == ".", "stepping back removes the capturing stone")
    key("ctrl+Right")
    check(look(4, 4) == "." and look(5, 4) == "B", "stepping forward captures again")
    key("ctrl+Up")
    check(look(3, 4) == "." and look(10, 10) == ".", "Ctrl+Up goes to the start")
    key("ctrl+Down")
    check(look(5, 4) == "B" and look(4, 4) == ".", "Ctrl+Down goes to the end")

    # --- copy the record: the SGF text on the real clipboard ------------------------------
    key("ctrl+c")
    sgf = wait_for(lambda: clipboard() if "(;GM[1]FF[4]" in clipboard() else None, "the SGF on the clipboard")
    flat = sgf.replace("\r\n", "")
    check(sgf.startswith("(;GM[1]FF[4]AP[Tavrin:0.5.1.20]SZ[19]GN[Tavrin "), "the copied record starts with the fixed root properties")
    check("PB[黒番対局者]" in flat and "PW[白番対局者]KM[6.5]HA[0]" in flat, "players, komi and handicap are in the copy")
    check(flat.endswith(expected_moves), "the copy holds the eleven moves, passes as tt")
    check(sgf.endswith("\r\n") and "\n" not in sgf.replace("\r\n", ""), "clipboard lines end with CR LF")

    # --- save through the real save dialog -----------------------------------------------
    save_dir = os.path.join(work, "records")
    os.makedirs(save_dir)
    target = os.path.join(save_dir, "e2e-game.sgf")
    key("ctrl+s")  # untitled: save goes to the save-as dialog
    dlg = wait_for(lambda: window_named("棋譜に別名を付けて保存"), "the save dialog")
    xdo("windowfocus", "--sync", dlg)
    time.sleep(0.4)
    xdo("key", "--clearmodifiers", "ctrl+a")
    xdo("type", "--delay", "20", target)
    time.sleep(0.2)
    xdo("key", "Return")
    wait_for(lambda: os.path.exists(target), "the saved file")
    wait_for(lambda: title_of(wid) == "e2e-game.sgf - Tavrin", "the title naming the saved file")
    check(True, "the title names the saved file")
    data = open(target, "rb").read()
    check(data.endswith(b")\r\n") and b"\n" not in data.replace(b"\r\n", b""), "the file's lines end with CR LF")
    check(data.decode("cp932") == sgf, "the file holds the copied text in code page 932")
    check("黒番対局者".encode("cp932") in data, "Japanese names are written as Shift-JIS")

    # --- close through the menu, then check the settings file ------------------------------
    xdo("windowfocus", "--sync", wid)
    time.sleep(0.3)
    key("alt+f")
    time.sleep(0.3)
    key("x")
    wait_for(lambda: app.poll() is not None, "the program to exit", timeout=15)
    text = open(ini, encoding="utf-8", errors="replace").read()
    for k in ("[PlayInfo]", "BrdSize=19", "Komi=65", "[KifuAuto]", "Speed=1000", "[Display]",
              "Width=684", "Height=567", "Zahyou=1", "[Directory]", "LastWriteDir="):
        check(k in text, f"Tavrin.Ini holds {k}")
    check(f"LastWriteDir={save_dir}" in text, "the folder written to is remembered")

    # --- a record named on the command line -------------------------------------------------
    app2 = start(target)
    wid2 = wait_for(lambda: window_named("^e2e-game.sgf - Tavrin$"), "the window titled by the record")
    check(True, "a record on the command line opens with its name in the title")
    time.sleep(0.5)
    cols2, rows2 = grid_lines(Screen(env), *(lambda g: (int(g["X"]), int(g["Y"]), int(g["X"]) + int(g["WIDTH"]), int(g["Y"]) + int(g["HEIGHT"])))(dict(l.split("=") for l in xdo("getwindowgeometry", "--shell", wid2).splitlines())))
    cols, rows = cols2 or cols, rows2 or rows
    check(look(5, 4) == "B" and look(4, 4) == "." and look(6, 4) == "W", "the loaded record is shown at its last move")
    app2.send_signal(signal.SIGTERM)
    app2.wait(timeout=10)
    print("E2E PASSED", flush=True)
    return 0


if __name__ == "__main__":
    code = 1
    try:
        code = main()
    except subprocess.TimeoutExpired as e:
        print("E2E FAIL: timeout", e)
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.kill()
                try:
                    p.wait(timeout=5)
                except Exception:
                    pass
    sys.exit(code)
