#!/usr/bin/env bash
# add-smpl.sh IN.wav ROOT_KEY LOOP_START LOOP_END > OUT.wav
# Writes IN.wav with a "smpl" chunk added: the root key (MIDI note) and one forward loop from
# LOOP_START to LOOP_END (frames, both inclusive, as the chunk counts them). IN.wav must be a
# plain PCM WAV as sox writes it for 16 bits and up to two channels: "fmt " of 16 bytes first.
set -euo pipefail
export LC_ALL=C

[[ $# -eq 4 ]] || { echo "usage: $0 IN.wav ROOT_KEY LOOP_START LOOP_END > OUT.wav" >&2; exit 2; }
in=$1 root=$2 start=$3 end=$4

header=$(od -An -tx1 -N40 -v "$in" | tr -d ' \n')
[[ ${header:0:8} == 52494646 && ${header:16:8} == 57415645 && ${header:24:8} == 666d7420 &&
   ${header:32:8} == 10000000 && ${header:40:4} == 0100 && ${header:72:8} == 64617461 ]] ||
  { echo "$0: $in is not a plain PCM WAV with its data right after a 16-byte \"fmt \"" >&2; exit 1; }
rate=$(od -An -tu4 -j24 -N4 "$in" | tr -d ' ')
size=$(stat -c %s "$in")
(( size % 2 == 0 )) || { echo "$0: $in has an odd length" >&2; exit 1; }

le32() { printf -v out '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); printf "$out"; }

chunk=60  # nine fields, one loop of six fields
# RIFF size: everything behind its first 8 bytes, the new chunk included.
printf 'RIFF'; le32 $((size - 8 + 8 + chunk))
tail -c +9 "$in"
printf 'smpl'; le32 "$chunk"
le32 0; le32 0                # manufacturer, product
le32 $((1000000000 / rate))   # sample period in nanoseconds
le32 "$root"; le32 0          # MIDI unity note, pitch fraction
le32 0; le32 0                # SMPTE format and offset
le32 1; le32 0                # one loop, no sampler data
le32 0; le32 0                # cue point id, type 0: forward
le32 "$start"; le32 "$end"
le32 0; le32 0                # fraction, play count 0: for ever
