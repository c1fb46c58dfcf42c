#!/usr/bin/env bash
# make bench: the engine's speed on its measures, each the median of three
# runs, beside a peer engine (sjeng) timed in the same run.
#
# make bench BASE=<commit> builds that commit as well (under
# $BUILD/bench-base, kept for the next run of the same commit) and runs every
# measure alternately on both engines, so each line gives both figures and
# their ratio from one run on one machine. Both sides are measured by the
# current bench program (bench/bench.cpp), compiled against either engine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
base=${BASE:-}
runs=3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
mega() { awk "BEGIN {printf \"%.2f\", $1 / 1e6}"; }
quote() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }

seiten=(neu)
declare -A dir=([neu]=$build)

# The earlier commit: its sources from git archive, the current bench program
# over them, built in Release without the tests. The signature searches keep
# the commit's own bench/signatur.h, which calls that commit's driver (whose
# interface has changed over time); only a commit without one takes ours.
if [ -n "$base" ]; then
  commit=$(git rev-parse --verify --quiet "$base^{commit}") || { echo "make bench: no commit '$base'"; exit 1; }
  ort=$build/bench-base
  if [ "$(cat "$ort/commit" 2>/dev/null || true)" != "$commit" ]; then
    rm -rf "$ort"
    mkdir -p "$ort/quelle"
    git archive "$commit" | tar -x -C "$ort/quelle"
    echo "$commit" >"$ort/commit"
  fi
  cmp -s bench/bench.cpp "$ort/quelle/bench/bench.cpp" || cp bench/bench.cpp "$ort/quelle/bench/bench.cpp"
  [ -f "$ort/quelle/bench/signatur.h" ] || cp bench/signatur.h "$ort/quelle/bench/signatur.h"
  echo "building $(git log -1 --format='%h %s' "$commit" | cut -c1-70) in $ort"
  cmake -S "$ort/quelle" -B "$ort/bau" -DCMAKE_BUILD_TYPE=Release -DKELPIN_TESTS=OFF >"$tmp/cmake.log" 2>&1 &&
    cmake --build "$ort/bau" -j "${JOBS:-2}" >>"$tmp/cmake.log" 2>&1 || { cat "$tmp/cmake.log"; exit 1; }
  seiten+=(basis)
  dir[basis]=$ort/bau
fi

# The peer, installed with apt-get if missing.
peer=$(command -v sjeng || echo /usr/games/sjeng)
if [ ! -x "$peer" ]; then
  echo "installing sjeng for the side-by-side figures (apt-get install sjeng)"
  { apt-get install -y -qq sjeng >/dev/null 2>&1 || { apt-get update -qq && apt-get install -y -qq sjeng; }; } >/dev/null 2>&1 || true
fi
[ -x "$peer" ] || peer=""
sjeng() { (cd "$tmp" && printf '%s\nquit\n' "$1" | HOME="$tmp" timeout 300 "$peer" 2>/dev/null | tr -d '\r'); }

# One figure per call, appended to $tmp/<side>.<measure>.
perft_lauf() {  # side name setup depth
  local out
  out=$(printf '%sperft %s\nquit\n' "$3" "$4" | "${dir[$1]}/kelpin")
  sed -n 's/^movegen() to depth [0-9]* -> \([0-9]*\) nodes$/\1/p' <<<"$out" >"$tmp/$1.$2.anzahl"
  sed -n 's/^\([0-9-]*\) nodes per second$/\1/p' <<<"$out" >>"$tmp/$1.$2"
}
evalperft_lauf() {  # side
  printf 'evalperft 1\nquit\n' | "${dir[$1]}/kelpin" | sed -n 's/.*seconds: \([0-9]*\) evals\/sec$/\1/p' >>"$tmp/$1.evalperft"
}
bench_lauf() {  # side
  local out
  out=$("${dir[$1]}/kelpin_bench" --einmal bench/signatur.txt || true)
  awk '$1 == "eval4" {print $2}' <<<"$out" >>"$tmp/$1.eval4"
  awk '$1 == "eval8" {print $2}' <<<"$out" >>"$tmp/$1.eval8"
  awk '$1 == "suche" {print $3}' <<<"$out" >>"$tmp/$1.suche"
  awk '$1 == "suche" {print $2, $4}' <<<"$out" >>"$tmp/$1.signatur"
  grep '^stellung ' <<<"$out" >"$tmp/$1.stellungen" || true
}
sjeng_perft_lauf() {
  local out nodes secs
  out=$(sjeng 'perft 6')
  nodes=$(sed -n 's/.*Raw nodes for depth 6: \([0-9]*\).*/\1/p' <<<"$out")
  secs=$(sed -n 's/^Time : \([0-9.]*\).*/\1/p' <<<"$out")
  if [ -n "$nodes" ] && [ -n "$secs" ]; then awk "BEGIN {print $nodes / $secs}" >>"$tmp/sjeng.perft"; fi
}
sjeng_eval_lauf() {  # its speed command times movegen, make/unmake and eval
  sjeng speed | sed -n 's/.*Eval speed: \([0-9]*\).*/\1/p' >>"$tmp/sjeng.eval"
}

# RSS of a freshly started engine, once its tables are set up.
rss() {
  local engine=$1 pid
  { sleep 1; echo quit; } | "$engine" >/dev/null &
  sleep 0.5
  pid=$(pgrep -n -f "^$engine\$" || true)
  awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo "?"
  wait
}

# Every measure runs its passes alternately on each side (and the peer).
for _ in $(seq $runs); do
  for s in "${seiten[@]}"; do perft_lauf "$s" start "" 6; done
  [ -n "$peer" ] && sjeng_perft_lauf
done
for _ in $(seq $runs); do
  for s in "${seiten[@]}"; do perft_lauf "$s" tp4 $'setboard 4r2k/qp4pp/8/6N1/4P3/PQ1P4/2P3P1/7K\n' 5; done
done
for _ in $(seq $runs); do
  for s in "${seiten[@]}"; do evalperft_lauf "$s"; done
  [ -n "$peer" ] && sjeng_eval_lauf
done
for _ in $(seq $runs); do
  for s in "${seiten[@]}"; do bench_lauf "$s"; done
done

m() { median <"$tmp/$1.$2"; }
# A line with the figure of each side in millions and, with a base, the ratio.
zeile() {  # label measure unit
  local neu
  neu=$(m neu "$2")
  printf '%-44s %7s M %-8s' "$1" "$(mega "$neu")" "$3"
  if [ -n "$base" ]; then
    local alt
    alt=$(m basis "$2")
    printf '   base %7s M   kelpin/base = %s' "$(mega "$alt")" "$(quote "$neu" "$alt")"
  fi
  echo
}

echo "resident memory after start-up: $(rss "$build/kelpin") kB$([ -n "$base" ] && echo " (base $(rss "${dir[basis]}/kelpin") kB)")"
zeile "perft start position depth 6 ($(cat "$tmp/neu.start.anzahl")):" start "nodes/s"
zeile "perft test position 4 depth 5 ($(cat "$tmp/neu.tp4.anzahl")):" tp4 "nodes/s"
for p in start tp4; do
  if [ -n "$base" ] && [ "$(cat "$tmp/neu.$p.anzahl")" != "$(cat "$tmp/basis.$p.anzahl")" ]; then
    echo "  perft count of the base differs: $(cat "$tmp/basis.$p.anzahl")"
  fi
done
zeile "evalperft test position 4:" evalperft "evals/s"
zeile "eval  test position 4:" eval4 "evals/s"
zeile "eval  mean of 8 positions:" eval8 "evals/s"
while read -r _ stellung farbe tiefe knoten zug ok; do
  printf 'search %-52s %s %2d: %9d nodes  %-6s%s\n' "$stellung" "$farbe" "$tiefe" "$knoten" "$zug" \
    "$([ "$ok" = 1 ] || echo "  (table differs!)")"
done <"$tmp/neu.stellungen"
zeile "search signature ($(head -1 "$tmp/neu.signatur" | cut -d' ' -f1) nodes):" suche "nodes/s"
status=0
if grep -q ' 0$' "$tmp/neu.signatur"; then
  echo "  -- THE SEARCH SIGNATURE DIFFERS FROM THE TABLE"
  status=2
fi
if [ -n "$base" ] && grep -q ' 0$' "$tmp/basis.signatur"; then
  echo "  (the base's signature differs from the table: it searches differently)"
fi

# The peer's figures and ours over them.
neben() {  # label measure ours
  if [ ! -s "$tmp/sjeng.$2" ]; then
    echo "$1 no result (skipped)"
    return
  fi
  local sj
  sj=$(m sjeng "$2")
  printf '%-44s %7s M %-8s   kelpin/sjeng = %s' "$1" "$(mega "$sj")" "$4" "$(quote "$(m neu "$3")" "$sj")"
  [ -n "$base" ] && printf '   base/sjeng = %s' "$(quote "$(m basis "$3")" "$sj")"
  echo
}
if [ -n "$peer" ]; then
  neben "sjeng perft start position depth 6:" perft start "nodes/s"
  neben "sjeng eval speed (its speed command):" eval evalperft "evals/s"
else
  echo "sjeng: not installed and could not be installed (skipped)"
fi
exit "$status"
