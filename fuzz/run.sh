#!/usr/bin/env bash
# Builds the libFuzzer targets of the record readers and the CP932 decoder with clang 14
# (address and undefined-behaviour sanitizers) in build-fuzz/, seeds them from the shared
# corpus when it is there, runs each for FUZZ_SECONDS (default 20) and exits non-zero on
# any finding (crash, failed expectation, leak, sanitizer report). FUZZ_TARGETS names the
# targets to run (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."

CXX=${FUZZ_CXX:-clang++-14}
SECONDS_EACH=${FUZZ_SECONDS:-20}
OUT=build-fuzz
CORPUS=${TAVRIN_CORPUS_DIR:-../shared/corpus}
TARGETS=${FUZZ_TARGETS:-sgf ngf sjis tree}

if ! command -v "$CXX" >/dev/null; then
  echo "fuzz: $CXX not found (scripts/install-deps.sh installs clang-14)" >&2
  exit 1
fi

# The targets and the code they link, built by CMake with the sanitizers and libFuzzer's
# coverage.
cmake -S . -B "$OUT" -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTAVRIN_SANITIZE=ON -DTAVRIN_FUZZ=ON >/dev/null
cmake --build "$OUT" -j"${JOBS:-2}" --target $(for t in $TARGETS; do printf 'fuzz_%s ' "$t"; done)

# Seeds: the shared records of each kind, copied flat so the run never writes into them.
seed() {  # seed NAME PATTERN...
  local dir="$OUT/seeds-$1"; shift
  rm -rf "$dir"; mkdir -p "$dir"
  if [ -d "$CORPUS" ]; then
    local i=0
    while IFS= read -r -d '' f; do
      cp "$f" "$dir/seed-$i"; i=$((i + 1))
    done < <(find "$CORPUS" -type f \( "$@" \) -print0)
  fi
  echo "$dir"
}

status=0
for target in $TARGETS; do
  case $target in
    sgf|tree) seeds=$(seed "$target" -iname '*.sgf') ;;
    ngf)  seeds=$(seed ngf -iname '*.ngf') ;;
    sjis) seeds=$(seed sjis -iname '*.sgf' -path '*sjis*') ;;
  esac
  work="$OUT/work-$target"
  mkdir -p "$work"
  echo "fuzz: $target for ${SECONDS_EACH}s ($(ls "$seeds" | wc -l) seeds)"
  if ! "$OUT/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 -artifact_prefix="$OUT/finding-$target-" \
       "$work" "$seeds" >"$OUT/fuzz_$target.log" 2>&1; then
    echo "fuzz: $target FOUND A PROBLEM; see $OUT/fuzz_$target.log and $OUT/finding-$target-*" >&2
    tail -40 "$OUT/fuzz_$target.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$OUT/fuzz_$target.log" | sed "s/^/fuzz: $target /"
  fi
done
exit $status
