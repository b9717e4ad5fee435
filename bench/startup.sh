#!/usr/bin/env bash
# Start-up cost of Tavrin under Xvfb beside two yardsticks: a bare Qt 6 main window of the
# same size (bench/BareWindow.cpp, built here) and Debian's qgo (installed on demand). For
# each: the time from start until the main window is mapped (median of the runs, the
# programs taking turns in every round) and the resident memory once shown. Tavrin opens
# the corpus record nearest to 300 moves when the corpus is there.
# Not a test: it prints figures.   usage: bench/startup.sh [RUNS]
# More Tavrin builds can run in the same rounds, for a change measured against the one
# before it:   ALSO="before=/path/to/tavrin other=/path/to/tavrin" bench/startup.sh
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-7}
BUILD=${BUILD:-build}
[ -x "$BUILD/tavrin" ] || { echo "build $BUILD/tavrin first (make test)"; exit 2; }
if [ ! -x "$BUILD/bench/bare_window" ]; then
  cmake --build "$BUILD" --target bare_window >/dev/null || { echo "cannot build $BUILD/bench/bare_window"; exit 2; }
fi

need=()
for p in qgo xvfb xdotool gcc libxcb1-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
# Every program started here carries this mark in its environment, so that processes which
# put themselves into the background are still found, measured and stopped.
ours() {  # pids of the processes started by this script, however they were forked
  local f p
  for f in /proc/[0-9]*/environ; do
    p=${f#/proc/}; p=${p%/environ}
    [ "$p" = "$$" ] && continue
    grep -qzx "STARTUP_BENCH_MARK=$work" "$f" 2>/dev/null && echo "$p"
  done
  return 0
}
# Xvfb picks a free display itself and writes its number once it takes connections: a
# fixed or random number may belong to another X server, and a server still starting up
# makes the first programs fail to connect. Without -noreset the server resets each time its
# last client goes, between two runs here, and a program connecting during the reset is
# refused: Qt programs then abort without a window, more often the busier the machine is.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  local p
  for p in $(ours); do kill -9 "$p" 2>/dev/null || true; done
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
xdpyinfo >/dev/null 2>&1 || { echo "cannot reach Xvfb on $DISPLAY"; exit 1; }

# The record of the corpus whose move count is nearest to 300 when present, else none.
record="$work/game300.sgf"
corpus=../shared/corpus
best=""
if [ -x "$BUILD/tavrin-kifu" ] && [ -d "$corpus" ]; then
  best=$("$BUILD/tavrin-kifu" check "$corpus" 2>/dev/null |
    awk -F'\t' '$2=="OK" {d = $3 - 300; if (d < 0) d = -d; if (f == "" || d < m) {m = d; f = $1}} END {print f}')
fi
if [ -n "$best" ]; then cp "$best" "$record"; else record=""; fi


visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# The X server itself reports when a window is mapped: mapwait listens for that while it
# starts the program, so no polling delay is added to any of the programs.
mapwait="$work/mapwait"
cc -O2 -o "$mapwait" bench/mapwait.c -lxcb

# start CMD..., wait until a window whose name matches $pattern is mapped; sets T_MS
# (milliseconds; empty when no window came within 20 s).
time_to_window() {
  local pattern=$1; shift
  local t
  if visible "$pattern"; then echo "a window '$pattern' is still open before the start"; exit 1; fi
  t=$(cd "$work" && env STARTUP_BENCH_MARK="$work" "$mapwait" "$pattern" 20000 "$@" 2>>"$work/stderr.log" || true)
  T_MS=""
  [ "$t" != "-" ] && T_MS=$t
  return 0
}

rss_kb() {  # resident memory of every process started by this script, in KB
  local total=0 p
  for p in $(ours); do
    [ -r /proc/$p/status ] && total=$((total + $(awk '/^VmRSS/ {print $2}' /proc/$p/status)))
  done
  echo $total
}

# Stops every process this script started and waits until they are gone and their windows
# closed, so that the next run neither finds an old window nor shares the machine with it.
stop_all() {
  local pattern=$1 p
  for p in $(ours); do kill "$p" 2>/dev/null || true; done
  for _ in $(seq 40); do [ -z "$(ours)" ] && break; sleep 0.05; done
  for p in $(ours); do kill -9 "$p" 2>/dev/null || true; done
  for _ in $(seq 40); do visible "$pattern" || break; sleep 0.05; done
  sleep 0.3
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# Each Tavrin runs from a copy in a folder of its own: the settings file beside it is the
# run's, and none is ever written beside the built program.
copy_tavrin() {  # name path
  mkdir -p "$work/$1"
  cp "$2" "$work/$1/tavrin"
  echo "$work/$1/tavrin"
}
names=(tavrin bare qgo)
declare -A cmd pattern times rss
cmd[tavrin]=$(copy_tavrin tavrin "$BUILD/tavrin"); pattern[tavrin]='Tavrin$'
cmd[bare]=$PWD/$BUILD/bench/bare_window; pattern[bare]='^BareQt'
cmd[qgo]=/usr/games/qgo; pattern[qgo]='qGo'
for also in ${ALSO:-}; do
  n=${also%%=*}
  names+=("$n"); cmd[$n]=$(copy_tavrin "$n" "${also#*=}"); pattern[$n]='Tavrin$'
done

export XDG_CONFIG_HOME="$work/config"
# The programs take turns in every round, so a busier minute of the machine weighs on all.
for i in $(seq "$RUNS"); do
  for n in "${names[@]}"; do
    if [[ "${pattern[$n]}" == 'Tavrin$' ]]; then
      time_to_window "${pattern[$n]}" "${cmd[$n]}" ${record:+"$record"}
    else
      time_to_window "${pattern[$n]}" "${cmd[$n]}"
    fi
    if [ -n "$T_MS" ]; then times[$n]="${times[$n]:-} $T_MS"; else echo "$n: no window within 20 s in round $i"; fi
    if [ "$i" -eq "$RUNS" ]; then sleep 1; rss[$n]=$(rss_kb); fi
    stop_all "${pattern[$n]}"
  done
done
cp "$work/stderr.log" /tmp/startup-stderr.log 2>/dev/null || true

declare -A med
printf '%-8s %10s %10s   %s\n' "" "mapped ms" "resident" "runs (ms)"
for n in "${names[@]}"; do
  [ -n "${times[$n]:-}" ] || { echo "$n: no window in $RUNS runs"; exit 1; }
  med[$n]=$(printf '%s\n' ${times[$n]} | median)
  printf '%-8s %10.1f %7.1f MB   %s\n' "$n" "${med[$n]}" "$(awk -v k="${rss[$n]}" 'BEGIN {print k / 1024}')" "${times[$n]# }"
done

echo
echo "record loaded in tavrin: ${record:+$(basename "$best") ($("$BUILD/tavrin-kifu" check "$best" 2>/dev/null | cut -f3) moves)}"
for n in "${names[@]}"; do
  [[ "${pattern[$n]}" == 'Tavrin$' ]] || continue
  awk -v n="$n" -v t="${med[$n]}" -v b="${med[bare]}" -v q="${med[qgo]}" -v rt="${rss[$n]}" -v rb="${rss[bare]}" 'BEGIN {
    printf "%s: %.2fx the bare window (goal <= 1.2x): %s\n", n, t / b, (t <= 1.2 * b) ? "met" : "NOT met";
    printf "%s: %.2fx qgo (goal <= 0.5x): %s\n", n, t / q, (t <= 0.5 * q) ? "met" : "NOT met";
    printf "%s: resident %+.1f MB over the bare window (goal <= 5 MB): %s\n", n, (rt - rb) / 1024, (rt - rb <= 5 * 1024) ? "met" : "NOT met";
  }'
done
