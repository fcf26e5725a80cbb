#!/usr/bin/env bash
# Runs every fuzz target of the fuzz preset for a bounded time, starting from the seed corpora
# in fuzz/corpus/ and, for a program's dialogue, the inputs of its end-to-end cases, and fails
# on any finding (a crash, a broken check, a leak or a hang).
#   fuzz/run.sh [seconds per target, default 60]
# New inputs go to a scratch folder; the seeds in the repository stay as they are.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bin=build/fuzz/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
printf '%-10s %12s %8s %12s %6s %s\n' target executions exec/s 'cov/edges' corpus result
for fuzzer in "$bin"/*_fuzzer; do
  target=$(basename "$fuzzer" _fuzzer)
  mkdir -p "$work/$target" "$work/$target-seeds"
  # A dialogue target starts from every end-to-end input of its program as well.
  if [ -d "tests/e2e/$target" ]; then cp tests/e2e/"$target"/*.in "$work/$target-seeds/"; fi
  log="$work/$target.log"
  if "$bin/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/artifact-$target-" "$work/$target" "$work/$target-seeds" \
      "fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
  counters=$(sed -n 's/^INFO: Loaded [0-9]* modules *(\([0-9]*\) inline 8-bit counters.*/\1/p' "$log")
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  corpus=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$done_line")
  printf '%-10s %12s %8s %12s %6s %s\n' "$target" "${runs:-?}" "${rate:-?}" \
    "${cov:-?}/${counters:-?}" "${corpus:-?}" "$result"
  if [ "$result" = FAILED ]; then
    grep -v -E '^(#|INFO|MERGE|stat::)' "$log" | tail -n 40
    for artifact in "$work/artifact-$target"-*; do
      [ -e "$artifact" ] && echo "input: $(basename "$artifact"): $(head -c 300 "$artifact" | od -An -c | head -n 5)"
    done
  fi
done
exit "$failed"
