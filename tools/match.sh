#!/usr/bin/env bash
# Plays a short match of Kelpin against another XBoard engine inside xboard,
# headless under xvfb-run, in xboard's match mode, and sums it up.
# Kelpin is xboard's first engine; colours alternate, and every opening line of
# the book (or every start position of a FEN file) is played twice, once with
# each colour. Opening lines reach both engines as moves (a PGN game from the
# initial position, replayed in force mode), FEN positions through setboard.
# With -u Kelpin speaks UCI, through the polyglot adapter that xboard starts.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
games=20
tc=1
mps=40
inc=
st=
fen=
uci=false
initial=false
ponder=false
options=
opponent=/usr/games/fairymax
engine=$root/build/kelpin
out=$root/build/match
book=$root/tools/eroeffnungen.txt
pause=1000
extra=

usage() {
    cat <<EOF
usage: tools/match.sh [-n games] [-c control] [-t minutes[:seconds]] [-m moves]
                      [-i seconds] [-s seconds] [-f fen-file] [-k] [-u] [-P]
                      [-O options] [-o opponent] [-e engine] [-d results-dir]
                      [-b openings] [-p pause-ms]
  -n  number of games (default $games)
  -c  a time control by name: 40/60 (40 moves in 1 minute, the default),
      40/10 (40 moves in 10 seconds), g1 (the game in 1 minute),
      30+0.5 (30 seconds and 0.5 seconds a move), st1 (1 second a move)
  -t  time control per session, xboard's -tc (default $tc)
  -m  moves per session, xboard's -mps (default $mps)
  -i  increment in seconds after each move, xboard's -inc (sets -m aside)
  -s  whole seconds per move, passed as xboard's -st m:s (sets -t, -m and -i aside)
  -f  start positions, one FEN a line, instead of the opening lines
  -k  every game from the initial position (no opening lines): Kelpin's book
      decides how games differ
  -u  Kelpin as a UCI engine, through polyglot (installed if missing)
  -P  both engines ponder (xboard's -ponder)
  -O  Kelpin's options as xboard sends them, e.g. "OwnBook=0,Hash=1024"
  -o  opponent command (default $opponent)
  -e  Kelpin binary (default build/kelpin)
  -d  results folder for games.pgn, xboard.debug, xboard.log (default build/match)
  -b  opening lines, coordinate moves from the initial position (default tools/eroeffnungen.txt)
  -x  further xboard options, e.g. "-checkMates false"
  -p  pause between games in ms (default $pause)
EOF
}

while getopts n:c:t:m:i:s:f:kuPO:o:e:d:b:p:x:h opt; do
    case $opt in
        n) games=$OPTARG ;;
        c) case $OPTARG in
               40/60) tc=1 mps=40 inc= st= ;;
               40/10) tc=0:10 mps=40 inc= st= ;;
               g1) tc=1 inc=0 st= ;;
               30+0.5) tc=0:30 inc=0.5 st= ;;
               st1) st=1 ;;
               *) echo "match: unknown time control $OPTARG" >&2; usage >&2; exit 2 ;;
           esac ;;
        t) tc=$OPTARG ;;
        m) mps=$OPTARG ;;
        i) inc=$OPTARG ;;
        s) st=$OPTARG ;;
        f) fen=$OPTARG ;;
        k) initial=true ;;
        u) uci=true ;;
        P) ponder=true ;;
        O) options=$OPTARG ;;
        o) opponent=$OPTARG ;;
        e) engine=$OPTARG ;;
        d) out=$OPTARG ;;
        b) book=$OPTARG ;;
        p) pause=$OPTARG ;;
        x) extra=$OPTARG ;;
        h) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done

[[ -x $engine ]] || { echo "match: no engine at $engine (run make build)" >&2; exit 2; }
engine=$(cd "$(dirname "$engine")" && pwd)/$(basename "$engine")

# xboard, the opponent and a virtual display, from Debian's packages; xboard
# starts polyglot by name, and Debian puts it with the games.
export PATH="/usr/games:$PATH"
missing=()
[[ -x /usr/games/xboard ]] || missing+=(xboard)
[[ $opponent != /usr/games/fairymax || -x /usr/games/fairymax ]] || missing+=(fairymax)
command -v xvfb-run >/dev/null || missing+=(xvfb)
command -v xauth >/dev/null || missing+=(xauth)
if $uci && ! command -v polyglot >/dev/null; then missing+=(polyglot); fi
if ((${#missing[@]})); then
    echo "match: installing ${missing[*]} with apt-get"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

mkdir -p "$out/home"
out=$(cd "$out" && pwd)
rm -f "$out/games.pgn" "$out/xboard.debug" "$out/xboard.log"

if $initial; then
    # The initial position in every game.
    count=1
    start=()
elif [[ -n $fen ]]; then
    # Start positions: xboard sends them with setboard.
    [[ -f $fen ]] || { echo "match: no FEN file $fen" >&2; exit 2; }
    grep -v '^#' "$fen" | awk 'NF' >"$out/stellungen.fen"
    count=$(wc -l <"$out/stellungen.fen")
    ((count > 0)) || { echo "match: no positions in $fen" >&2; exit 2; }
    start=(-loadPositionFile "$out/stellungen.fen" -loadPositionIndex -2 -rewindIndex "$count")
else
    # The opening lines as PGN games without results, one game per line.
    count=$(awk '!/^#/ && NF { n++ } END { print n + 0 }' "$book")
    ((count > 0)) || { echo "match: no opening lines in $book" >&2; exit 2; }
    awk '!/^#/ && NF {
        printf "[Event \"Opening %d\"]\n[Result \"*\"]\n\n", ++n
        for (i = 1; i <= NF; i++) printf "%s%s ", (i % 2 ? (i + 1) / 2 ". " : ""), $i
        print "*\n"
    }' "$book" >"$out/eroeffnungen.pgn"
    start=(-loadGameFile "$out/eroeffnungen.pgn" -loadGameIndex -2 -rewindIndex "$count" -timeDelay 0)
fi

# The clock: seconds a move, or a session of minutes[:seconds] with either
# moves per session or an increment. Per game and side the guard allows
# ten sessions' worth, or 300 moves at the fixed time.
if [[ -n $st ]]; then
    # xboard reads -st as minutes[:seconds]: a bare 1 would be a minute.
    [[ $st =~ ^[0-9]+$ ]] || { echo "match: -s takes whole seconds" >&2; exit 2; }
    clock=(-st "$((10#$st / 60)):$((10#$st % 60))")
    control="$st s a move"
    side=$((300 * ${st%.*} + 300))
else
    IFS=: read -r minutes seconds <<<"$tc"
    side=$((10 * (10#$minutes * 60 + 10#${seconds:-0}) + 60))
    if [[ -n $inc ]]; then
        clock=(-tc "$tc" -inc "$inc")
        control="$tc min + $inc s a move"
        side=$((side + 300 * ${inc%.*} + 150))
    else
        clock=(-tc "$tc" -mps "$mps")
        control="$mps moves in $tc min"
    fi
fi
guard=$((games * (2 * side + pause / 1000 + 60)))

first=(-fcp "$engine" -fd "$out")
$uci && first+=(-fUCI)
[[ -n $options ]] && first+=(-firstOptions "$options")
pondering=-xponder
$ponder && pondering=-ponder
args=(
    "${first[@]}"
    -scp "$opponent" -sd "$out"
    -matchGames "$games"
    "${clock[@]}" "$pondering"
    "${start[@]}"
    -saveGameFile "$out/games.pgn"
    -debug -nameOfDebugFile "$out/xboard.debug"
    -autoCallFlag true -testClaims true
    -matchPause "$pause"
    -popupExitMessage false -saveSettingsOnExit false -soundProgram true
    # No move animation: xboard reads no engine output while it animates a
    # move (about 73 ms on the virtual display) and charges that to the
    # clock of the engine that was just sent the move.
    -xanimate
)
read -r -a more <<<"$extra"
args+=("${more[@]}")
echo "match: $games games, $control, Kelpin$($uci && echo " (UCI)")$($ponder && echo ", pondering")$([[ -n $options ]] && echo " ($options)") against $opponent; results in $out"
echo "xboard ${args[*]}" >"$out/xboard.cmd"

# HOME points at an empty folder so that no personal ~/.xboardrc takes part.
status=0
HOME=$out/home timeout "$guard" xvfb-run -a -s "-screen 0 1280x1024x24" \
    /usr/games/xboard "${args[@]}" >"$out/xboard.log" 2>&1 || status=$?
((status == 124)) && echo "match: xboard did not finish within $guard s and was stopped" >&2

python3 "$root/tools/match_summary.py" "$out/games.pgn" "$out/xboard.debug" "$games" "$count" \
    "${st:-}" "$tc" "$mps" "${inc:-}" || status=1
exit "$status"
