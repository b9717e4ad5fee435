#!/usr/bin/env python3
"""Screenshots of the real program for the README, taken under Xvfb.

usage: scripts/screenshots.py [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
Writes playing.png, record.png, record-turned.png, comments.png, variations.png, markup.png, editing.png, study.png, problem.png,
explorer.png, counting.png, newgame.png, gameinfo.png, about.png, search.png.
"""
import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from xdrive import Board, Session, tools_missing  # noqa: E402


def shoot(s, record, name, out, ini="", before=None, wait=0.4):
    """Starts the program on record with the settings text ini, lets before(s) act on it,
    and takes a screenshot of the window as out/name."""
    with open(s.ini, "w", encoding="utf-8") as f:
        f.write(ini)
    app = s.start(record) if record else s.start()
    wid = s.wait_window(" - Tavrin$")
    s.focus(wid)
    if before:
        before(s)
    time.sleep(wait)
    s.screenshot(os.path.join(out, name), wid)
    app.kill()
    app.wait()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    out = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "docs")
    if tools_missing():
        print("missing:", tools_missing())
        return 1
    os.makedirs(out, exist_ok=True)
    s = Session(os.path.join(build, "tavrin"), deadline_s=300)
    try:
        # Playing: a few moves with a capture, clicked on the board.
        app = s.start()
        wid = s.wait_window("^新規 - Tavrin$")
        s.focus(wid)
        # The dialogs: opened by keys, captured, closed again (before any move: a new game
        # over a modified one asks first).
        for keys, title, name, close in [(["ctrl+n"], "^新規対局$", "newgame.png", "Escape"),
                                         (["ctrl+d"], "^対局情報$", "gameinfo.png", "Escape"),
                                         (["alt+h", "a"], "バージョン情報", "about.png", "Return")]:
            s.focus(wid)
            s.key(*keys)
            dlg = s.wait_window(title)
            time.sleep(0.3)
            s.screenshot(os.path.join(out, name), dlg)
            s.key(close)
        board = Board(s, wid)
        for c, r in [(16, 4), (4, 16), (17, 16), (4, 4), (3, 3), (4, 3), (3, 4), (4, 5), (3, 5),
                     (4, 6), (15, 16), (17, 14), (3, 6), (10, 10)]:
            board.click(c, r)
        s.screenshot(os.path.join(out, "playing.png"), wid)

        app.kill()
        app.wait()

        # A loaded record, stepped back a little, at the largest window size.
        record = os.path.join(here, "..", "..", "shared", "corpus", "pro", "kombilo", "Agon-Agon23-P02.sgf")
        if os.path.exists(record):
            app = s.start(record)
            wid = s.wait_window(" - Tavrin$")
            s.focus(wid)
            s.key("ctrl+shift+Left", "ctrl+Left")
            time.sleep(0.3)
            s.screenshot(os.path.join(out, "record.png"), wid)
            s.key("alt+d")
            s.key("h")  # 碁盤反転
            time.sleep(0.4)
            s.screenshot(os.path.join(out, "record-turned.png"), wid)
            app.kill()
            app.wait()

            # The same game with comments and a variation, the comment window open and the
            # stones numbered (手順表示).
            moves = open(record, encoding="utf-8", errors="replace").read().split(";")[2:62]
            moves = [m.strip().rstrip(")").strip() for m in moves]
            moves[9] += "C[ここで黒の構想が問われる。\n実戦は右辺に展開した。]"
            moves[10] += "C[白は下辺を割って打つ。]TE[1]"
            text = "(;GM[1]FF[4]CA[UTF-8]SZ[19]PB[黒番の棋士]PW[白番の棋士]KM[6.5]GC[解説付きの棋譜]"
            text += ";".join([""] + moves[:11])
            text += "(;" + ";".join(moves[11:]) + ")(;B[dj]C[変化：こちらも有力。])"
            text += ")"
            demo = os.path.join(s.work, "解説.sgf")
            with open(demo, "w", encoding="utf-8") as f:
                f.write(text)
            with open(s.ini, "w", encoding="utf-8") as f:
                f.write("[Display]\nTejun=1\nComment=1\nCommentArea=8\nVariations=1\n")
            app = s.start(demo)
            wid = s.wait_window(" - Tavrin$")
            s.focus(wid)
            s.key("ctrl+Up")
            for _ in range(11):
                s.key("ctrl+Right")
            time.sleep(0.4)
            s.screenshot(os.path.join(out, "comments.png"), wid)
            app.kill()
            app.wait()

        # A commented professional game with its diagrams as variations: the board marks the
        # next moves of each, the tree pane shows the whole record, the comment window links them.
        meijin = os.path.join(here, "..", "..", "shared", "corpus", "variations", "kigo__Meijin-21-2.sgf")
        if os.path.exists(meijin):
            def into_variation(s):
                s.key("ctrl+Up")
                for _ in range(10):
                    s.key("ctrl+Right")
            shoot(s, meijin, "variations.png", out, before=into_variation, wait=0.5,
                  ini="[Display]\nWidth=1000\nHeight=760\nComment=1\nTree=1\nTreeSize=120\nCommentSize=120\n")

            # 検索: every node whose comment or name holds the text, listed in the results pane.
            def search(s):
                s.key("ctrl+f")
                time.sleep(0.5)
                s.xdo("type", "--delay", "60", "diagram")
                s.key("Return")
            shoot(s, meijin, "search.png", out, before=search, wait=0.8,
                  ini="[Display]\nWidth=1000\nHeight=760\nComment=1\nCommentSize=120\n")

        # A life-and-death problem with its marks: the answer and a failure as variations.
        problem_text = ("(;GM[1]FF[4]CA[UTF-8]SZ[19]PL[B]GN[詰碁]C[黒先活き。Aの急所は？]"
                        "AB[pq][oq][nq][mr][qp][qo][rn][rm]AW[pp][op][np][mq][lr][po][qn][qm][rl][sm][or]"
                        "LB[rq:A][sr:B]TR[pq][qp]"
                        "(;B[rq]C[正解。二眼できる。]TE[1];W[sp];B[ro]C[これで活き。])"
                        "(;B[sr]C[失敗。]BM[1];W[rq]C[眼が一つしかない。]MA[qr][ps])")
        demo = os.path.join(s.work, "詰碁.sgf")
        with open(demo, "w", encoding="utf-8") as f:
            f.write(problem_text)
        shoot(s, demo, "markup.png", out, before=lambda s: s.key("ctrl+Up"), wait=0.5,
              ini="[Display]\nWidth=1000\nHeight=760\nComment=1\nTree=1\nTreeSize=100\nCommentSize=120\n")

        # 盤面編集 on a new game: a position set up by hand, marked, with the tools' bar; then
        # 検討 on the professional game, a line of its own tried at move 10.
        def set_up(s):
            s.key("ctrl+e")
            time.sleep(0.3)
            wid = s.wait_window(" - Tavrin$")
            board = Board(s, wid)
            for c, r in [(3, 3), (4, 3), (5, 3), (6, 4), (6, 5)]:
                board.click(c, r)
            for c, r in [(3, 4), (4, 4), (5, 4), (3, 5), (7, 3)]:
                board.click(c, r, button=3)
            s.key("t")
            board.click(4, 4)
            s.key("l")
            board.click(2, 2)
            board.click(2, 4)
        shoot(s, None, "editing.png", out, before=set_up, wait=0.5,
              ini="[Display]\nWidth=900\nHeight=700\nTree=1\nTreeSize=90\n")
        if os.path.exists(meijin):
            def study(s):
                s.key("ctrl+Up")
                time.sleep(0.4)
                board = Board(s, s.wait_window(" - Tavrin$"))  # the empty start shows every line
                for _ in range(10):
                    s.key("ctrl+Right")
                s.key("ctrl+y")
                time.sleep(0.3)
                for c, r in [(16, 6), (17, 7), (18, 5), (18, 6)]:
                    board.click(c, r)
            shoot(s, meijin, "study.png", out, before=study, wait=0.5,
                  ini="[Display]\nWidth=1000\nHeight=760\nComment=1\nTree=1\nTreeSize=120\nCommentSize=120\n")

        # A problem set up with black and white stones (AB/AW, white to play).
        problem = os.path.join(here, "..", "..", "shared", "corpus", "small", "9x9",
                               "gnugo__regression__games__trevor__trevor_09.sgf")
        if os.path.exists(problem):
            shoot(s, problem, "problem.png", out)

        # 布石定石 over the professional games of the shared records, at move 2 of one of them.
        pro = os.path.join(here, "..", "..", "shared", "corpus", "pro")
        if os.path.exists(record) and os.path.isdir(pro):
            def move2(s):
                time.sleep(3)  # the library is indexed after the first picture
                s.key("ctrl+Up")
                for _ in range(2):
                    s.key("ctrl+Right")
            shoot(s, record, "explorer.png", out, before=move2, wait=0.5,
                  ini="[Display]\nWidth=920\nHeight=600\nFskJsk=1\n[Library]\nCount=1\nFolder0=%s\n"
                      % os.path.abspath(pro))

        # Counting a finished 13 x 13 game (終局計算) with GNU Go's dead stones.
        finished = os.path.join(here, "..", "..", "shared", "corpus", "small", "13x13",
                                "gnugo__regression__games__mertin13x13__gointellect-gnugo1.B+14.sgf")
        if os.path.exists(finished):
            def count(s):
                s.key("alt+p")
                time.sleep(0.3)
                s.key("j")
            shoot(s, finished, "counting.png", out, before=count, wait=6)
        print("screenshots written to", out)
        return 0
    finally:
        s.close()


if __name__ == "__main__":
    sys.exit(main())
