#!/usr/bin/env bash
# The band layouts of the README's performance tables, through `harmoniform bench`:
# Harmoniform against another build of itself or against the peer (another 32-band
# parametric equaliser, VST 2.4, whose path is given; its settings are the
# ft_N/f_N/g_N/q_N/s_N names it reports). 48 kHz, 512-frame blocks.
#   scripts/bench-bands.sh LAYOUT HARMONIFORM.so --peer PEER.so [bench options]
#   scripts/bench-bands.sh LAYOUT HARMONIFORM.so --harmoniform OTHER.so [bench options]
# LAYOUT: peaks (32 peaks, +3 dB, Q 1, 20 Hz to 20 kHz), mixed (the six types in
# turn, passes at 48 dB/oct) or off (all bands off). HARMONIFORM_TOOL names the
# harmoniform command (default: build/tools/harmoniform).
set -euo pipefail
if [ $# -lt 4 ]; then
  sed -n '2,10p' "$0" >&2
  exit 2
fi
layout=$1 plugin=$2 kind=$3 other=$4
shift 4
tool=${HARMONIFORM_TOOL:-build/tools/harmoniform}
case "$layout" in peaks | mixed | off) ;; *) echo "bench-bands.sh: no layout '$layout'" >&2; exit 2 ;; esac
case "$kind" in --peer | --harmoniform) ;; *) echo "bench-bands.sh: --peer or --harmoniform, not '$kind'" >&2; exit 2 ;; esac

# Harmoniform's type names and the peer's (as it shows them) for band b.
types=(Peak HPF LowShelf HighShelf LPF Notch)
peerTypes=(Bell Hi-pass Lo-shel Hi-shel Lo-pass Notch)
mine=() theirs=()
if [ "$layout" != off ]; then
  for b in $(seq 0 31); do
    hz=$(awk -v b="$b" 'BEGIN { printf "%.4g", 20 * 1000 ^ (b / 31) }')
    t=0
    [ "$layout" = mixed ] && t=$((b % 6))
    n=$((b + 1))
    band=("Band$n State=On" "Band$n Type=${types[t]}" "Band$n Frequency=$hz" "Band$n Gain=3" "Band$n Q=1")
    [ "$layout" = mixed ] && band+=("Band$n Slope=48dB")
    for s in "${band[@]}"; do mine+=(--set "$s"); done
    if [ "$kind" = --harmoniform ]; then
      for s in "${band[@]}"; do theirs+=(--compare-set "$s"); done
    else
      theirs+=(--compare-set "ft_$b=${peerTypes[t]}" --compare-set "f_$b=$hz" --compare-set "g_$b=3" --compare-set "q_$b=1")
      # The peer's slope multiplies any type: only its passes take x4 (48 dB/oct).
      if [ "$t" = 1 ] || [ "$t" = 4 ]; then theirs+=(--compare-set "s_$b=x4"); fi
    fi
  done
fi
exec "$tool" bench "$plugin" "${mine[@]}" --compare "$other" "${theirs[@]}" --block 512 --rate 48000 "$@"
