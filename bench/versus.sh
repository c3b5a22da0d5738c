#!/usr/bin/env bash
# The program against an earlier build of itself, each SIMD path on its own:
# the default training run, a level-4 search (201 generations of 500 plans,
# plain and heuristic) and the README's main study on seeds 1-20, timed on
# one and two threads. The two programs take turns, round after round, so
# that the machine's load falls on both alike; each side's median is shown
# with the ratio, and the outputs must be the same bytes. The study (a minute
# a round on the old program) runs on the first path given only.
# Usage: bench/versus.sh OLD_CLI [NEW_CLI] [ROUNDS] [PATHS] [CASES]
#   e.g. bench/versus.sh ../base/build/cli/korvane-cli build/cli/korvane-cli 5 "avx512 avx2 scalar"
#   CASES, a regular expression, keeps only the cases whose name it matches ("^train").
set -euo pipefail
old=$1
new=${2:-build/cli/korvane-cli}
rounds=${3:-5}
paths=${4:-avx512 avx2 scalar}
only=${5:-.}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# name|arguments (the study's --out is added)
cases=(
  "train, 1 thread|train --seed 1 --threads 1"
  "train, 2 threads|train --seed 1 --threads 2"
  "search level 4, 1 thread|ga --level 4 --seed 1 --threads 1"
  "search level 4, 2 threads|ga --level 4 --seed 1 --threads 2"
  "heuristic level 4, 1 thread|ga --level 4 --seed 1 --heuristic --threads 1"
  "heuristic level 4, 2 threads|ga --level 4 --seed 1 --heuristic --threads 2"
  "main study seeds 1-20, 2 threads|study --methods ga,heuristic:table,heuristic:builtin --levels 1,2,3,4 --seeds 1-20 --threads 2"
)

# Seconds of wall time of one call; its output (the study's runs without
# their timings) into $2.
run() {
  local cli=$1 out=$2 args=$3 t0 t1
  rm -f "$tmp/runs.jsonl"
  if [[ $args == study* ]]; then args="$args --out $tmp/runs.jsonl"; fi
  t0=$(date +%s.%N)
  KORVANE_SIMD=$path "$cli" $args --quiet >"$out" 2>/dev/null
  t1=$(date +%s.%N)
  if [[ $args == study* ]]; then "$cli" report "$tmp/runs.jsonl" >"$out"; fi
  echo "$t1 - $t0" | bc
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s  %-34s  %9s  %9s  %7s\n' path case old new speed-up
first=${paths%% *}
for path in $paths; do
  for c in "${cases[@]}"; do
    name=${c%%|*}
    args=${c#*|}
    if [[ $args == study* && $path != "$first" ]]; then continue; fi
    if ! [[ $name =~ $only ]]; then continue; fi
    : >"$tmp/old.t"
    : >"$tmp/new.t"
    for ((r = 0; r < rounds; ++r)); do
      run "$old" "$tmp/old.out" "$args" >>"$tmp/old.t"
      run "$new" "$tmp/new.out" "$args" >>"$tmp/new.t"
      cmp -s "$tmp/old.out" "$tmp/new.out" || { echo "$path $name: the outputs differ" >&2; exit 1; }
    done
    o=$(median <"$tmp/old.t")
    n=$(median <"$tmp/new.t")
    printf '%-6s  %-34s  %8.3fs  %8.3fs  %6.2fx\n' "$path" "$name" "$o" "$n" "$(echo "$o / $n" | bc -l)"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
