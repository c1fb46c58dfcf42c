#!/usr/bin/env bash
# Plays a short match of Kelpin against another XBoard engine inside xboard,
# headless under xvfb-run, in xboard's match mode, and sums it up.
# Kelpin is xboard's first engine; colours alternate, and every opening line of
# the book is played twice, once with each colour. The openings reach both
# engines as moves (a PGN game from the initial position, replayed in force
# mode), because Kelpin ignores position set-up.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
games=20
tc=1
mps=40
opponent=/usr/games/fairymax
engine=$root/build/kelpin
out=$root/build/match
book=$root/tools/eroeffnungen.txt
pause=10000
extra=

usage() {
    cat <<EOF
usage: tools/match.sh [-n games] [-t minutes[:seconds]] [-m moves] [-o opponent]
                      [-e engine] [-d results-dir] [-b openings] [-p pause-ms]
  -n  number of games (default $games)
  -t  time control per session, xboard's -tc (default $tc)
  -m  moves per session, xboard's -mps (default $mps)
  -o  opponent command (default $opponent)
  -e  Kelpin binary (default build/kelpin)
  -d  results folder for games.pgn, xboard.debug, xboard.log (default build/match)
  -b  opening lines, coordinate moves from the initial position (default tools/eroeffnungen.txt)
  -x  further xboard options, e.g. "-checkMates false"
  -p  pause between games in ms (default $pause; Kelpin has no ping, so a move it
      finishes after a game has ended must arrive before the next game starts)
EOF
}

while getopts n:t:m:o:e:d:b:p:x:h opt; do
    case $opt in
        n) games=$OPTARG ;;
        t) tc=$OPTARG ;;
        m) mps=$OPTARG ;;
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

# xboard, the opponent and a virtual display, from Debian's packages.
missing=()
[[ -x /usr/games/xboard ]] || missing+=(xboard)
[[ $opponent != /usr/games/fairymax || -x /usr/games/fairymax ]] || missing+=(fairymax)
command -v xvfb-run >/dev/null || missing+=(xvfb)
command -v xauth >/dev/null || missing+=(xauth)
if ((${#missing[@]})); then
    echo "match: installing ${missing[*]} with apt-get"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

mkdir -p "$out/home"
out=$(cd "$out" && pwd)
rm -f "$out/games.pgn" "$out/xboard.debug" "$out/xboard.log"

# The opening lines as PGN games without results, one game per line.
count=$(awk '!/^#/ && NF { n++ } END { print n + 0 }' "$book")
((count > 0)) || { echo "match: no opening lines in $book" >&2; exit 2; }
awk '!/^#/ && NF {
    printf "[Event \"Opening %d\"]\n[Result \"*\"]\n\n", ++n
    for (i = 1; i <= NF; i++) printf "%s%s ", (i % 2 ? (i + 1) / 2 ". " : ""), $i
    print "*\n"
}' "$book" >"$out/eroeffnungen.pgn"

# A guard against a hung GUI: ten sessions' worth of clock per game and side.
IFS=: read -r minutes seconds <<<"$tc"
guard=$((games * (20 * (10#$minutes * 60 + 10#${seconds:-0}) + pause / 1000 + 60)))

args=(
    -fcp "$engine" -fd "$out"
    -scp "$opponent" -sd "$out"
    -matchGames "$games"
    -tc "$tc" -mps "$mps" -xponder
    -loadGameFile "$out/eroeffnungen.pgn" -loadGameIndex -2 -rewindIndex "$count" -timeDelay 0
    -saveGameFile "$out/games.pgn"
    -debug -nameOfDebugFile "$out/xboard.debug"
    -autoCallFlag true -testClaims true
    -matchPause "$pause"
    -popupExitMessage false -saveSettingsOnExit false -soundProgram true
)
read -r -a more <<<"$extra"
args+=("${more[@]}")
echo "match: $games games, $mps moves in $tc min, Kelpin against $opponent; results in $out"
echo "xboard ${args[*]}" >"$out/xboard.cmd"

# HOME points at an empty folder so that no personal ~/.xboardrc takes part.
status=0
HOME=$out/home timeout "$guard" xvfb-run -a -s "-screen 0 1280x1024x24" \
    /usr/games/xboard "${args[@]}" >"$out/xboard.log" 2>&1 || status=$?
((status == 124)) && echo "match: xboard did not finish within $guard s and was stopped" >&2

python3 "$root/tools/match_summary.py" "$out/games.pgn" "$out/xboard.debug" "$games" "$count" || status=1
exit "$status"
