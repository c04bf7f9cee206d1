#!/usr/bin/env bash
# Runs every unit-test binary of a build directory once more as one process with
# its tests in shuffled order, so that no test leans on what ran before it:
# scripts/shuffle-tests.sh [build dir] (default build). The seed is printed;
# SHUFFLE_SEED=N repeats a run.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
seed="${SHUFFLE_SEED:-$(( (RANDOM << 15 | RANDOM) % 99999 + 1 ))}"
echo "unit tests in shuffled order, seed $seed"
# The unit-test binaries are the commands of the CTest tests outside the e2e label.
mapfile -t binaries < <(ctest --test-dir "$build" -LE e2e --show-only=json-v1 | python3 -c '
import json, sys
seen = []
for t in json.load(sys.stdin)["tests"]:
    exe = t.get("command", [None])[0]
    if exe and exe.rsplit("/", 1)[-1].startswith("test_") and exe not in seen:
        seen.append(exe)
print("\n".join(seen))')
if [ "${#binaries[@]}" -eq 0 ]; then
  echo "no unit-test binaries found in $build" >&2
  exit 1
fi
failed=0
passed=0
for binary in "${binaries[@]}"; do
  if (cd "$(dirname "$binary")" && "$binary" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1 >"$binary.shuffle.log" 2>&1); then
    echo "passed: $binary"
    passed=$((passed + 1))
  else
    echo "FAILED: $binary (seed $seed, log $binary.shuffle.log)"
    tail -n 40 "$binary.shuffle.log"
    failed=$((failed + 1))
  fi
done
echo "shuffled: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
