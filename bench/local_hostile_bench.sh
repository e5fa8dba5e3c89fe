#!/usr/bin/env bash
# Local search on the two hostile inputs too big for the test suite: a folder
# of 100,000 small files and a 5 GB sparse file (a needle 100 bytes before its
# end). Prints wall time, CPU time and peak resident size of each.
#   bench/local_hostile_bench.sh [WORK_DIR] [FILES] [SPARSE_GB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/tmp/tarnwick-hostile-bench}
count=${2:-100000}
gigabytes=${3:-5}
cli=$root/build/release/cli/tarnwick-cli

[ -x "$cli" ] || { echo "build the release preset first" >&2; exit 1; }
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

measure() {
  local name=$1; shift
  /usr/bin/time -o "$work/stats" -f '%e %U %S %M' "$@" >"$work/out" 2>/dev/null
  read -r wall user sys kb < <(tail -1 "$work/stats")
  printf '%-28s wall %7.2f s   user %6.2f s   sys %6.2f s   peak %7.1f MB\n' \
    "$name" "$wall" "$user" "$sys" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')"
}

files=$work/files
mkdir -p "$files"
python3 - "$files" "$count" <<'EOF'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    with open(os.path.join(folder, "f%06d.htm" % i), "w") as f:
        f.write('<a href="p%d.htm">key</a> <a href="mailto:u%d@example.org">m</a>\n' % (i, i))
EOF
measure "$count files" "$cli" local "$files" --find links,emails,keywords --keywords key
measure "$count files, tree dumped" "$cli" local "$files" --find links,emails,keywords \
  --keywords key --tree -
rm -rf "$files"

sparse=$work/sparse.bin
size=$((gigabytes * 1024 * 1024 * 1024))
truncate -s "$size" "$sparse"
printf 'needle' | dd of="$sparse" bs=1 seek=$((size - 100)) conv=notrunc status=none
measure "${gigabytes} GiB sparse file" "$cli" local "$sparse" --keywords needle --tree -
grep -q "4 ($((size - 100))) '" "$work/out" || { echo "the needle was not found" >&2; exit 1; }
