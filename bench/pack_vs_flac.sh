#!/usr/bin/env bash
# Times `hamper pack` on a real content folder against flac coding the same audio, as whole
# processes (best of several runs), and prints the times, their ratio and our peak memory.
#
#   bench/pack_vs_flac.sh [HAMPER_EXE]
#
# The content folder is laid out from the WAV and AIFF recordings of the Debian package
# hydrogen-drumkits (one folder per kit, links to the recordings, the demo splash and an
# INFO.TXT), keeping the files both programs read: integer PCM of 8 to 24 bits, one or two
# channels. A pack checks, codes and verifies (decodes) every sample, so its peer is flac -0 over
# all files in one process plus flac -d over all the results in one process.
#
# When `hamper pack` has a -j option, the pack is timed with -j 1 and with one job per core.
# Installs what is missing (scripts/setup, and hydrogen-drumkits with apt-get). RUNS (default 5)
# sets the number of runs per command.
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")/.." && pwd)
hamper=${1:-$here/build/dev/hamper}
[[ -x "$hamper" ]] || { echo "usage: $0 [HAMPER_EXE] (no hamper executable at $hamper)" >&2; exit 2; }
runs=${RUNS:-5}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "$0: RUNS must be a positive whole number" >&2; exit 2; }

"$here/scripts/setup"
# shellcheck source=bench/hydrogen_folder.sh
source "$here/bench/hydrogen_folder.sh"
ensure_hydrogen_drumkits

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
content="$work/Hydrogen Drumkits"
flat=$work/flat     # the same files under unique names: flac writes every output into one folder
mkdir -p "$work/flac" "$work/decoded"
make_hydrogen_folder "$content" "$flat"
source_bytes=$(du -cLb "$flat" | tail -1 | cut -f1)

hmp=$work/out.hmp
# Best wall time of a command in seconds, over the runs; the command's output is dropped.
best() {
  local bestns= t0 t1 ns r
  for ((r = 0; r < runs; r++)); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "$0: failed: $*" >&2; "$@" >&2 || true; exit 1; }
    t1=$(date +%s%N)
    ns=$((t1 - t0))
    if [[ -z "$bestns" || $ns -lt $bestns ]]; then bestns=$ns; fi
  done
  awk -v n="$bestns" 'BEGIN { printf "%.3f", n / 1e9 }'
}
# Peak resident memory of one run of a command, in MiB.
peak_mib() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mbs() { awk -v t="$1" -v b="$pcm_bytes" 'BEGIN { printf "%.0f", b / t / 1e6 }'; }

pack=("$hamper" pack "$content" -o "$hmp" --force -q)
flac_encode() { flac -0 -s -f --output-prefix="$work/flac/" "$flat"/*; }
flac_decode() { flac -d -s -f --output-prefix="$work/decoded/" "$work/flac"/*.flac; }
flac_both() { flac_encode && flac_decode; }

# One untimed pass of each fills the page cache and shows that every file is accepted.
"${pack[@]}" || { echo "$0: hamper pack failed on the corpus" >&2; exit 1; }
# flac warns about every chunk it does not keep; only a failure is worth showing.
flac_both 2>"$work/flac.log" || { cat "$work/flac.log" >&2; exit 1; }

jobs_counts=(0)
if "$hamper" pack --help 2>/dev/null | grep -qE '^ *-j\b'; then
  cores=$(nproc)
  jobs_counts=(1)
  ((cores > 1)) && jobs_counts+=("$cores")
fi

echo "corpus: $files recordings of hydrogen-drumkits ($skipped left out), $source_bytes bytes of files," \
  "$pcm_bytes bytes as 16-bit PCM"
echo "hamper: $hamper; best of $runs runs each, whole processes"
echo

t_enc=$(best flac_encode)
t_dec=$(best flac_decode)
t_flac=$(awk -v a="$t_enc" -v b="$t_dec" 'BEGIN { printf "%.3f", a + b }')
flac_bytes=$(du -cb "$work/flac" | tail -1 | cut -f1)

echo "PCM MB/s: the audio as 16-bit PCM per second. A Hamper holds every sample at 16 bits, flac keeps"
echo "24-bit recordings at 24 bits, so the sizes are not a like-for-like comparison."
echo
printf '%-34s %9s %9s %12s\n' "command" "seconds" "PCM MB/s" "bytes"
printf '%-34s %9s %9s %12s\n' "flac -0 (all files)" "$t_enc" "$(mbs "$t_enc")" "$flac_bytes"
printf '%-34s %9s %9s\n' "flac -d (all files)" "$t_dec" "$(mbs "$t_dec")"
printf '%-34s %9s %9s\n' "flac -0 + flac -d" "$t_flac" "$(mbs "$t_flac")"
summary=()
for j in "${jobs_counts[@]}"; do
  command=("${pack[@]}")
  label="hamper pack"
  if ((j > 0)); then command+=(-j "$j"); label+=" -j $j"; fi
  t_pack=$(best "${command[@]}")
  rss=$(peak_mib "${command[@]}")
  printf '%-34s %9s %9s %12s  peak %s MiB\n' "$label" "$t_pack" "$(mbs "$t_pack")" "$(stat -c %s "$hmp")" "$rss"
  summary+=("$label / (flac -0 + flac -d): $(ratio "$t_pack" "$t_flac")   peak memory $rss MiB")
done
echo
printf '%s\n' "${summary[@]}"
