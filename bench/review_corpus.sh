#!/bin/sh
# How often the review's lead at the last move favours the winner, over the finished records
# under a folder won by more than 10 points (a measurement of the engine, not a test).
# Usage: bench/review_corpus.sh TAVRIN_KIFU CORPUS_DIR
# Prints per record 'RE|last line of tavrin-kifu analyse|seconds|path', then the agreement.
kifu=$1
dir=$2
out=$(mktemp /tmp/review-XXXXXX.sgf)
grep -rlE 'RE\[[BW]\+[0-9]' --include='*.sgf' "$dir" | sort | while read -r f; do
  re=$(grep -oE 'RE\[[BW]\+[0-9.]+\]' "$f" | head -1)
  points=$(echo "$re" | sed -E 's/RE\[[BW]\+([0-9.]+)\]/\1/')
  awk -v p="$points" 'BEGIN { exit !(p > 10 && p < 200) }' || continue
  start=$(date +%s.%N)
  last=$("$kifu" analyse "$f" "$out" 2>&1 | tail -1)
  end=$(date +%s.%N)
  echo "$re|$last|$(echo "$end - $start" | bc)|$f"
done | awk -F'|' '{ print; w = substr($1, 4, 1); split($2, a, " "); n++; if (substr(a[3], 1, 1) == w) ok++ }
  END { if (n) printf "%d of %d records: the last lead favours the winner (%.1f %%)\n", ok, n, 100 * ok / n }'
rm -f "$out"
