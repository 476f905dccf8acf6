#!/usr/bin/env bash
# Builds and runs every test:
#  1. the whole build in build/ and every test through ctest;
#  2. the tests that need no window again under AddressSanitizer and UndefinedBehaviorSanitizer
#     (build-asan/; skip with KESTRIM_NO_SANITIZE=1);
#  3. every libFuzzer target for a few seconds (build-fuzz/, clang; seconds per target in
#     KESTRIM_FUZZ_SECONDS, default 5; skip with KESTRIM_NO_FUZZ=1).
# Exits non-zero on any failure.
source "$(dirname "$0")/tools/common.sh"
kestrim_install_packages
export QT_QPA_PLATFORM=offscreen

kestrim_build "$KESTRIM_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIM_LINE_TABLES_ONLY=ON --
ctest --test-dir "$KESTRIM_ROOT/build" --output-on-failure --parallel "$(nproc)"

if [[ "${KESTRIM_NO_SANITIZE:-0}" != 1 ]]; then
  kestrim_build "$KESTRIM_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKESTRIM_LINE_TABLES_ONLY=ON -DKESTRIM_SANITIZE=ON -DKESTRIM_BENCH=OFF -- model_tests
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$KESTRIM_ROOT/build-asan" -L model --output-on-failure --parallel "$(nproc)"
fi

if [[ "${KESTRIM_NO_FUZZ:-0}" != 1 ]]; then
  kestrim_build "$KESTRIM_ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIM_LINE_TABLES_ONLY=ON -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DKESTRIM_FUZZ=ON -DKESTRIM_TESTS=OFF -DKESTRIM_BENCH=OFF -- fuzz_targets
  "$KESTRIM_ROOT/tools/fuzz.sh" "${KESTRIM_FUZZ_SECONDS:-5}"
fi
