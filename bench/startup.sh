#!/usr/bin/env bash
# Start-up cost of Tavrin under Xvfb, side by side with two other Go programs from Debian
# (cgoban and qgo, installed on demand): time from start until the main window is shown
# (median of several runs) and resident memory once shown (Tavrin with a 300-move record).
# Not a test: it prints figures.   usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-9}
BUILD=${BUILD:-build}
[ -x "$BUILD/tavrin" ] || { echo "build $BUILD/tavrin first (make test)"; exit 2; }

need=()
for p in cgoban qgo xvfb xdotool; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
disp=:$((100 + RANDOM % 400))
Xvfb "$disp" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { pkill -P $$ 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
export DISPLAY=$disp
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A 300-move record: random legal play written by the record tool's writer is not available
# here, so take the longest record of the corpus when present, else a built-in one.
record="$work/game300.sgf"
corpus=../shared/corpus
best=""
if [ -x "$BUILD/tavrin-kifu" ] && [ -d "$corpus" ]; then
  best=$("$BUILD/tavrin-kifu" check "$corpus" 2>/dev/null | awk -F'\t' '$2=="OK" && $3>m {m=$3; f=$1} END {print f}')
fi
if [ -n "$best" ]; then cp "$best" "$record"; else record=""; fi

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# start CMD..., wait until a visible window whose name matches $pattern appears; sets
# T_MS (milliseconds) and LAST_PID.
time_to_window() {
  local pattern=$1; shift
  local t0 t1
  t0=$(now_ms)
  ( cd "$work" && exec "$@" ) >>"$work/stderr.log" 2>&1 &
  local pid=$!
  for _ in $(seq 4000); do
    if xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1; then break; fi
    sleep 0.005
  done
  t1=$(now_ms)
  LAST_PID=$pid
  T_MS=$((t1 - t0))
}

rss_kb() {  # resident memory of a process and its children, in KB
  local total=0 p
  for p in $1 $(pgrep -P "$1" 2>/dev/null); do
    [ -r /proc/$p/status ] && total=$((total + $(awk '/^VmRSS/ {print $2}' /proc/$p/status)))
  done
  echo $total
}

stop_all() { pkill -f "^$1" 2>/dev/null || true; sleep 0.3; }

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

measure() {  # name pattern cmd...
  local name=$1 pattern=$2; shift 2
  local times=() rss=0 i
  for i in $(seq "$RUNS"); do
    time_to_window "$pattern" "$@"
    times+=("$T_MS")
    if [ "$i" -eq "$RUNS" ]; then sleep 1; rss=$(rss_kb "$LAST_PID"); fi
    kill "$LAST_PID" 2>/dev/null || true
    stop_all "$1"
  done
  local med
  med=$(printf '%s\n' "${times[@]}" | median)
  printf '%-8s shown after %5d ms (median of %d: %s)   resident %6d KB\n' \
    "$name" "$med" "$RUNS" "${times[*]}" "$rss"
  eval "MED_$name=$med; RSS_$name=$rss"
}

export XDG_CONFIG_HOME="$work/config"
measure tavrin 'Tavrin$' "$PWD/$BUILD/tavrin" ${record:+"$record"}
measure cgoban 'CGoban' /usr/games/cgoban
measure qgo 'qGo' /usr/games/qgo
cp "$work/stderr.log" /tmp/startup-stderr.log 2>/dev/null || true

echo
echo "record loaded in tavrin: ${record:+$(basename "$best")}"
awk -v t="$MED_tavrin" -v c="$MED_cgoban" -v q="$MED_qgo" -v rt="$RSS_tavrin" -v rq="$RSS_qgo" 'BEGIN {
  printf "goal: shown no later than cgoban (%d <= %d ms): %s\n", t, c, (t <= c) ? "met" : "NOT met";
  printf "goal: at most half of qgo (%d <= %d ms): %s\n", t, q / 2, (t <= q / 2) ? "met" : "NOT met";
  printf "goal: resident memory at most 40%% of qgo (%d <= %d KB): %s\n", rt, rq * 0.4, (rt <= rq * 0.4) ? "met" : "NOT met";
}'
