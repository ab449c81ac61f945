#!/bin/sh
# Two builds of the benchmarks side by side in one session: runs each
# benchmark that matches FILTER in the old and the new program in turn, ROUNDS
# times, and prints each one's median time and the new build's speed as a
# ratio of the old one's (above 1: the new build is faster). This machine's
# speed drifts from one hour to the next, so only figures taken together
# compare.
# usage: bench/compare_builds.sh OLD_BENCH NEW_BENCH [FILTER] [ROUNDS]
#   e.g. bench/compare_builds.sh ../main-before/build/bench/bin/styledtext_bench \
#        build/bench/bin/styledtext_bench 'BM_RtfReader' 5
set -eu
old=$1; new=$2; filter=${3:-.}; rounds=${4:-5}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
i=0
while [ "$i" -lt "$rounds" ]; do
  "$old" --benchmark_filter="$filter" --benchmark_format=json >"$out/old$i.json" 2>/dev/null
  "$new" --benchmark_filter="$filter" --benchmark_format=json >"$out/new$i.json" 2>/dev/null
  i=$((i + 1))
  echo "round $i of $rounds done" >&2
done
python3 - "$out" "$rounds" <<'EOF'
import json, statistics, sys
folder, rounds = sys.argv[1], int(sys.argv[2])
def times(side):
    seen = {}
    for i in range(rounds):
        for b in json.load(open(f"{folder}/{side}{i}.json"))["benchmarks"]:
            seen.setdefault(b["name"], []).append(b["real_time"])
            seen[b["name"] + "/unit"] = b["time_unit"]
    return seen
old, new = times("old"), times("new")
print(f"{'benchmark':52} {'old':>12} {'new':>12} {'new speed / old':>16}")
for name, values in old.items():
    if name.endswith("/unit") or name not in new:
        continue
    unit = old[name + "/unit"]
    o, n = statistics.median(values), statistics.median(new[name])
    print(f"{name:52} {o:10.3f}{unit:>2} {n:10.3f}{unit:>2} {o / n:16.3f}")
EOF
