#!/usr/bin/env bash
# Times `hamper encode-audio` and `hamper decode-audio` against flac on the same real recordings,
# as whole processes (best of several runs), and prints the ratios ours/flac and the sizes.
#
#   bench/audio_vs_flac.sh [HAMPER_EXE] [INPUT.wav]
#
# Without INPUT the corpus is every WAV, FLAC and AIFF file of the Debian package
# hydrogen-drumkits, each converted by sox to 16-bit stereo 44.1 kHz and joined into one WAV
# (cached in ${XDG_CACHE_HOME:-~/.cache}/hamper-bench). Installs flac, sox and hydrogen-drumkits
# with apt-get when they are missing. RUNS (default 7) sets the number of runs per command.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
hamper=${1:-}
if [[ -z "$hamper" ]]; then
  for candidate in "$here"/build/hamper "$here"/build-*/hamper; do
    [[ -x "$candidate" ]] && { hamper=$candidate; break; }
  done
fi
[[ -x "$hamper" ]] || { echo "usage: $0 HAMPER_EXE [INPUT.wav] (no hamper executable found)" >&2; exit 2; }
input=${2:-}
runs=${RUNS:-7}

need=()
command -v flac >/dev/null || need+=(flac)
command -v sox >/dev/null || need+=(sox)
if [[ -z "$input" ]] && ! dpkg -s hydrogen-drumkits >/dev/null 2>&1; then need+=(hydrogen-drumkits); fi
if ((${#need[@]})); then
  echo "installing: ${need[*]}" >&2
  sudo_cmd=(); [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -z "$input" ]]; then
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/hamper-bench
  input=$cache/hydrogen-drumkits.wav
  if [[ ! -s "$input" ]]; then
    mkdir -p "$cache" "$work/parts"
    echo "building the corpus from hydrogen-drumkits (once)..." >&2
    i=0
    while IFS= read -r f; do
      # Same format for all: 16-bit stereo 44.1 kHz, no dither so the corpus is reproducible.
      sox -D "$f" -b 16 -e signed-integer -c 2 -r 44100 "$work/parts/$(printf %05d $i).wav" 2>/dev/null || continue
      i=$((i + 1))
    done < <(dpkg -L hydrogen-drumkits | grep -iE '\.(wav|flac|aiff?)$' | sort)
    sox "$work"/parts/*.wav "$input.tmp.wav"
    mv "$input.tmp.wav" "$input"
    rm -rf "$work/parts"
  fi
fi

pcm_bytes=$(soxi -s "$input" 2>/dev/null | awk '{print $1 * 4}')
echo "input: $input ($(stat -c %s "$input") bytes, $(soxi -d "$input"))"
echo "hamper: $hamper; best of $runs runs each"
echo

# Best wall time of a command in seconds (output to /dev/null unless it names its own file).
best() {
  local bestns= t0 t1 ns
  for ((r = 0; r < runs; r++)); do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    ns=$((t1 - t0))
    if [[ -z "$bestns" || $ns -lt $bestns ]]; then bestns=$ns; fi
  done
  awk -v n="$bestns" 'BEGIN { printf "%.4f", n / 1e9 }'
}

vrp=$work/out.vrp
f0=$work/out0.flac
f5=$work/out5.flac
t_enc=$(best "$hamper" encode-audio "$input" "$vrp")
t_f0=$(best flac -0 -f -s -o "$f0" "$input")
t_f5=$(best flac -5 -f -s -o "$f5" "$input")
t_dec=$(best "$hamper" decode-audio "$vrp" "$work/back.wav")
t_fd=$(best flac -d -f -s -o "$work/backf.wav" "$f5")
t_fd0=$(best flac -d -f -s -o "$work/backf0.wav" "$f0")

# Lossless check of what we timed.
cmp <(sox "$input" -t raw -) <(sox "$work/back.wav" -t raw -) >/dev/null || { echo "decode-audio output differs!" >&2; exit 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mbs() { awk -v t="$1" -v b="$pcm_bytes" 'BEGIN { printf "%.0f", b / t / 1e6 }'; }
size() { stat -c %s "$1"; }
pct() { awk -v s="$1" -v b="$pcm_bytes" 'BEGIN { printf "%.1f%%", 100 * s / b }'; }

printf '%-28s %9s %9s %12s %8s\n' "command" "seconds" "PCM MB/s" "bytes" "of PCM"
printf '%-28s %9s %9s %12s %8s\n' "hamper encode-audio" "$t_enc" "$(mbs "$t_enc")" "$(size "$vrp")" "$(pct "$(size "$vrp")")"
printf '%-28s %9s %9s %12s %8s\n' "flac -0" "$t_f0" "$(mbs "$t_f0")" "$(size "$f0")" "$(pct "$(size "$f0")")"
printf '%-28s %9s %9s %12s %8s\n' "flac -5" "$t_f5" "$(mbs "$t_f5")" "$(size "$f5")" "$(pct "$(size "$f5")")"
printf '%-28s %9s %9s\n' "hamper decode-audio" "$t_dec" "$(mbs "$t_dec")"
printf '%-28s %9s %9s\n' "flac -d (of the -5 file)" "$t_fd" "$(mbs "$t_fd")"
printf '%-28s %9s %9s\n' "flac -d (of the -0 file)" "$t_fd0" "$(mbs "$t_fd0")"
echo
echo "encode-audio / flac -0: $(ratio "$t_enc" "$t_f0")   (target <= 0.50)"
echo "encode-audio / flac -5: $(ratio "$t_enc" "$t_f5")"
echo "decode-audio / flac -d: $(ratio "$t_dec" "$t_fd") of the -5 file, $(ratio "$t_dec" "$t_fd0") of the -0 file   (target <= 0.85)"
