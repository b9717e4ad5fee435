#!/usr/bin/env bash
# The monkey under the address and undefined-behaviour sanitizers: builds tavrin_monkey (and
# only what it needs) in build-asan, checks that its invariant checks catch broken states,
# then runs it with a fixed seed, bounded in actions and time. Any sanitizer report, crash,
# hang or broken invariant fails the step; the output names the seed and the last actions.
#
#   MONKEY_SEED, MONKEY_ACTIONS, MONKEY_SECONDS, MONKEY_BUILD, JOBS override the defaults.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${MONKEY_BUILD:-build-asan}
SEED=${MONKEY_SEED:-20240611}
ACTIONS=${MONKEY_ACTIONS:-20000}
LIMIT=${MONKEY_SECONDS:-90}
JOBS=${JOBS:-2}

cmake -S . -B "$BUILD" -DTAVRIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target tavrin_monkey

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
SUPP=tests/monkey/lsan.supp
if [ -f "$SUPP" ]; then
  export LSAN_OPTIONS="suppressions=$PWD/$SUPP${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi

MONKEY="$BUILD/tests/monkey/tavrin_monkey"
"$MONKEY" --self-test
"$MONKEY" --seed "$SEED" --actions "$ACTIONS" --seconds "$LIMIT"
