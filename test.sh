#!/usr/bin/env bash
# Builds Harmoniform with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHARMONIFORM_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "${JOBS:-2}" --timeout 600

# Thread safety: the core, DSP and analysis tests again under ThreadSanitizer (the
# stress and allocation tests run audio, automation and the timer on separate
# threads; the analysis tests read other instances while they close).
# HARMONIFORM_TSAN=0 skips this pass.
if [ "${HARMONIFORM_TSAN:-1}" = "1" ]; then
  TSAN_DIR=${TSAN_BUILD_DIR:-build-tsan}
  cmake -S . -B "$TSAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARMONIFORM_SANITIZE=thread \
    -DHARMONIFORM_TESTS=ON >/dev/null
  cmake --build "$TSAN_DIR" -j "${JOBS:-2}" --target core_tests dsp_tests analysis_tests lv2_tests
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
  "$TSAN_DIR/tests/core/core_tests" --gtest_brief=1
  "$TSAN_DIR/tests/dsp/dsp_tests" --gtest_brief=1
  "$TSAN_DIR/tests/analysis/analysis_tests" --gtest_brief=1
  # The queue that carries editor gestures from the host callback's threads to the LV2 UI.
  "$TSAN_DIR/tests/lv2/lv2_tests" --gtest_brief=1 --gtest_filter='GestureQueue.*'
fi

# Memory safety: the instance, host, preference, editor-framework, tool and LV2 tests again
# under AddressSanitizer and UBSan (the host tests load the instrumented plug-in), and
# the real-window tests under a private Xvfb (100 editor open/close cycles leak nothing).
# HARMONIFORM_ASAN=0 skips this pass.
if [ "${HARMONIFORM_ASAN:-1}" = "1" ]; then
  ASAN_DIR=${ASAN_BUILD_DIR:-build-asan}
  cmake -S . -B "$ASAN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARMONIFORM_SANITIZE=address \
    -DHARMONIFORM_TESTS=ON >/dev/null
  cmake --build "$ASAN_DIR" -j "${JOBS:-2}" --target Harmoniform harmoniform harmoniform-lv2 core_tests host_tests prefs_tests gui_tests tool_tests window_tests analysis_tests lv2_tests lv2_ui_tests
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  for t in core/core host/host prefs/prefs gui/gui tools/tool analysis/analysis lv2/lv2; do
    "$ASAN_DIR/tests/${t}_tests" --gtest_brief=1
  done
  ./scripts/with-xvfb.sh "$ASAN_DIR/tests/window/window_tests" --gtest_brief=1
  ./scripts/with-xvfb.sh "$ASAN_DIR/tests/lv2/lv2_ui_tests" --gtest_brief=1
fi

