#!/usr/bin/env bash
# An SPRT of one build of Kelpin against another with fastchess: games from
# the openings of tools/eroeffnungen.epd, each opening with both colours,
# until the test accepts (the new build gains elo1) or rejects (it gains
# nothing), or the rounds run out. Prints fastchess's result: games, W/D/L,
# Elo with its error, LLR.
#
# usage: tools/sprt.sh [-t tc] [-r rounds] [-c concurrency] [-e elo1] NEW BASE
#   NEW, BASE  a commit (built under build/sprt/<hash>), or the path of an
#              engine binary
#   -t  time control, fastchess's tc (default 10+0.1)
#   -r  most rounds of two games (default 5000)
#   -c  games at once (default 1; one per free core)
#   -e  the gain the test looks for, elo1 (default 10; elo0 is 0)
# FASTCHESS names the fastchess binary (default: fastchess on the PATH, else
# ../shared/tools/fastchess). OPTIONS are passed to both engines, default
# "option.OwnBook=false" (the openings give the variety).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tc=10+0.1
rounds=5000
concurrency=1
elo1=10
while getopts t:r:c:e:h opt; do
    case $opt in
        t) tc=$OPTARG ;;
        r) rounds=$OPTARG ;;
        c) concurrency=$OPTARG ;;
        e) elo1=$OPTARG ;;
        *) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
(($# == 2)) || { sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

fastchess=${FASTCHESS:-$(command -v fastchess || echo "$root/../shared/tools/fastchess")}
[[ -x $fastchess ]] || { echo "sprt: no fastchess at $fastchess (set FASTCHESS=)" >&2; exit 2; }

# A commit is built once, in Release, without the tests.
bauen() {
    if [[ -x $1 && ! -d $1 ]]; then
        realpath "$1"
        return
    fi
    local commit ort
    commit=$(git rev-parse --verify --quiet "$1^{commit}") || { echo "sprt: no commit or engine '$1'" >&2; exit 2; }
    ort=$root/build/sprt/$commit
    if [[ ! -x $ort/bau/kelpin ]]; then
        rm -rf "$ort"
        mkdir -p "$ort/quelle"
        git archive "$commit" | tar -x -C "$ort/quelle"
        cmake -S "$ort/quelle" -B "$ort/bau" -DCMAKE_BUILD_TYPE=Release -DKELPIN_TESTS=OFF >"$ort/bau.log" 2>&1 &&
            cmake --build "$ort/bau" --target kelpin -j 2 >>"$ort/bau.log" 2>&1 ||
            { cat "$ort/bau.log" >&2; exit 1; }
    fi
    echo "$ort/bau/kelpin"
}
neu=$(bauen "$1")
basis=$(bauen "$2")
out=$root/build/sprt
mkdir -p "$out"
read -r -a optionen <<<"${OPTIONS:-option.OwnBook=false}"

echo "sprt: $1 against $2 at $tc, elo0=0 elo1=$elo1, at most $rounds rounds, $concurrency at once"
"$fastchess" -engine cmd="$neu" name=neu -engine cmd="$basis" name=basis \
    -each tc="$tc" "${optionen[@]}" \
    -openings file="$root/tools/eroeffnungen.epd" format=epd order=random \
    -rounds "$rounds" -repeat -concurrency "$concurrency" -recover \
    -sprt elo0=0 elo1="$elo1" alpha=0.05 beta=0.05 \
    -pgnout file="$out/sprt.pgn" 2>&1 | tee "$out/sprt.log" |
    grep -E --line-buffered "^(Results of|Elo:|LLR:|Games:|Ptnml|SPRT|Finished|Warning|.*(illegal|disconnect|timeout|loses on time))" || true
