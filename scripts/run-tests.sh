#!/bin/bash
# Builds the menu and runs all its tests, in three builds:
#   build/       unit and end-to-end tests
#   build-asan/  the unit tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   build-fuzz/  the fuzz targets, built with clang's libFuzzer and run for a bounded time
# Every phase runs even when an earlier one failed; the end gives each phase's CTest summary and
# one line with the counts of all. Exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
started=$SECONDS

if ! bash scripts/install-packages.sh; then
  echo "0 passed, 1 failed"
  exit 1
fi

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
total_passed=0
total_failed=0
summaries=()

# Adds a phase's CTest counts (or one failure, when it could not be built) to the totals.
count_phase() {
  local name="$1" log="$2" line out_of failed
  line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -z "$line" ]; then
    if grep -q 'No tests were found' "$log"; then
      summaries+=("$name: no tests")
      return
    fi
    summaries+=("$name: did not run to its end")
    total_failed=$((total_failed + 1))
    return
  fi
  failed="$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")"
  out_of="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
  total_passed=$((total_passed + out_of - failed))
  total_failed=$((total_failed + failed))
  summaries+=("$name: $line")
}

# run_phase NAME BUILD_DIR "CMAKE ARGS" "BUILD TARGETS or empty for all" CTEST ARGS...
run_phase() {
  local name="$1" dir="$2" configure="$3" targets="$4"
  shift 4
  local log="$logs/$name.log" configure_args=() target_args=() phase_started=$SECONDS
  echo "=== $name: configuring and building $dir ==="
  read -ra configure_args <<<"$configure"
  if [ -n "$targets" ]; then
    read -ra target_args <<<"--target $targets"
  fi
  if ! cmake -S . -B "$dir" "${configure_args[@]}" || ! cmake --build "$dir" -j2 "${target_args[@]}"; then
    echo "=== $name: the build failed ==="
    summaries+=("$name: the build failed ($((SECONDS - phase_started)) s)")
    total_failed=$((total_failed + 1))
    return
  fi
  echo "=== $name: built in $((SECONDS - phase_started)) s, testing ==="
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
  count_phase "$name ($((SECONDS - phase_started)) s)" "$log"
}

run_phase "unit and end-to-end tests" build "" "" -j2
# Unoptimised: builds faster, and the sanitizers report as well.
run_phase "unit tests with sanitizers" build-asan "-DMENU_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug" "" -j2 -L unit

fuzz_targets=""
for source in tests/fuzz/*.cpp; do
  [ -e "$source" ] && fuzz_targets+="$(basename "$source" .cpp) "
done
if [ -n "$fuzz_targets" ]; then
  CXX=clang++ run_phase "fuzz targets" build-fuzz "-DMENU_FUZZ=ON -DMENU_TESTS=ON" "$fuzz_targets" -L fuzz
else
  summaries+=("fuzz targets: none yet")
fi

echo
echo "=== Summary ($((SECONDS - started)) s) ==="
for summary in "${summaries[@]}"; do
  echo "$summary"
done
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
