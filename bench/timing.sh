# Sourced by the whole-process comparisons. Expects $work (a scratch folder),
# $size (the document's bytes) and, for report, $ours (our median seconds).

# median_seconds COUNT COMMAND...: runs it COUNT times, prints the median wall time.
median_seconds() {
  count=$1; shift
  i=0; : >"$work/times"
  while [ $i -lt "$count" ]; do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l >>"$work/times"
    i=$((i + 1))
  done
  sort -n "$work/times" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

report() {  # report NAME SECONDS
  mbs=$(echo "$size / $2 / 1000000" | bc -l)
  ratio=$(echo "$2 / $ours" | bc -l)
  printf '%-34s %10.3f %10.1f %11.1fx\n' "$1" "$2" "$mbs" "$ratio"
}
