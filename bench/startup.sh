#!/usr/bin/env bash
# Start-up cost of Tavrin under Xvfb, side by side with two other Go programs from Debian
# (cgoban and qgo, installed on demand): time from start until the main window is shown
# (median of several runs) and resident memory once shown (Tavrin with a 300-move record of
# the corpus when it is there).
# Not a test: it prints figures.   usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-9}
BUILD=${BUILD:-build}
[ -x "$BUILD/tavrin" ] || { echo "build $BUILD/tavrin first (make test)"; exit 2; }

need=()
for p in cgoban qgo xvfb xdotool gcc libxcb1-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
# Every program started here carries this mark in its environment, so that processes which
# put themselves into the background (cgoban forks and its first process exits at once) are
# still found, measured and stopped.
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

measure() {  # name pattern cmd...
  local name=$1 pattern=$2; shift 2
  local times=() rss=0 i failed=0
  for i in $(seq "$RUNS"); do
    time_to_window "$pattern" "$@"
    if [ -n "$T_MS" ]; then times+=("$T_MS"); else failed=$((failed + 1)); fi
    if [ "$i" -eq "$RUNS" ]; then sleep 1; rss=$(rss_kb); fi
    stop_all "$pattern"
  done
  [ ${#times[@]} -gt 0 ] || { echo "$name: no window in $RUNS runs"; exit 1; }
  local med
  med=$(printf '%s\n' "${times[@]}" | median)
  printf '%-8s shown after %5.1f ms (median of %d: %s)   resident %6d KB\n' \
    "$name" "$med" "${#times[@]}" "${times[*]}" "$rss"
  [ "$failed" -eq 0 ] || echo "$name: $failed of $RUNS runs showed no window within 20 s"
  eval "MED_$name=$med; RSS_$name=$rss"
}

export XDG_CONFIG_HOME="$work/config"
measure tavrin 'Tavrin$' "$PWD/$BUILD/tavrin" ${record:+"$record"}
measure cgoban 'CGoban' /usr/games/cgoban
measure qgo 'qGo' /usr/games/qgo
cp "$work/stderr.log" /tmp/startup-stderr.log 2>/dev/null || true

echo
echo "record loaded in tavrin: ${record:+$(basename "$best") ($("$BUILD/tavrin-kifu" check "$best" 2>/dev/null | cut -f3) moves)}"
awk -v t="$MED_tavrin" -v c="$MED_cgoban" -v q="$MED_qgo" -v rt="$RSS_tavrin" -v rq="$RSS_qgo" 'BEGIN {
  printf "goal: shown no later than cgoban (%.1f <= %.1f ms): %s\n", t, c, (t <= c) ? "met" : "NOT met";
  printf "goal: at most half of qgo (%.1f <= %.1f ms): %s\n", t, q / 2, (t <= q / 2) ? "met" : "NOT met";
  printf "goal: resident memory at most 40%% of qgo (%d <= %d KB): %s\n", rt, rq * 0.4, (rt <= rq * 0.4) ? "met" : "NOT met";
}'
