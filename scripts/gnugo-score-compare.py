#!/usr/bin/env python3
"""Counts the finished games of a folder of records twice and compares the results.

A finished game is one whose main line ends with two passes. For each, GNU Go (GTP mode,
Japanese rules, its defaults) loads the record and names the dead stones
(`final_status_list dead`) and its score (`final_score`); then `tavrin-kifu score --dead ...`
counts the same position with those stones dead. The results agree when winner and margin
are equal.

usage: gnugo-score-compare.py --kifu PATH/tavrin-kifu [--corpus DIR] [--gnugo PATH]
                              [--timeout SECONDS] [--target PERCENT]
Prints one line per game (AGREE or DIFFER, both results, the stones GNU Go names in seki),
then a summary; exits 1 when the agreement falls below the target.
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def sgf_tree(text):
    """Nodes as lists of (identifier, [values]) and children: (nodes, [subtrees])."""
    i = 0
    n = len(text)

    def parse_tree():
        nonlocal i
        nodes, children = [], []
        while i < n:
            c = text[i]
            if c == ';':
                i += 1
                props = []
                while True:
                    while i < n and text[i].isspace():
                        i += 1
                    m = re.compile(r'[A-Za-z]+').match(text, i)
                    if not m:
                        break
                    ident = re.sub('[a-z]', '', m.group(0))
                    i = m.end()
                    values = []
                    while True:
                        while i < n and text[i].isspace():
                            i += 1
                        if i >= n or text[i] != '[':
                            break
                        i += 1
                        v = []
                        while i < n and text[i] != ']':
                            if text[i] == '\\':
                                i += 1
                            if i < n:
                                v.append(text[i])
                            i += 1
                        i += 1
                        values.append(''.join(v))
                    props.append((ident, values))
                nodes.append(props)
            elif c == '(':
                i += 1
                children.append(parse_tree())
            elif c == ')':
                i += 1
                return nodes, children
            else:
                i += 1
        return nodes, children

    start = text.find('(')
    if start < 0:
        return None
    i = start + 1
    return parse_tree()


def main_line_moves(tree, size):
    """The main line's moves as (colour, vertex or None for a pass)."""
    moves = []
    while tree:
        nodes, children = tree
        for props in nodes:
            for ident, values in props:
                if ident in ('B', 'W') and values:
                    v = values[0]
                    if v == '' or (v == 'tt' and size <= 19):
                        moves.append((ident, None))
                    else:
                        moves.append((ident, v))
        tree = children[0] if children else None
    return moves


def finished_games(corpus):
    found = []
    for root, _, files in os.walk(corpus):
        for name in files:
            if not name.lower().endswith('.sgf'):
                continue
            path = os.path.join(root, name)
            with open(path, 'rb') as f:
                text = f.read().decode('latin-1')
            tree = sgf_tree(text)
            if not tree:
                continue
            size_match = re.search(r'SZ\s*\[\s*(\d+)', text)
            size = int(size_match.group(1)) if size_match else 19
            moves = main_line_moves(tree, size)
            if len(moves) >= 2 and moves[-1][1] is None and moves[-2][1] is None:
                found.append(path)
    return sorted(found)


def gtp(gnugo, commands, timeout):
    """The answers to the commands, in order; None for a refused command."""
    script = ''.join(c + '\n' for c in commands) + 'quit\n'
    out = subprocess.run([gnugo, '--mode', 'gtp'], input=script, capture_output=True,
                         text=True, timeout=timeout).stdout
    answers = []
    for block in out.split('\n\n'):
        block = block.strip('\n')
        if not block:
            continue
        answers.append(block[1:].strip() if block.startswith('=') else None)
    return answers[:len(commands)]


def margin(result):
    """Black's margin as a number from 'B+3.5', 'W+12.0' or '0'."""
    result = result.strip()
    if result == '0':
        return 0.0
    m = re.fullmatch(r'([BW])\+(\d+(?:\.\d+)?)', result)
    if not m:
        return None
    value = float(m.group(2))
    return value if m.group(1) == 'B' else -value


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--kifu', required=True)
    ap.add_argument('--corpus', default=os.path.join(HERE, '..', '..', 'shared', 'corpus'))
    ap.add_argument('--gnugo', default='/usr/games/gnugo')
    ap.add_argument('--timeout', type=float, default=300)
    ap.add_argument('--target', type=float, default=95.0)
    args = ap.parse_args()

    games = finished_games(args.corpus)
    agree, differ, skipped = 0, [], []
    for path in games:
        rel = os.path.relpath(path, args.corpus)
        try:
            answers = gtp(args.gnugo, ['loadsgf ' + path, 'final_status_list dead',
                                       'final_status_list seki', 'final_score'], args.timeout)
        except subprocess.TimeoutExpired:
            skipped.append((rel, 'GNU Go took longer than %g s' % args.timeout))
            print('SKIP\t%s\tGNU Go timed out' % rel, flush=True)
            continue
        if len(answers) < 4 or any(a is None for a in answers):
            skipped.append((rel, 'GNU Go refused: %r' % answers))
            print('SKIP\t%s\tGNU Go refused the record' % rel, flush=True)
            continue
        dead = answers[1].split()
        seki = answers[2].split()
        gnugo_result = answers[3]
        cmd = [args.kifu, 'score']
        if dead:
            cmd += ['--dead', ','.join(dead)]
        run = subprocess.run(cmd + [path], capture_output=True, text=True)
        if run.returncode != 0:
            skipped.append((rel, 'tavrin-kifu: ' + run.stderr.strip()))
            print('SKIP\t%s\ttavrin-kifu refused: %s' % (rel, run.stderr.strip()), flush=True)
            continue
        ours = run.stdout.split()
        our_result = ours[ours.index('RESULT') + 1]
        same = margin(our_result) is not None and margin(our_result) == margin(gnugo_result)
        verdict = 'AGREE' if same else 'DIFFER'
        print('%s\t%s\tgnugo %s\ttavrin %s\t%s\tdead %d seki %d' % (
            verdict, rel, gnugo_result, our_result, ' '.join(ours), len(dead), len(seki)),
            flush=True)
        if same:
            agree += 1
        else:
            differ.append((rel, gnugo_result, our_result, seki))
    compared = agree + len(differ)
    share = 100.0 * agree / compared if compared else 0.0
    print('\n%d finished games, %d compared, %d agree (%.1f %%), %d differ, %d skipped' % (
        len(games), compared, agree, share, len(differ), len(skipped)))
    for rel, theirs, ours, seki in differ:
        print('  differ: %s  gnugo %s  tavrin %s%s' % (
            rel, theirs, ours, ('  seki ' + ' '.join(seki)) if seki else ''))
    for rel, why in skipped:
        print('  skipped: %s  %s' % (rel, why))
    return 0 if compared and share >= args.target else 1


if __name__ == '__main__':
    sys.exit(main())
