#!/usr/bin/env bash
# The tests under the sanitizers, as CI runs them besides the normal build:
#   1. every test, the window's included, built with clang's AddressSanitizer
#      and UndefinedBehaviorSanitizer (in build-asan, beside the fuzz targets);
#   2. each fuzz target for FUZZ_SECONDS (default 20) on that same build;
#   3. the threaded tests (support, audio, and the window's playback and
#      workers) built with ThreadSanitizer (in build-tsan).
# JOBS (default 2) sets the build jobs; CMAKE_ARGS adds options to every
# configure (CI: -DCHORVANTA_WERROR=ON). Any report fails the run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
read -ra extra <<<"${CMAKE_ARGS:-}"
asan=$root/build-asan
tsan=$root/build-tsan

configure() { # folder options...
  local folder=$1
  shift
  cmake -S "$root" -B "$folder" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
    -DCHORVANTA_BENCH=OFF "${extra[@]}" "$@" >/dev/null
}

# The command-line tool and the installed editor are run by the tests too.
export UBSAN_OPTIONS=print_stacktrace=1
export QT_QPA_PLATFORM=offscreen

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: every test ($asan)"
configure "$asan" -DCHORVANTA_ASAN=ON -DCHORVANTA_FUZZ=ON
cmake --build "$asan" -j"$jobs" >"$asan/sanitize-build.log" 2>&1 || {
  cat "$asan/sanitize-build.log"
  exit 1
}
(cd "$asan" && ctest --output-on-failure -j"$jobs")

echo "== Fuzz targets, ${FUZZ_SECONDS:-20} s each"
BUILD_DIR=$asan JOBS=$jobs bash "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-20}"

echo "== ThreadSanitizer: the threaded tests ($tsan)"
threaded=(support_tests audio_tests app_tests)
configure "$tsan" -DCHORVANTA_TSAN=ON
cmake --build "$tsan" -j"$jobs" --target "${threaded[@]}" >"$tsan/sanitize-build.log" 2>&1 || {
  cat "$tsan/sanitize-build.log"
  exit 1
}
for program in "${threaded[@]}"; do
  (cd "$tsan/tests" && "$tsan/bin/$program" --gtest_brief=1)
done
echo "Sanitizers: no report"
