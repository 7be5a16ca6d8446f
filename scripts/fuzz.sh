#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan, coverage in our own
# code) and runs each for a bounded time on a fresh copy of the seed corpus.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Targets: fuzz_chunk (state chunk decoder and state preferences),
#          fuzz_preferences (preference JSON: editor trees, global schema),
#          fuzz_state (whole chunks applied to an instance, as a host hands them over),
#          fuzz_layout (layout texts: tokenizer, attribute readers, builder and drawing),
#          fuzz_peq (parametric EQ texts: read, mapped, loaded as a preset, fidelity
#                    report, exported and read back).
# Crashes are written to build/fuzz/findings/<target>/; the script fails when
# any target found one.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_chunk fuzz_preferences fuzz_state fuzz_layout fuzz_peq)
BUILD_DIR=${FUZZ_BUILD_DIR:-build/fuzz}

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DHARMONIFORM_SANITIZE=address -DHARMONIFORM_TESTS=ON -DHARMONIFORM_FUZZ=ON >/dev/null
cmake --build "$BUILD_DIR" --target "${TARGETS[@]}" -j "${JOBS:-2}"

seed_dir() {
  case "$1" in
    fuzz_chunk) echo tests/prefs/fuzz/corpus/chunk ;;
    fuzz_preferences) echo tests/prefs/fuzz/corpus/preferences ;;
    fuzz_state) echo tests/core/fuzz/corpus ;;
    fuzz_layout) echo tests/gui/fuzz/corpus ;;
    fuzz_peq) echo tests/core/fuzz/peq ;;
  esac
}

status=0
for t in "${TARGETS[@]}"; do
  corpus="$BUILD_DIR/corpus/$t"
  findings="$BUILD_DIR/findings/$t"
  rm -rf "$corpus" "$findings"
  mkdir -p "$corpus" "$findings"
  cp "$(seed_dir "$t")"/* "$corpus"/
  # The library's own schemas and layouts are real documents: as editor trees
  # and global schemas, plain and (for the chunk reader) compressed the way
  # states are; the layout texts for the layout reader. Filter lists have only
  # their seeds.
  if [ "$t" = fuzz_layout ]; then
    cp resources/xml/*.xml "$corpus"/
  elif [ "$t" != fuzz_peq ]; then
    cp resources/json/*.json "$corpus"/
  fi
  if [ "$t" = fuzz_chunk ]; then
    /usr/bin/python3 - "$corpus" resources/json/*.json tests/prefs/fuzz/corpus/chunk/bank.json <<'PY'
import sys, zlib, os
out = sys.argv[1]
for path in sys.argv[2:]:
    data = open(path, 'rb').read()
    name = os.path.basename(path)
    open(os.path.join(out, name + '.zip'), 'wb').write(b'ZIP ' + zlib.compress(data, 9))
PY
  fi
  echo "== $t: ${SECONDS_PER_TARGET}s"
  log="$BUILD_DIR/$t.log"
  binary=$(find "$BUILD_DIR/tests" -type f -name "$t" -perm -u+x | head -n 1)
  if "$binary" "$corpus" -max_total_time="$SECONDS_PER_TARGET" \
      -max_len=65536 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/" >"$log" 2>&1; then
    echo "   clean"
  else
    echo "   FINDINGS (see $log and $findings)"
    status=1
  fi
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|cov:" "$log" | tail -4 || true
done
exit $status
