# Shared by the comparison scripts: whole-process timings with peak memory,
# medians over $runs runs, printed side by side. Source it after setting runs.

# One run: prints "seconds peak-kilobytes" (wall time to the millisecond).
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "$(echo "($end - $start) / 1000000000" | bc -l | cut -c1-6) $(cat time.txt)"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# compare NAME OURS PEER: runs both shell commands in turn, prints the medians and
# their ratio, and appends "name|ours|peer|our peak|peer peak" to results.txt.
compare() {
  local name=$1 ours=$2 peer=$3
  : >ours.txt
  : >peer.txt
  for _ in $(seq "$runs"); do
    measure bash -c "$ours" >>ours.txt
    measure bash -c "$peer" >>peer.txt
  done
  local ot pt om pm
  ot=$(cut -d' ' -f1 ours.txt | median)
  pt=$(cut -d' ' -f1 peer.txt | median)
  om=$(cut -d' ' -f2 ours.txt | median)
  pm=$(cut -d' ' -f2 peer.txt | median)
  printf '%-34s %8ss %8ss %8.3f %9sKB %9sKB\n' "$name" "$ot" "$pt" "$(echo "$ot / $pt" | bc -l)" "$om" "$pm"
  echo "$name|$ot|$pt|$om|$pm" >>results.txt
}

# The header line for compare's rows.
compare_header() { printf '%-34s %9s %9s %8s %11s %11s\n' case ours peer ratio "our peak" "peer peak"; }
