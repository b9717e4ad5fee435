#!/usr/bin/env python3
"""End-to-end run of the real program under Xvfb, driven as a person would: clicks on board
points and keys through xdotool, the real X clipboard through xclip, the real save dialog, a
record named on the command line, and closing through the menu.

usage: e2e.py BUILD_DIR      (exit 0 = passed, 77 = skipped: no Xvfb/xdotool/xclip/import)
"""
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xdrive import Board, Failure, Session, tools_missing  # noqa: E402


def check(cond, msg):
    if not cond:
        raise Failure(msg)
    print("ok -", msg, flush=True)


def scenario(s):
    # --- start-up -------------------------------------------------------------------------
    app = s.start()
    wid = s.wait_window("^新規 - Tavrin$", "the main window")
    s.focus(wid)
    _, _, w, h = s.geometry(wid)
    check((w, h) == (684, 567), f"the window opens at 684 x 567 (got {w} x {h})")
    board = Board(s, wid)
    check(len(board.cols) == 19 and len(board.rows) == 19,
          f"a 19 x 19 grid is on the screen ({len(board.cols)} x {len(board.rows)} lines)")
    check(all(b - a == board.cell for a, b in zip(board.cols, board.cols[1:])),
          f"the grid lines are evenly spaced ({board.cell} px)")

    # --- a short game with a capture and a refused ko retake -------------------------------
    for c, r in [(3, 4), (6, 4), (4, 3), (5, 3), (4, 5), (5, 5), (10, 10), (4, 4), (5, 4)]:
        board.click(c, r)
    check(board.look(4, 4) == ".", "black's move at E4 captured the white stone at D4")
    check(board.look(5, 4) == "B", "the capturing black stone stands at E4")
    board.click(4, 4)  # white retakes the ko at once
    check(board.look(4, 4) == ".", "the immediate ko retake is refused")
    s.key("ctrl+p", "ctrl+p")  # white passes, black passes: the game ends
    moves = ";B[cd];W[fd];B[dc];W[ec];B[de];W[ee];B[jj];W[dd];B[ed];W[tt];B[tt])"

    # --- stepping back and forward with the keys -------------------------------------------
    s.key("ctrl+Left", "ctrl+Left", "ctrl+Left")
    check(board.look(4, 4) == "W" and board.look(5, 4) == ".",
          "stepping back over the capture puts the white stone back")
    s.key("ctrl+Right")
    check(board.look(4, 4) == "." and board.look(5, 4) == "B", "stepping forward captures again")
    s.key("ctrl+Up")
    check(board.look(3, 4) == "." and board.look(10, 10) == ".", "Ctrl+Up goes to the start")
    s.key("ctrl+Down")
    check(board.look(5, 4) == "B" and board.look(4, 4) == ".", "Ctrl+Down goes to the end")

    # --- copy: the SGF text on the real clipboard ------------------------------------------
    s.key("ctrl+c")
    sgf = s.wait_for(lambda: (t := s.clipboard()) and "(;GM[1]FF[4]" in t and t, "the SGF on the clipboard")
    flat = sgf.replace("\r\n", "")
    check(sgf.startswith("(;GM[1]FF[4]AP[Tavrin:0.5.1.20]SZ[19]GN[Tavrin "),
          "the copy starts with the fixed root properties")
    check("PB[黒番対局者]" in flat and "PW[白番対局者]KM[6.5]HA[0]" in flat,
          "players, komi and handicap are in the copy")
    check(flat.endswith(moves), "the copy holds the eleven moves, passes written tt")
    check(sgf.endswith("\r\n") and "\n" not in flat, "clipboard lines end with CR LF")

    # --- save through the real save dialog -------------------------------------------------
    folder = os.path.join(s.work, "records")
    os.makedirs(folder)
    target = os.path.join(folder, "e2e-game.sgf")
    s.key("ctrl+s")  # an untitled record is saved through the save-as dialog
    dlg = s.wait_window("棋譜に別名を付けて保存", "the save dialog")
    s.focus(dlg)
    s.key("ctrl+a")
    s.xdo("type", "--delay", "20", target)
    time.sleep(0.2)
    s.key("Return")
    s.wait_for(lambda: os.path.exists(target), "the saved file")
    s.wait_for(lambda: s.xdo("getwindowname", wid) == "e2e-game.sgf - Tavrin", "the title naming the file")
    data = open(target, "rb").read()
    check(data.endswith(b")\r\n") and b"\n" not in data.replace(b"\r\n", b""), "the file's lines end with CR LF")
    check(data.decode("cp932") == sgf, "the file holds the copied text in code page 932")
    check("黒番対局者".encode("cp932") in data, "Japanese names are written in Shift-JIS")

    # --- close through the menu; the settings file --------------------------------------------
    s.focus(wid)
    s.key("alt+f")
    time.sleep(0.3)
    s.key("x")
    s.wait_for(lambda: app.poll() is not None, "the program to exit", timeout=15)
    text = open(s.ini, encoding="utf-8", errors="replace").read()
    for k in ("[PlayInfo]", "BrdSize=19", "Komi=65", "[KifuAuto]", "Speed=1000", "[Display]",
              "Width=684", "Height=567", "Zahyou=1", "[Directory]"):
        check(k in text, f"Tavrin.Ini holds {k}")
    check(f"LastWriteDir={folder}" in text, "Tavrin.Ini remembers the folder written to")

    # --- a record named on the command line ------------------------------------------------------
    app2 = s.start(target)
    wid2 = s.wait_window("^e2e-game.sgf - Tavrin$", "the window titled by the record")
    check(True, "a record named on the command line opens with its name in the title")
    time.sleep(0.3)
    # Stones now break grid lines, so the board found on the empty board is used again: the
    # window opens at the same place and size.
    check(s.geometry(wid2)[2:] == (684, 567), "the second window has the size written at close")
    check(board.look(5, 4) == "B" and board.look(4, 4) == "." and board.look(6, 4) == "W",
          "the loaded record is shown at its last move")
    app2.send_signal(signal.SIGTERM)
    app2.wait(timeout=10)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    missing = tools_missing()
    if missing:
        print("skipped: not installed:", ", ".join(missing))
        return 77
    s = Session(os.path.join(build, "tavrin"))
    try:
        scenario(s)
        print("E2E PASSED", flush=True)
        return 0
    except Failure as e:
        print("E2E FAIL:", e, flush=True)
        return 1
    finally:
        s.close()


if __name__ == "__main__":
    sys.exit(main())
