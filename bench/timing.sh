# Sourced by the whole-process comparisons. Expects $work (a scratch folder)
# and $size (the input's bytes); report compares with $ours (our median wall
# seconds), which the first report sets when it is empty.

# measure COUNT COMMAND...: runs it COUNT times; sets $wall and $cpu (median
# seconds, CPU being user plus system) and $peak (largest resident set, KB).
measure() {
  count=$1; shift
  i=0; : >"$work/times"
  while [ $i -lt "$count" ]; do
    /usr/bin/time -f '%e %U %S %M' -o "$work/one" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$work/one" >>"$work/times"
    i=$((i + 1))
  done
  wall=$(awk '{print $1}' "$work/times" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  cpu=$(awk '{print $2 + $3}' "$work/times" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  peak=$(awk '{print $4}' "$work/times" | sort -n | tail -n 1)
}

header() {
  printf '%-34s %9s %9s %9s %10s %9s %9s\n' "$1" "wall s" "CPU s" "MB/s" "peak MB" "x input" "vs ours"
}

# report NAME COUNT COMMAND...: measures it and prints a row; the ratio is its
# wall time over ours, so above 1 it is slower than styledtext.
report() {
  name=$1; shift
  measure "$@"
  [ -z "${ours:-}" ] && ours=$wall
  printf '%-34s %9.3f %9.3f %9.1f %10.1f %9.2f %8.1fx\n' "$name" "$wall" "$cpu" \
    "$(echo "$size / $wall / 1000000" | bc -l)" "$(echo "$peak / 1024" | bc -l)" \
    "$(echo "$peak * 1024 / $size" | bc -l)" "$(echo "$wall / $ours" | bc -l)"
}
