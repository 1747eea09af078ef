#!/usr/bin/env bash
# Writes the demo's Standard MIDI File on standard output: format 1, a tempo track and a drum
# track (channel 10) playing two bars of the Harbor Groove at 120 beats per minute.
set -euo pipefail
export LC_ALL=C

ppq=96  # ticks per quarter note
# Each byte is kept as "\xHH", four characters, so a track's length is its text length / 4.
bytes() { local b; for b in "$@"; do printf -v b '\\x%02x' "$b"; track+=$b; done; }
text() { local i; for ((i = 0; i < ${#1}; i++)); do printf -v c '%d' "'${1:i:1}"; bytes "$c"; done; }
# A variable-length quantity: 7 bits a byte, high bit set on all but the last.
vlq() {
  local v=$1 out=() 
  out=($((v & 127)))
  while ((v >>= 7)); do out=($(((v & 127) | 128)) "${out[@]}"); done
  bytes "${out[@]}"
}
meta() { local type=$1; shift; vlq 0; bytes 255 "$type"; vlq $#; bytes "$@"; }
name() { vlq 0; bytes 255 3; vlq ${#1}; text "$1"; }
chunk() {  # ID and the track text
  local length=$((${#2} / 4))
  printf '%s' "$1"
  printf -v len '\\x%02x\\x%02x\\x%02x\\x%02x' $((length >> 24 & 255)) $((length >> 16 & 255)) $((length >> 8 & 255)) $((length & 255))
  printf "$len$2"
}

# Header: format 1, two tracks, 96 ticks per quarter note.
printf 'MThd\0\0\0\6\0\1\0\2'
printf -v division '\\x%02x\\x%02x' $((ppq >> 8)) $((ppq & 255))
printf "$division"

track=
name "Harbor Groove"
meta 81 7 161 32      # tempo: 500000 microseconds a quarter note
meta 88 4 2 24 8      # 4/4
meta 47               # end of track
chunk MTrk "$track"

# The drum pattern as (tick note velocity) lines: kick 36, snare 38, closed hat 42, open hat 46.
events=$(
  for bar in 0 1; do
    base=$((bar * 4 * ppq))
    for eighth in 0 1 2 3 4 5 6 7; do
      hat=42; ((bar == 1 && eighth == 7)) && hat=46
      echo "$((base + eighth * ppq / 2)) $hat $((eighth % 2 ? 70 : 96))"
    done
    echo "$base 36 120"
    echo "$((base + 2 * ppq)) 36 110"
    echo "$((base + 5 * ppq / 2)) 36 90"
    echo "$((base + ppq)) 38 112"
    echo "$((base + 3 * ppq)) 38 118"
  done |
    awk -v len=$((ppq / 4)) '{ print $1, 1, $2, $3; print $1 + len, 0, $2, 0 }' | sort -n -k1,1 -k2,2 -k3,3
)
track=
name "Drums"
now=0
while read -r tick on note velocity; do
  vlq $((tick - now)); now=$tick
  if ((on)); then bytes 153 "$note" "$velocity"; else bytes 137 "$note" 64; fi  # channel 10
done <<<"$events"
meta 47
chunk MTrk "$track"
