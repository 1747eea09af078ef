#!/usr/bin/env bash
# Where a pack's bytes go: for the hydrogen-drumkits folder of pack_vs_flac.sh (about 200 MB) and a
# folder holding one 1 GiB WAV, prints for each hamper program given
#   - the bytes the pack process wrote (its file-system output count, getrusage's ru_oublock, as
#     GNU time's %O reports it) per byte of the Hamper it made; target at most 1.1
#   - the peak of $TMPDIR while it ran (a folder of its own, measured every 20 ms); target nothing
#   - its peak memory (maximum resident set)
#   - its time (median of the runs) against `cp -r` of the same folder (links followed, the copies
#     then synced, as the pack syncs its Hamper)
#
#   bench/pack_writes.sh [HAMPER_EXE]...      (default: build/dev/hamper)
#
# Give an older build first to see before and after, e.g. main built in a scratch folder:
#   bench/pack_writes.sh /tmp/main-build/hamper build/dev/hamper
# RUNS (default 3) sets the runs per command, JOBS the pack's -j (default: one per core), BIG_MIB
# the size of the large WAV (default 1024). Installs what is missing (scripts/setup, and
# hydrogen-drumkits with apt-get).
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")/.." && pwd)
programs=("$@")
((${#programs[@]} > 0)) || programs=("$here/build/dev/hamper")
for p in "${programs[@]}"; do
  [[ -x "$p" ]] || { echo "usage: $0 [HAMPER_EXE]... (no hamper executable at $p)" >&2; exit 2; }
done
runs=${RUNS:-3}
jobs=${JOBS:-$(nproc)}
big_mib=${BIG_MIB:-1024}
[[ "$runs" =~ ^[1-9][0-9]*$ && "$jobs" =~ ^[1-9][0-9]*$ && "$big_mib" =~ ^[1-9][0-9]*$ ]] ||
  { echo "$0: RUNS, JOBS and BIG_MIB must be positive whole numbers" >&2; exit 2; }

"$here/scripts/setup"
# shellcheck source=bench/hydrogen_folder.sh
source "$here/bench/hydrogen_folder.sh"
ensure_hydrogen_drumkits

work=$(mktemp -d)
poller=
trap '[[ -n "$poller" ]] && kill "$poller" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP

make_hydrogen_folder "$work/Hydrogen Drumkits"
# 16-bit stereo at 44.1 kHz, 4 bytes a frame: a sweep, which the codec packs to about half.
mkdir -p "$work/Big WAV"
sox -n -r 44100 -c 2 -b 16 "$work/Big WAV/long.wav" synth $((big_mib * 1048576 / 4 / 44100)) sine 220-880 vol 0.5
cp "$here/examples/Harbor Drums/Splash.jpg" "$work/Big WAV/Splash.jpg"
printf 'NAME "Big WAV"\n' >"$work/Big WAV/INFO.TXT"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# Bytes of the files in a folder, measured until the file `stop` appears; the largest goes to `out`.
watch_peak() {
  local folder=$1 stop=$2 out=$3 peak=0 now
  while [[ ! -e "$stop" ]]; do
    now=$(find "$folder" -type f -printf '%s\n' 2>/dev/null | awk '{ s += $1 } END { print s + 0 }')
    ((now > peak)) && peak=$now
    sleep 0.02
  done
  echo "$peak" >"$out"
}

# One pack: sets written (bytes), rss (KiB), seconds, tmp_peak (bytes) and hamper_bytes.
pack_once() {
  local program=$1 folder=$2 tmp=$work/tmp
  rm -rf "$tmp" "$work/out" "$work/stop"
  mkdir -p "$tmp" "$work/out"
  watch_peak "$tmp" "$work/stop" "$work/peak" &
  poller=$!
  /usr/bin/time -f "%O %M %e" -o "$work/time" env TMPDIR="$tmp" "$program" pack -q -j "$jobs" "$folder" \
    -o "$work/out/out.hmp" || { touch "$work/stop"; echo "$0: $program failed on $folder" >&2; exit 1; }
  touch "$work/stop"
  wait "$poller"
  poller=
  local blocks
  read -r blocks rss seconds <"$work/time"
  written=$((blocks * 512))
  tmp_peak=$(cat "$work/peak")
  hamper_bytes=$(stat -c %s "$work/out/out.hmp")
}

copy_once() {
  local folder=$1
  rm -rf "$work/copy"
  # shellcheck disable=SC2016 # the inner shell expands its own arguments
  /usr/bin/time -f "%O %e" -o "$work/time" bash -c 'cp -rL "$1" "$2" && find "$2" -type f -exec sync {} +' _ \
    "$folder" "$work/copy"
  local blocks
  read -r blocks seconds <"$work/time"
  written=$((blocks * 512))
}

echo "pack -j $jobs; times are medians of $runs runs, whole processes; the folders' files are in the page cache"
echo
printf '%-18s %-34s %13s %10s %9s %8s %8s %9s\n' folder program "Hamper bytes" "written/B" "TMPDIR" "peak MiB" seconds "/ cp -r"
for label in "Hydrogen Drumkits" "Big WAV"; do
  folder=$work/$label
  # Read once, so that every run finds the files in the page cache.
  cat "$folder"/* "$folder"/*/* >/dev/null 2>&1 || true
  times=()
  for ((r = 0; r < runs; r++)); do copy_once "$folder"; times+=("$seconds"); done
  copy_seconds=$(printf '%s\n' "${times[@]}" | median)
  copy_bytes=$(du -sbL "$folder" | cut -f1)
  printf '%-18s %-34s %13s %10s %9s %8s %8s %9s\n' "$label" "cp -r (the folder, for reference)" "$copy_bytes" \
    "$(ratio "$written" "$copy_bytes")" "-" "-" "$copy_seconds" "1.00"
  for program in "${programs[@]}"; do
    times=()
    for ((r = 0; r < runs; r++)); do pack_once "$program" "$folder"; times+=("$seconds"); done
    pack_seconds=$(printf '%s\n' "${times[@]}" | median)
    shown=$program
    ((${#shown} > 34)) && shown="...${shown: -31}"
    printf '%-18s %-34s %13s %10s %9s %8s %8s %9s\n' "$label" "$shown" "$hamper_bytes" \
      "$(ratio "$written" "$hamper_bytes")" "$tmp_peak" "$((rss / 1024))" "$pack_seconds" \
      "$(ratio "$pack_seconds" "$copy_seconds")"
  done
done
echo
echo "written/B: bytes the process wrote per byte of its output (cp -r: per byte of the folder)."
echo "TMPDIR: the most its temporary folder held at once, in bytes."
