#!/usr/bin/env bash
# Writes the 64 x 64 splash picture of the demo Hamper as a binary PPM on standard output:
# a drum under a night sky over the harbour water. make-content encodes it with cjpeg.
set -euo pipefail
export LC_ALL=C

w=64 h=64
printf 'P6\n%d %d\n255\n' "$w" "$h"
for ((y = 0; y < h; y++)); do
  row=
  for ((x = 0; x < w; x++)); do
    # Sky: navy at the top to dusk blue at the horizon; water below it with lighter ripples.
    if ((y < 44)); then
      r=$((16 + y)) g=$((28 + y * 2)) b=$((70 + y * 2))
    else
      r=12 g=$((70 + (y - 44) * 2)) b=$((110 + (y - 44)))
      if (((x + y * 3) % 11 == 0)); then r=$((r + 60)) g=$((g + 70)) b=$((b + 70)); fi
    fi
    # A moon in the upper right.
    dx=$((x - 52)) dy=$((y - 10))
    if ((dx * dx + dy * dy <= 25)); then r=236 g=232 b=200; fi
    # The drum: a red shell between two cream heads seen from slightly above.
    ex=$((x - 30))
    top=$(((ex * ex) * 64 / 484 + (y - 24) * (y - 24) * 64 / 36))  # head centred at (30, 24)
    bottom=$(((ex * ex) * 64 / 484 + (y - 48) * (y - 48) * 64 / 36))
    if ((ex >= -22 && ex <= 22 && y >= 24 && y <= 48)) || ((bottom <= 64)); then
      r=$((170 - (ex < 0 ? -ex : ex) * 3)) g=34 b=40
      if (((y - 24) % 8 == 0 && y > 24)) || ((ex == -22 || ex == 22)); then r=222 g=180 b=70; fi
    fi
    if ((top <= 64)); then
      r=$((240 - top)) g=$((228 - top)) b=$((200 - top))
      if ((top > 52)); then r=222 g=180 b=70; fi
    fi
    printf -v px '\\x%02x\\x%02x\\x%02x' "$r" "$g" "$b"
    row+=$px
  done
  printf "$row"
done
