#!/usr/bin/env python3
"""Sums up a match played by tools/match.sh.

usage: match_summary.py games.pgn xboard.debug expected-games opening-lines
                        [st tc mps inc]

From the PGN: Kelpin's score and how each game ended, classified by the result
comment xboard wrote. From xboard's debug log (Kelpin is the first engine):
what xboard sent to Kelpin, its thinking time per move as xboard charged it
(from the last line sent to Kelpin to its move, by the log's millisecond
stamps), the clock xboard reported before each of those moves, Kelpin's own
result lines, and every complaint. With the time control (st in seconds, or
tc in minutes[:seconds] with mps or inc; empty fields for the unused ones)
each thinking time is set against its share of the clock: the fixed time, or
the clock over the moves to the next control (30 in sudden death) plus the
increment. Exits 1 when fewer games were saved than expected.
"""
import re
import sys
from collections import Counter

MOVE = re.compile(r"^[a-h][1-8][a-h][1-8][qrbnQRBN]?$")
CLAIM = re.compile(r"^(result )?(1-0|0-1|1/2-1/2) \{")
TROUBLE = re.compile(r"Illegal move|Forfeit|False (win|draw|illegal)|exited unexpectedly|"
                     r"(Undoing|Ignoring) extra move|Error|IllegalMove")

# Result comment written by xboard (lower case) -> kind of ending; first match wins.
ENDINGS = [
    ("on time", "time forfeit"),
    ("false", "false claim"),
    ("forfeit due to", "illegal move"),
    ("illegal", "illegal move"),
    ("exit", "engine crash or disconnect"),
    ("crash", "engine crash or disconnect"),
    ("disconnect", "engine crash or disconnect"),
    # before "mate", which "material" also holds
    ("insufficient", "draw: insufficient material"),
    ("bare king", "draw: insufficient material"),
    ("trivial", "draw: insufficient material"),
    ("stalemate", "stalemate"),
    ("mate", "mate"),
    ("resign", "resignation"),
    ("repetition", "draw: repetition"),
    ("50-move", "draw: 50 moves"),
    ("fifty", "draw: 50 moves"),
    ("long game", "adjudicated: long game"),
]


def ending(reason):
    low = reason.lower()
    return next((kind for key, kind in ENDINGS if key in low), "other" if reason else "no reason given")


def read_games(path):
    try:
        text = open(path, encoding="utf-8", errors="replace").read()
    except FileNotFoundError:
        return []
    games = []
    for chunk in re.split(r"\n(?=\[Event )", text.strip()):
        if not chunk.startswith("[Event"):
            continue
        tags = dict(re.findall(r'^\[(\w+) "(.*)"\]$', chunk, re.M))
        body = re.sub(r"^\[.*\]$", "", chunk, flags=re.M)
        m = re.search(r"(?:\{([^}]*)\}\s*)?(1-0|0-1|1/2-1/2|\*)\s*$", body)
        reason, result = (m.group(1) or "", m.group(2)) if m else ("", "*")
        games.append((tags, body, result, " ".join(reason.split())))
    return games


def move_times(body, colour):
    """Thinking times (seconds) of one side, from comments like {+0.41/9 1.3},
    each with the number of moves that side had made before it."""
    times, ply = [], 0
    for tok in re.findall(r"\{[^}]*\}|\S+", body):
        if tok.startswith("{"):
            m = re.search(r"/\d+\s+([\d.]+)\s*\}$", tok)
            if m and ply % 2 == (1 if colour == "White" else 0):
                times.append(((ply - 1) // 2, float(m.group(1))))
        elif not re.match(r"^(\d+\.+|1-0|0-1|1/2-1/2|\*)$", tok):
            ply += 1
    return times, ply


def seconds(tc):
    minutes, _, secs = tc.partition(":")
    return 60 * float(minutes or 0) + float(secs or 0)


def share(clock, made, st, mps, inc):
    """The thinking time a move may take on average: st, or the clock over the
    moves to the next control plus the increment."""
    if st:
        return float(st)
    togo = mps - made % mps if mps > 0 and inc is None else 30
    return clock / togo + (inc or 0)


def read_log(path):
    """Splits the debug log at xboard's 'New game (n)' lines; also returns, per
    game, each of Kelpin's moves as (seconds from the last line sent to it,
    the clock in seconds from the last 'time' sent before it)."""
    per_game, sent, said, clocks = [[]], Counter(), Counter(), [[]]
    last_sent, clock = None, None
    last_to_first = False
    # The reply Kelpin's last thinking line expected to its move, and whether
    # the opponent's next move was it.
    expected, line_expects, hits = None, None, Counter()
    thinking = re.compile(r"^\d+ -?\d+ \d+ \d+ (\S+) (\S+)")
    try:
        lines = open(path, encoding="utf-8", errors="replace").read().splitlines()
    except FileNotFoundError:
        return per_game, sent, said, clocks
    for line in lines:
        m = re.match(r"^\d+ ([<>])(first|second) ?: ?(.*)$", line)
        if line.startswith("New game ("):
            per_game.append([])
            clocks.append([])
        if m and m.group(2) == "first":
            word = m.group(3).split()[0] if m.group(3).split() else ""
            stamp = int(line.split()[0])
            if m.group(1) == ">":
                if MOVE.match(word) and expected is not None:
                    hits["hit" if word.lower() == expected.lower() else "miss"] += 1
                    expected = None
                sent["<move>" if MOVE.match(word) else word] += 1
                last_sent = stamp
                if word == "time" and len(m.group(3).split()) > 1:
                    clock = int(m.group(3).split()[1]) / 100
            elif (t := thinking.match(m.group(3))) is not None:
                line_expects = t.group(2)
            elif word == "move" and last_sent is not None and clock is not None:
                clocks[-1].append(((stamp - last_sent) / 1000, clock))
            if word == "move":
                expected = line_expects
                line_expects = None
            elif CLAIM.match(m.group(3)):
                said[m.group(3)] += 1
                per_game[-1].append(line)
        elif last_to_first and re.match(r"^[a-z]+( [\w.-]+)*$", line):
            sent[line.split()[0]] += 1  # second line of a multi-line send
            continue
        last_to_first = bool(m and m.group(1) == ">" and m.group(2) == "first")
        sends = m and m.group(1) == ">"  # xboard repeating a result to the engines
        if TROUBLE.search(line) and not sends and not line.startswith("GE(") and "unknown command" not in line:
            per_game[-1].append(line)
    return per_game, sent, said, clocks, hits


def main():
    pgn, debug, expected, openings = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    st, tc, mps, inc = (sys.argv[5:9] + [""] * 4)[:4]
    mps = int(mps or 0)
    inc = float(inc) if inc else None
    games = read_games(pgn)
    per_game, sent, said, clocks, hits = read_log(debug)
    openings_seen = Counter()
    score, kinds, times, shares, left, lowest = Counter(), Counter(), [], [], [], []

    print(f"\n{'game':>4} {'open':>4}  {'Kelpin':6} {'result':7} {'plies':>5}  {'for Kelpin':10} {'ending':26} xboard's comment")
    for n, (tags, body, result, reason) in enumerate(games, 1):
        colour = "White" if "kelpin" in tags.get("White", "").lower() else "Black"
        won = {"1-0": "White", "0-1": "Black"}.get(result)
        outcome = "draw" if result == "1/2-1/2" else "none" if not won else "win" if won == colour else "loss"
        kind = ending(reason)
        if kind in ("time forfeit", "illegal move", "false claim", "engine crash or disconnect") and won:
            kind += " (Kelpin)" if won != colour else " (opponent)"
        score[outcome] += 1
        kinds[kind] += 1
        t, plies = move_times(body, colour)
        sans = [tok for tok in re.findall(r"\{[^}]*\}|\S+", body)
                if not tok.startswith("{") and not re.match(r"^(\d+\.+|1-0|0-1|1/2-1/2|\*)$", tok)]
        openings_seen[" ".join(sans[:10])] += 1
        # Kelpin's moves of this game in the log (whose part n is game n);
        # the PGN tells how many moves its side had made before each.
        seen = clocks[n] if n < len(clocks) else []
        times += [secs for secs, _ in seen]
        if seen:
            left.append(seen[-1][1] - seen[-1][0])
            lowest.append(min(c - secs for secs, c in seen))
        if (tc or st) and len(seen) == len(t):
            shares += [(secs, share(c, made, st, mps, inc)) for (secs, c), (made, _) in zip(seen, t)]
        print(f"{n:4} {(n - 1) // 2 % openings + 1:4}  {colour:6} {result:7} {plies:5}  {outcome:10} {kind:26} {reason}")

    print(f"\nKelpin: {len(games)} games, {score['win']} won, {score['draw']} drawn, {score['loss']} lost"
          + (f", {score['none']} without result" if score["none"] else "")
          + f"; {score['win'] + score['draw'] / 2:g} points")
    print("Endings: " + ", ".join(f"{k} {v}" for k, v in kinds.most_common()))
    if times:
        print(f"Kelpin's thinking time per move: mean {sum(times) / len(times):.2f} s, "
              f"max {max(times):g} s, over 5 s {sum(t > 5 for t in times)} times, in {len(times)} moves")
    if shares:
        used, allowed = [t for t, _ in shares], [s for _, s in shares]
        worst = max(shares, key=lambda p: p[0] / p[1] if p[1] > 0 else 0)
        print(f"  against its share of the clock ({len(shares)} moves of games whose moves match the log): "
              f"mean share {sum(allowed) / len(allowed):.2f} s, time used / share: mean {sum(used) / sum(allowed):.2f}, "
              f"largest {worst[0] / worst[1]:.2f} ({worst[0]:g} s against {worst[1]:.2f} s)")
    if left:
        print(f"Clock left after Kelpin's last move: mean {sum(left) / len(left):.1f} s, least {min(left):.1f} s; "
              f"lowest after any move {min(lowest):.2f} s")
    tenth = [g[9][1] - g[9][0] for g in clocks[1:] if len(g) >= 10]
    if tenth:
        print(f"Clock left after Kelpin's 10th move: mean {sum(tenth) / len(tenth):.1f} s in {len(tenth)} games")
    print(f"Different games in the first 10 half-moves: {len(openings_seen)} of {len(games)}")
    if hits:
        print(f"Replies the last thinking line expected: {hits['hit']} of {hits['hit'] + hits['miss']} came "
              f"({100 * hits['hit'] / (hits['hit'] + hits['miss']):.0f} %)")

    print("\nxboard's debug log, Kelpin as first engine:")
    print("  sent to Kelpin: " + ", ".join(f"{w or '(empty)'} {c}" for w, c in sent.most_common()))
    setup = [w for w in ("setboard", "edit", "usermove", "ping") if sent[w]]
    print(f"  set-up, usermove or ping commands sent: {', '.join(setup) if setup else 'none'}")
    print("  Kelpin's result lines: " + (", ".join(f"'{k}' {v}" for k, v in said.items()) or "none"))
    trouble = [(n, line) for n, lines in enumerate(per_game) for line in lines]
    print(f"  complaints and claims by game ({len(trouble)}):" if trouble else "  no complaints")
    for n, line in trouble:
        m = CLAIM.match(line.split("<first : ", 1)[-1])
        if m and "<first : " in line and 0 < n <= len(games):
            result = games[n - 1][2]
            line += f"   [game result {result}{'' if m.group(2) == result else ', claim DISAGREES'}]"
        if "extra move" in line:
            who = "Kelpin" if line.rstrip().endswith("first") else "the opponent"
            line += f"   [a move {who} sent after the game had ended]"
        print(f"    game {n}: {line}")

    if len(games) < expected:
        print(f"\nmatch: only {len(games)} of {expected} games were saved", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
