#!/usr/bin/env bash
# The benchmark: builds what it needs, starts the sample site on nginx and
# measures Clipwell against its floor and against curl, page analysis,
# memory, responsiveness and start-up, several runs each. Prints one table
# and writes it as JSON to build/bench/results.json.
#   scripts/bench.sh [RUNS]   (default 3; THROUGHPUT_PAIRS, default 5 x RUNS)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-3}

scripts/setup.sh --i386
# Optimised builds of their own; the Wine rig (prefix, wineserver, Xvfb)
# is the one of the win64 test build.
for preset in bench-host bench-win64 win64; do
  cmake --preset "$preset" >/dev/null
done
cmake --build --preset bench-host --target page_bench
cmake --build --preset bench-win64 --target Clipwell clipwell_bench floor page_bench chunk_count
bin=$root/build/bench-win64

out=$root/build/bench
rm -rf "$out"
mkdir -p "$out/work"
results=$out/results.txt
: >"$results"
. build/win64/wine/wine-env.sh

cleanup() {
  "$root/site/serve.sh" stop "$out/site" || true
  "$root/build/win64/wine/wine-session.sh" stop || true
}
trap cleanup EXIT
"$root/site/serve.sh" start "$out/site" --tests
port=$(cat "$out/site/port")
build/win64/wine/wine-session.sh start
. build/win64/wine/wine-env.sh

site=$out/site/site
page() { echo "http://video.example.com/watch?v=$1"; }
winpath() { echo "Z:${1//\//\\}"; }
under_fixture() {
  CLIPWELL_EXE="$bin/src/Clipwell.exe" python3 "$root/tests/fixture/fixture_server.py" -- \
    "$root/build/win64/wine/wine-run.sh" "$@"
}
record() { tee -a "$results"; }
floor() {
  http_proxy=http://127.0.0.1:$port "$root/build/win64/wine/wine-run.sh" "$bin/bench/floor.exe" \
    "$(page harbour)" "get_video?video_id=harbour&t=s0" floor.flv "$@" | tr -d '\r' | record
  cmp -s floor.flv "$site/videos/harbour.flv" || { echo "the floor's file differs" >&2; exit 1; }
}

cd "$out/work"
echo "== page analysis"
for _ in $(seq "$runs"); do
  "$root/build/bench-host/bench/page_bench" | sed 's/^/native_/' | record
  "$root/build/win64/wine/wine-run.sh" "$bin/bench/page_bench.exe" | tr -d '\r' | sed 's/^/wine_/' | record
done

# Single grabs here vary by up to a third from one to the next, so
# Clipwell and the floor with hidden controls run in alternating pairs,
# many of them, and the report compares each pair's two times.
pairs=${THROUGHPUT_PAIRS:-$((runs * 5))}
# Every other pair runs the floor first: a machine that speeds up or slows
# down during a run then tips the pairs' ratios one way as often as the other.
grab_pairs() {
  for pair in $(seq "$pairs"); do
    if ((pair % 2 == 0)); then floor --hidden; fi
    under_fixture "$bin/bench/clipwell_bench.exe" "$port" throughput "$(page harbour)" \
      "Sunset over the harbour.flv" "$(winpath "$site/videos/harbour.flv")" | tr -d '\r' | record
    if ((pair % 2 == 1)); then floor --hidden; fi
  done
}
echo "== grab of 8 MiB: Clipwell and the floor with hidden controls, $pairs pairs"
grab_pairs

echo "== grab of 8 MiB: the floor, its chunk count, curl"
for _ in $(seq "$runs"); do
  floor
  http_proxy=http://127.0.0.1:$port "$root/build/win64/wine/wine-run.sh" "$bin/bench/chunk_count.exe" \
    "get_video?video_id=harbour&t=s0" | tr -d '\r' | record
  curl -s -o curl.flv -w 'curl_seconds=%{time_total}\n' -x "http://127.0.0.1:$port" \
    "http://video.example.com/get_video?video_id=harbour&t=s0" | record
  cmp -s curl.flv "$site/videos/harbour.flv" || { echo "curl's file differs" >&2; exit 1; }
done

echo "== grab of 8 MiB by the released 32-bit exe and by the 64-bit one, in the same 32-bit Wine session"
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release --target Clipwell)
"$root/tests/wine32/stage.sh" --bench "$runs" "$bin" "$root/build/release/src/Clipwell.exe" "$root/build/wine32" | record

echo "== memory: grabs of 1 MiB and 32 MiB"
for _ in $(seq "$runs"); do
  for id in mem1 mem32; do
    under_fixture "$bin/bench/clipwell_bench.exe" "$port" memory "$(page "$id")" \
      "Memory $id.flv" "$(winpath "$site/videos/$id.flv")" | tr -d '\r' | record
  done
done

echo "== responsiveness during a grab of 8 MiB"
for _ in $(seq "$runs"); do
  under_fixture "$bin/bench/clipwell_bench.exe" "$port" responsiveness "$(page harbour)" \
    "Sunset over the harbour.flv" "$(winpath "$site/videos/harbour.flv")" | tr -d '\r' | record
done

echo "== start-up"
for _ in $(seq 5); do
  under_fixture "$bin/bench/clipwell_bench.exe" "$port" startup | tr -d '\r' | record
done

echo "== soak: one Clipwell through ${SOAK_GRABS:-300} grabs, complete and faulty"
under_fixture "$bin/bench/clipwell_bench.exe" 0 soak "${SOAK_GRABS:-300}" | tr -d '\r' | record

# With two processors every message wakes a thread on the other one, and
# where the scheduler puts them decides as much as the work does. On one
# processor (the server, the site and the programs all moved there) the
# pairs measure the work itself, and differ by a few percent, not a third.
echo "== grab of 8 MiB: Clipwell and the floor with hidden controls on one processor, $pairs pairs"
taskset -p -c 0 $$ >/dev/null
"$root/build/win64/wine/wine-session.sh" stop
"$root/build/win64/wine/wine-session.sh" start
. "$root/build/win64/wine/wine-env.sh"
master=$(cat "$out/site/nginx.pid")
for pid in "$master" $(pgrep -P "$master"); do
  taskset -a -p -c 0 "$pid" >/dev/null
done
record() { sed 's/_seconds=/_one_cpu_seconds=/' | tee -a "$results"; }
grab_pairs

cd "$root"
python3 bench/report.py "$results" "$out/results.json" "$("$WINE64" --version 2>/dev/null || echo wine)"
