#!/usr/bin/env bash
# Runs the benchmarks side by side and prints the ratios they are judged by. Builds first.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
export QUORVANE_BUILD_DIR=$BUILD
"$ROOT/scripts/build.sh" >/dev/null

WORK=$(mktemp -d /tmp/quorvane-bench.XXXXXX)
chmod 755 "$WORK"
cleanup() {
    "$ROOT/scripts/test-postgres.sh" stop "$WORK/pg"
    rm -rf "$WORK"
}
trap cleanup EXIT
SOCKET=$("$ROOT/scripts/test-postgres.sh" start "$WORK/pg")
psql -h "$SOCKET" -d postgres -qc "CREATE DATABASE quorvane_bench" >/dev/null
export QUORVANE_BENCH_PG="host=$SOCKET dbname=quorvane_bench"

echo "== machine"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(free -h | awk '/Mem:/{print $2}') memory"

echo "== one LookupText against a bare SELECT 1 (same driver, same connection)"
"$BUILD/bench/bench_lookup" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$WORK/lookup.json" 2>/dev/null
python3 - "$WORK/lookup.json" <<'PY'
import json, sys
rows = {b["run_name"]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
for backend in ("sqlite", "postgres"):
    lookup, bare = rows.get(f"{backend}/LookupText"), rows.get(f"{backend}/bare_SELECT_1")
    same = rows.get(f"{backend}/bare_lookup")
    if lookup and bare and same:
        print(f"{backend:9s} LookupText {lookup/1000:7.2f} µs | bare SELECT 1 {bare/1000:7.2f} µs, ratio {lookup/bare:.2f}"
              f" | same statement bare {same/1000:7.2f} µs, ratio {lookup/same:.2f}")
PY

echo "== opening the issuer screen on 10,000 issuers, against the bare queries it stands on"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/bench_issuer_open"

echo "== process start to login screen shown, against an empty Qt Widgets window"
export XDG_CONFIG_HOME=$WORK/config XDG_CONFIG_DIRS=$WORK/xdg XDG_DATA_HOME=$WORK/data
export XDG_RUNTIME_DIR=$WORK/runtime QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
python3 - "$BUILD/bench/bench_start_login" "$BUILD/bench/bench_start_empty" <<'PY'
import statistics, subprocess, sys, time
def run(cmd):
    start = time.perf_counter()
    subprocess.run([cmd], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start
login, empty = [], []
for _ in range(3):
    run(sys.argv[1]); run(sys.argv[2])
for _ in range(20):   # interleaved so that both see the same machine
    login.append(run(sys.argv[1])); empty.append(run(sys.argv[2]))
l, e = statistics.median(login), statistics.median(empty)
print(f"login screen {l*1000:7.1f} ms   empty window {e*1000:7.1f} ms   ratio {l/e:.2f}  (medians of 20, {sys.argv[0] and 'offscreen'})")
PY

echo "== report grid of 100,000 rows: a caption click's sort against a bare std::sort of the same texts"
"$BUILD/bench/bench_grid_sort"

echo "== report grid memory: 1,000,000 voucher rows held as typed columns against a text per cell"
"$BUILD/bench/bench_grid_memory"
