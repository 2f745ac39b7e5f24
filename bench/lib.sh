# Shared by the comparison scripts: whole-process timings with peak memory,
# medians over $runs runs, printed side by side. Source it after setting runs.

# One run: prints "seconds peak-kilobytes cpu-seconds" (wall time to the
# millisecond; CPU time is user and system time of the process and its children).
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o time.txt "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "$(echo "($end - $start) / 1000000000" | bc -l | cut -c1-6) $(awk '{printf "%s %.2f", $1, $2 + $3}' time.txt)"
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

# compare_cpu NAME OURS PEER: as compare, for a shared machine where wall times
# wander with the load: each run of ours is paired with one of the peer's just
# after it, and the wall ratio is the median of the pairs' ratios. CPU time
# (user + system) is printed beside it, with the ratio of its medians.
# Appends "name|ours wall|peer wall|wall ratio|ours cpu|peer cpu|cpu ratio".
compare_cpu() {
  local name=$1 ours=$2 peer=$3
  : >ours.txt
  : >peer.txt
  : >pairs.txt
  for _ in $(seq "$runs"); do
    local o p
    o=$(measure bash -c "$ours")
    p=$(measure bash -c "$peer")
    echo "$o" >>ours.txt
    echo "$p" >>peer.txt
    echo "${o%% *} ${p%% *}" | awk '{printf "%.4f\n", $1 / $2}' >>pairs.txt
  done
  local ot pt pr oc pc
  ot=$(cut -d' ' -f1 ours.txt | median)
  pt=$(cut -d' ' -f1 peer.txt | median)
  pr=$(median <pairs.txt)
  oc=$(cut -d' ' -f3 ours.txt | median)
  pc=$(cut -d' ' -f3 peer.txt | median)
  local cr=-
  # A run shorter than the clock's hundredth has no CPU ratio.
  [ "$(echo "$pc > 0" | bc)" = 1 ] && cr=$(echo "$oc / $pc" | bc -l | cut -c1-5)
  printf '%-30s %7ss %7ss %7.3f %7ss %7ss %7s\n' "$name" "$ot" "$pt" "$pr" "$oc" "$pc" "$cr"
  echo "$name|$ot|$pt|$pr|$oc|$pc|$cr" >>results.txt
}

compare_cpu_header() {
  printf '%-30s %8s %8s %7s %8s %8s %7s\n' case "our wall" "peer" ratio "our cpu" "peer" ratio
}
