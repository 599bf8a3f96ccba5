#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the formatting check, every
# test under AddressSanitizer and UndefinedBehaviorSanitizer with warnings as
# errors, then the control's threading tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)

echo "== Formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPURGEWELL_WERROR=ON \
  -DPURGEWELL_SANITIZE="address;undefined"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 300

echo "== The main window under Xvfb (its screenshot is kept in artifacts/)"
CORVANE_ARTIFACTS="$PWD/artifacts" LSAN_OPTIONS="suppressions=$PWD/tests/app/lsan-x11.supp" \
  xvfb-run -a build-asan/test-bin/app_tests --gtest_filter='MainWindowTest.*'

echo "== ThreadSanitizer (threading tests)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPURGEWELL_WERROR=ON \
  -DPURGEWELL_SANITIZE=thread -DPURGEWELL_BUILD_BENCH=OFF
cmake --build build-tsan -j "$jobs" --target control_thread_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threads --timeout 300
