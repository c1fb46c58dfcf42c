#!/usr/bin/env bash
# make bench: the engine's speed on its three measures, each the median of
# three runs, beside a peer engine's perft timed in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
engine=$build/kelpin
runs=3

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# RSS of a freshly started engine, once its tables are set up.
{ sleep 1; echo quit; } | "$engine" >/dev/null &
sleep 0.5
pid=$(pgrep -n -f "^$engine\$" || true)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo "?")
wait
echo "resident memory after start-up: ${rss} kB"

# perft through the engine's own command: its count and its nodes/s.
perft_line() {
  local name=$1 setup=$2 depth=$3 count="" rates=()
  for _ in $(seq $runs); do
    out=$(printf '%sperft %s\nquit\n' "$setup" "$depth" | "$engine")
    count=$(sed -n 's/^movegen() to depth [0-9]* -> \([0-9]*\) nodes$/\1/p' <<<"$out")
    rates+=("$(sed -n 's/^\([0-9-]*\) nodes per second$/\1/p' <<<"$out")")
  done
  rate=$(printf '%s\n' "${rates[@]}" | median)
  printf 'perft %-16s depth %d: %11s nodes  %6.2f M nodes/s\n' "$name" "$depth" "$count" "$(awk "BEGIN {print $rate / 1e6}")"
  echo "$rate" >"$build/bench_perft_${depth}_${name// /_}"
}
perft_line "start position" "" 6
perft_line "test position 4" $'setboard 4r2k/qp4pp/8/6N1/4P3/PQ1P4/2P3P1/7K\n' 5

# evalperft: one second on test position 4.
rates=()
for _ in $(seq $runs); do
  rates+=("$(printf 'evalperft 1\nquit\n' | "$engine" | sed -n 's/.*seconds: \([0-9]*\) evals\/sec$/\1/p')")
done
printf 'evalperft test position 4:      %6.2f M evals/s\n' \
  "$(awk "BEGIN {print $(printf '%s\n' "${rates[@]}" | median) / 1e6}")"

# Evaluation over varied positions and the search signature.
"$build/kelpin_bench" bench/signatur.txt || status=$?

# The peer: a mailbox engine whose perft also makes every move down to the
# last ply.
peer=$(command -v sjeng || echo /usr/games/sjeng)
if [ ! -x "$peer" ]; then
  echo "installing sjeng for the side-by-side perft (apt-get install sjeng)"
  { apt-get install -y -qq sjeng >/dev/null 2>&1 || { apt-get update -qq && apt-get install -y -qq sjeng; }; } >/dev/null 2>&1 || true
fi
if [ -x "$peer" ]; then
  rates=()
  for _ in $(seq $runs); do
    out=$(cd "${TMPDIR:-/tmp}" && printf 'perft 6\nquit\n' | HOME="${TMPDIR:-/tmp}" timeout 300 "$peer" 2>/dev/null | tr -d '\r')
    nodes=$(sed -n 's/.*Raw nodes for depth 6: \([0-9]*\).*/\1/p' <<<"$out")
    secs=$(sed -n 's/^Time : \([0-9.]*\).*/\1/p' <<<"$out")
    [ -n "$nodes" ] && [ -n "$secs" ] && rates+=("$(awk "BEGIN {print $nodes / $secs}")")
  done
  if [ ${#rates[@]} -gt 0 ]; then
    sj=$(printf '%s\n' "${rates[@]}" | median)
    ours=$(cat "$build/bench_perft_6_start_position")
    printf 'sjeng perft start position depth 6:  %6.2f M nodes/s   kelpin/sjeng = %.2f\n' \
      "$(awk "BEGIN {print $sj / 1e6}")" "$(awk "BEGIN {print $ours / $sj}")"
  else
    echo "sjeng perft: no result (skipped)"
  fi
else
  echo "sjeng perft: sjeng is not installed and could not be installed (skipped)"
fi
exit "${status:-0}"
