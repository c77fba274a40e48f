#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: an optimised build,
# then a clang build with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (which also builds the fuzz targets and runs each
# briefly), then the thread tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh

jobs=$(nproc)
# The sanitizer builds use clang 16 (the fuzz targets need clang's libFuzzer).
# They keep only line tables for their reports: full debug information and -O2
# cost more build time than their tests take to run.
sanitizer_flags=(-DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG"
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG")
fuzz_seconds=${FUZZ_SECONDS:-10}
# A build folder configured with another compiler is configured afresh: CMake
# would otherwise drop the options above along with its cache.
fresh_unless_clang16() {
  grep -qs '^CMAKE_CXX_COMPILER:.*/clang++-16$' "$1/CMakeCache.txt" || [ ! -e "$1/CMakeCache.txt" ] || echo --fresh
}

echo "== include directions"
./tools/check-includes.sh

echo "== optimised build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$jobs"
ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 300

echo "== benchmarks (each case as a ratio to a memcpy of the picture)"
for bench in build/release/bench/*Bench; do
  [ -x "$bench" ] && "$bench" --benchmark_min_time=0.05
done

# Every test and every host run it starts checks for leaks at exit (the test
# environment in cmake/Tovrane.cmake; tests/lsan.supp names the graphics
# driver's libraries, whose leaks are not ours).
echo "== AddressSanitizer + LeakSanitizer + UndefinedBehaviorSanitizer build"
cmake $(fresh_unless_clang16 build/asan) -S . -B build/asan -G Ninja "${sanitizer_flags[@]}" \
  -DTOVRANE_SANITIZE=ON -DTOVRANE_FUZZ=ON -DTOVRANE_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan -j"$jobs" --output-on-failure --timeout 600

echo "== fuzz targets (${fuzz_seconds}s each)"
shopt -s nullglob
for fuzzer in build/asan/tests/fuzz_*; do
  name=${fuzzer##*/fuzz_}
  work=build/asan/fuzz-corpus/$name
  mkdir -p "$work"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds+=("tests/fuzz/corpus/$name")
  echo "-- $name"
  "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
    "$work" "${seeds[@]}" >"build/asan/fuzz-$name.log" 2>&1 || {
    tail -50 "build/asan/fuzz-$name.log"
    echo "fuzz target $name found a fault"
    exit 1
  }
done

# Only the test programs that hold thread tests are built again under
# ThreadSanitizer, and only their thread tests are run.
# tests/<Folder>/... is test_<Folder>; tests/project/<Area>/... is test_<Area>.
thread_folders=$(grep -rlE 'TEST(_F)?\([A-Za-z]*ThreadTest,' tests --include='*.cpp' |
  awk -F/ '{ print ($2 == "project") ? $3 : $2 }' | sort -u)
if [ -n "$thread_folders" ]; then
  echo "== ThreadSanitizer build (thread tests)"
  cmake $(fresh_unless_clang16 build/tsan) -S . -B build/tsan -G Ninja "${sanitizer_flags[@]}" \
    -DTOVRANE_TSAN=ON -DTOVRANE_BENCH=OFF >/dev/null
  targets=()
  for folder in $thread_folders; do targets+=("test_$folder"); done
  cmake --build build/tsan -j"$jobs" --target "${targets[@]}"
  # The test programs draw with Mesa's rasteriser on the calling thread
  # (LP_NUM_THREADS=0, set for every test); what the driver does inside, with
  # threads of its own, ThreadSanitizer cannot see, so tests/tsan.supp leaves it out.
  # Dynamic thread-local blocks are not watched, as in the AddressSanitizer
  # build (cmake/Tovrane.cmake): the watch can take a wrong range for one.
  TSAN_OPTIONS="halt_on_error=1 intercept_tls_get_addr=0 suppressions=$(pwd)/tests/tsan.supp" ctest --test-dir build/tsan -j"$jobs" -R 'ThreadTest\.' --output-on-failure --timeout 600
fi

echo "All tests passed."
