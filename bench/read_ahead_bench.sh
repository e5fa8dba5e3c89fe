#!/usr/bin/env bash
# Read-ahead on the generated 2,000-page site. Part one: behind bench's delay
# server (every answer 20 ms late, like a distant server), the crawl one
# address at a time and with 8 connections, and wget2 with 8 threads over the
# same site, in one run; the trees of both crawls must be identical. Part
# two: plain nginx without latency, this build against another build (main).
#   bench/read_ahead_bench.sh [RUNS] [OTHER_CLI]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
other_cli=${2:-}
levels=${LEVELS:-3}
delay_ms=${DELAY_MS:-20}
cli=${TARNWICK_CLI:-$root/build/release/cli/tarnwick-cli}
server=${DELAY_SERVER:-$root/build/release/bench/delay_server}
shared=${TARNWICK_SHARED:-$root/../shared}
[ -x "$cli" ] && [ -x "$server" ] || { echo "build the release preset first" >&2; exit 1; }
command -v wget2 >/dev/null || { echo "wget2 missing (scripts/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "${nginx_site:-}" ] && "$shared/bench/serve.sh" stop "$nginx_site" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

find_args=(--find links,images,emails,keywords --keywords ultramarine)

# Wall seconds and peak resident KB of one command: "SECONDS KB".
timed() {
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || true
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000 ))e-6 $(tail -1 "$work/time")"
}
median() { sort -g | sed -n "$(( (runs + 1) / 2 ))p"; }

# ---- part one: 20 ms per answer (PART=2 skips it)
if [ "${PART:-}" != 2 ]; then
site=${DELAY_SITE:-/tmp/tarnwick-site-delay}
[ -f "$site/meta/site.json" ] || python3 "$shared/bench/make_site.py" site "$site" >/dev/null
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 "$shared/bench/make_site.py" retarget "$site" --port "$port" >/dev/null
count="$work/count"
"$server" "$site/www" "$port" "$delay_ms" "$count" 900 &
pids+=($!)
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
start=http://127.0.0.1:$port/
answered() { sleep 1.2; cat "$count"; }

echo "## $delay_ms ms per answer, --levels $levels, median of $runs runs"
printf '%-22s %9s %9s %12s %9s\n' peer requests seconds "requests/s" "peak MB"
declare -A rate
for peer in parallel-1 parallel-8 wget2-8; do
  ts=() peak=0 requests=0
  for i in $(seq "$runs"); do
    before=$(answered)
    case $peer in
      parallel-*) cmd=("$cli" crawl "$start" --levels "$levels" "${find_args[@]}"
                       --parallel "${peer#parallel-}" --tree "$work/tree-$peer") ;;
      wget2-8) rm -rf "$work/w2"
               cmd=(wget2 -q --max-threads=8 -r -l "$levels" -P "$work/w2" "$start") ;;
    esac
    read -r t kb < <(timed "${cmd[@]}")
    requests=$(( $(answered) - before ))
    ts+=("$t"); (( kb > peak )) && peak=$kb
  done
  m=$(printf '%s\n' "${ts[@]}" | median)
  rate[$peer]=$(awk -v n="$requests" -v t="$m" 'BEGIN { printf "%.1f", n / t }')
  awk -v p="$peer" -v n="$requests" -v t="$m" -v k="$peak" \
    'BEGIN { printf "%-22s %9d %9.2f %12.1f %9.1f\n", p, n, t, n / t, k / 1024 }'
done
if cmp -s "$work/tree-parallel-1" "$work/tree-parallel-8"; then
  echo "trees: identical ($(wc -l < "$work/tree-parallel-1") lines)"
else
  echo "trees: DIFFERENT"
fi
awk -v a="${rate[parallel-8]}" -v b="${rate[parallel-1]}" -v w="${rate[wget2-8]}" \
  'BEGIN { printf "parallel 8 / parallel 1: %.2fx; parallel 8 / wget2: %.2fx (requests per second)\n", a / b, a / w }'
fi

# ---- part two: plain nginx, no latency
[ -n "$other_cli" ] || exit 0
nginx_site=${NGINX_SITE:-/tmp/tarnwick-site}
[ -f "$nginx_site/meta/site.json" ] || python3 "$shared/bench/make_site.py" site "$nginx_site" >/dev/null
nport=$("$shared/bench/serve.sh" start "$nginx_site")
nstart=http://127.0.0.1:$nport/
echo
echo "## plain nginx, no latency, --levels $levels, median of $runs runs"
printf '%-22s %9s %9s %12s %9s\n' build requests seconds "requests/s" "peak MB"
for build in other this-parallel-1 this-parallel-8; do
  case $build in
    other) cmd=("$other_cli" crawl "$nstart" --levels "$levels" "${find_args[@]}") ;;
    this-parallel-*) cmd=("$cli" crawl "$nstart" --levels "$levels" "${find_args[@]}"
                          --parallel "${build#this-parallel-}") ;;
  esac
  : > "$nginx_site/run/access.log"
  "${cmd[@]}" >/dev/null 2>&1 || true
  requests=$(wc -l < "$nginx_site/run/access.log")
  ts=() peak=0
  for i in $(seq "$runs"); do
    read -r t kb < <(timed "${cmd[@]}")
    ts+=("$t"); (( kb > peak )) && peak=$kb
  done
  m=$(printf '%s\n' "${ts[@]}" | median)
  awk -v p="$build" -v n="$requests" -v t="$m" -v k="$peak" \
    'BEGIN { printf "%-22s %9d %9.2f %12.1f %9.1f\n", p, n, t, n / t, k / 1024 }'
done
