#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan) in build-fuzz and runs
# each from its committed seed corpus; new inputs go to a scratch folder, findings to
# build-fuzz/findings/. Ends with status 1 on the first finding.
#   scripts/fuzz.sh                              every target for 20 s (what CI runs)
#   scripts/fuzz.sh -runs=10000000 payload       one target, ten million executions
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LOCKWELL_FUZZ_BUILD_DIR:-$here/build-fuzz}"
limit="-max_total_time=20"
if [[ "${1:-}" == -* ]]; then
  limit="$1"
  shift
fi
targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$here"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" _fuzz.cpp)"); done
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DLOCKWELL_FUZZ=ON -DLOCKWELL_TESTS=OFF \
  -DLOCKWELL_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers >/dev/null

mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  scratch="$(mktemp -d)"
  log="$build/findings/$target.log"
  status=0
  "$build/${target}_fuzz" "$limit" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$scratch" "$here/fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  rm -rf "$scratch"
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
  echo "$target: ${runs:-?} executions, exit status $status"
  if ((status != 0)); then
    tail -n 40 "$log"
    exit 1
  fi
done
