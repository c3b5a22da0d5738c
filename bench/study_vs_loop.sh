#!/usr/bin/env bash
# Runs per second of one `korvane-cli study` on 2 threads (a run per thread)
# against a shell loop of `korvane-cli ga` calls over the same runs, each
# call on 2 threads (its default on this machine) and on 1.
# Usage: bench/study_vs_loop.sh [path/to/korvane-cli]   (a release build)
set -euo pipefail
cli=${1:-build/cli/korvane-cli}
levels=(1 2 3 4)
seeds=$(seq 1 10)
runs=$(( ${#levels[@]} * 10 ))
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
now() { date +%s.%N; }
rate() { echo "scale=2; $runs / ($2 - $1)" | bc; }

t0=$(now)
"$cli" study --methods ga --levels 1,2,3,4 --seeds 1-10 --threads 2 --quiet --out "$tmp/runs.jsonl" >/dev/null
t1=$(now)
for l in "${levels[@]}"; do for s in $seeds; do "$cli" ga --level "$l" --seed "$s" --threads 2 --quiet >/dev/null 2>&1; done; done
t2=$(now)
for l in "${levels[@]}"; do for s in $seeds; do "$cli" ga --level "$l" --seed "$s" --threads 1 --quiet >/dev/null 2>&1; done; done
t3=$(now)
echo "runs: $runs (ga, levels 1-4, seeds 1-10, default settings)"
echo "study --threads 2:          $(rate "$t0" "$t1") runs/s"
echo "loop of ga --threads 2:     $(rate "$t1" "$t2") runs/s"
echo "loop of ga --threads 1:     $(rate "$t2" "$t3") runs/s"
