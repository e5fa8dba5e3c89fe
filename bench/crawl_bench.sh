#!/usr/bin/env bash
# Crawl rate and peak memory on the generated 2,000-page site served by nginx
# on loopback, beside the raw rate of fetching the same addresses one after
# another over keep-alive (curl with one config, wget -i), in the same run.
#   bench/crawl_bench.sh [SITE_DIR] [RUNS] [LEVELS...]
# The addresses of the peers are the requests the crawl made (nginx's access
# log), in the same order; refused connections to the dead host are left out,
# which favours the peers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site=$(realpath -m "${1:-/tmp/tarnwick-site}")
runs=${2:-3}
shift $(( $# > 2 ? 2 : $# ))
levels=("$@")
(( ${#levels[@]} )) || levels=(1 3 5)
cli=${TARNWICK_CLI:-$root/build/release/cli/tarnwick-cli}
shared=${TARNWICK_SHARED:-$root/../shared}
serve=$shared/bench/serve.sh

[ -x "$cli" ] || { echo "build the release preset first (or set TARNWICK_CLI)" >&2; exit 1; }
command -v wget >/dev/null || { echo "wget missing" >&2; exit 1; }
if [ ! -f "$site/meta/site.json" ]; then
  python3 "$shared/bench/make_site.py" site "$site" >/dev/null
fi
port=$("$serve" start "$site")
trap '"$serve" stop "$site" >/dev/null 2>&1' EXIT
log=$site/run/access.log
start=http://127.0.0.1:$port/
work=$(mktemp -d)
trap '"$serve" stop "$site" >/dev/null 2>&1; rm -rf "$work"' EXIT

# Wall time in seconds and peak resident KB of one command: "SECONDS KB".
timed() {
  local t0 t1
  t0=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || true
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000 ))e-6 $(tail -1 "$work/time")"
}

median() { sort -g | sed -n "$(( (runs + 1) / 2 ))p"; }

echo "site: $start; median of $runs runs; rates in addresses per second"
printf '%-7s %8s %10s %10s %10s %8s %8s %10s %10s\n' levels requests tarnwick curl wget ratio/curl ratio/wget "peak MB" "bound MB"
for level in "${levels[@]}"; do
  crawl=("$cli" crawl "$start" --levels "$level" --find links,images,emails,keywords --keywords ultramarine)
  : > "$log"
  "${crawl[@]}" --tree "$work/tree" 2>/dev/null
  requests=$(wc -l < "$log")
  awk '{ gsub(/"/, "", $4); print "http://" $2 ":'"$port"'" $4 }' "$log" > "$work/list"
  awk '{ print "url = \"" $0 "\"\noutput = \"/dev/null\"" }' "$work/list" > "$work/curl.cfg"
  labels=$(sed -E 's/^ *[0-9] //' "$work/tree" | wc -c)
  t_ours=() t_curl=() t_wget=() peak=0
  for _ in $(seq "$runs"); do
    read -r t kb < <(timed "${crawl[@]}")
    t_ours+=("$t"); (( kb > peak )) && peak=$kb
    read -r t _ < <(timed curl -s -K "$work/curl.cfg")
    t_curl+=("$t")
    read -r t _ < <(timed wget -q -O /dev/null -i "$work/list")
    t_wget+=("$t")
  done
  m_ours=$(printf '%s\n' "${t_ours[@]}" | median)
  m_curl=$(printf '%s\n' "${t_curl[@]}" | median)
  m_wget=$(printf '%s\n' "${t_wget[@]}" | median)
  awk -v l="$level" -v n="$requests" -v a="$m_ours" -v c="$m_curl" -v w="$m_wget" -v p="$peak" -v b="$labels" \
    'BEGIN { printf "%-7s %8d %10.0f %10.0f %10.0f %8.2f %8.2f %10.1f %10.1f\n",
             l, n, n / a, n / c, n / w, c / a, w / a, p / 1024, 64 + 2 * b / 1048576 }'
done
