#!/usr/bin/env bash
# One shard of a study per task of a Slurm array job. From a built checkout:
#
#   mkdir -p study-runs
#   sbatch --array=1-16 scripts/study.sbatch --methods ga,heuristic:table --levels 1,2,3,4 --seeds 1-100
#   build/cli/korvane-cli report study-runs/shard-*.jsonl
#
# The arguments are those of `korvane-cli study` but --shard, --out and
# --threads, which this script gives: task K of N flies shard K/N into
# study-runs/shard-K.jsonl on the cores Slurm gave it. Submitting the same
# array again goes on where the tasks stopped; to submit some tasks alone,
# give the array's size: KORVANE_SHARDS=16 sbatch --export=ALL --array=3,7 ...
#SBATCH --job-name=korvane-study
#SBATCH --cpus-per-task=2
#SBATCH --time=04:00:00
#SBATCH --output=study-runs/slurm-%A_%a.log
set -euo pipefail
shards=${KORVANE_SHARDS:-${SLURM_ARRAY_TASK_COUNT:?submit as an array job: sbatch --array=1-N}}
shard=${SLURM_ARRAY_TASK_ID:?submit as an array job: sbatch --array=1-N}
if [ "${SLURM_ARRAY_TASK_MIN:-1}" != 1 ] && [ -z "${KORVANE_SHARDS:-}" ]; then
  echo "the array must count from 1 (--array=1-N), or set KORVANE_SHARDS=N" >&2
  exit 2
fi
cd "${SLURM_SUBMIT_DIR:-.}"
mkdir -p study-runs
exec build/cli/korvane-cli study "$@" --quiet --threads "${SLURM_CPUS_PER_TASK:-1}" \
  --shard "$shard/$shards" --out "study-runs/shard-$shard.jsonl"
