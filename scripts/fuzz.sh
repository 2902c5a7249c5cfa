#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan, UBSan, libFuzzer), makes their seed
# corpora and runs each target for a while on a copy of its corpus.
#
#   scripts/fuzz.sh [seconds per target]          (default 20)
#
# BUILD_DIR (default build-asan), JOBS (build jobs, default 1), FUZZ_JOBS
# (targets run at once, default 2) and FUZZ_TIMEOUT (seconds one input may
# take, default 1; raise it on a machine busy with other work) and CMAKE_ARGS
# (extra configure options) may be set. Exits non-zero, naming the
# targets, when any found a crash, a sanitizer report, a timeout or a leak;
# the input that did it is left in BUILD_DIR/fuzz-runs/<target>/.
set -euo pipefail

seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root" && mkdir -p "${BUILD_DIR:-build-asan}" && cd "${BUILD_DIR:-build-asan}" && pwd)
corpus=$build/corpus
runs=$build/fuzz-runs
read -ra extra <<<"${CMAKE_ARGS:-}"

configure() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCHORVANTA_FUZZ=ON -DCHORVANTA_ASAN=ON -DCHORVANTA_BENCH=OFF "${extra[@]}" >/dev/null
  mapfile -t targets <"$build/fuzz_targets.txt"
  echo "Building the fuzz targets in $build"
  if ! cmake --build "$build" -j"${JOBS:-1}" --target "${targets[@]}" fuzz_seeds \
    >"$build/fuzz-build.log" 2>&1; then
    cat "$build/fuzz-build.log"
    exit 1
  fi
}

# A short tone, the source of every music seed.
tone() { # file channels rate seconds
  ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=$3:duration=$4" \
    -ac "$2" "$1"
}

music_seeds() {
  local scratch mp3=$corpus/mp3_decoder_fuzz other=$corpus/ffmpeg_decoder_fuzz
  scratch=$(mktemp -d)
  mkdir -p "$mp3" "$other"
  tone "$scratch/mono.wav" 1 22050 0.3
  tone "$scratch/stereo.wav" 2 44100 0.2
  lame --quiet -b 32 "$scratch/mono.wav" "$mp3/mono.mp3"
  lame --quiet -b 64 -m j --tt Seed --add-id3v2 "$scratch/stereo.wav" "$mp3/stereo-id3.mp3"
  lame --quiet -V 9 --resample 8 "$scratch/mono.wav" "$mp3/vbr-8k.mp3"
  tone "$other/tone.wav" 1 8000 0.1
  ffmpeg -v error -y -i "$scratch/mono.wav" -c:a pcm_u8 -ar 8000 -t 0.1 "$other/u8.wav"
  ffmpeg -v error -y -i "$scratch/mono.wav" -c:a libvorbis -q:a 0 "$other/tone.ogg"
  ffmpeg -v error -y -i "$scratch/mono.wav" -c:a libopus -b:a 16k "$other/tone.opus"
  ffmpeg -v error -y -i "$scratch/stereo.wav" -c:a flac "$other/stereo.flac"
  ffmpeg -v error -y -i "$scratch/mono.wav" -ac 6 -ar 8000 -c:a flac "$other/six-channels.flac"
  ffmpeg -v error -y -i "$scratch/mono.wav" -c:a aac -b:a 24k "$other/tone.m4a"
  rm -rf "$scratch"
}

make_seeds() {
  rm -rf "$corpus"
  "$build/bin/fuzz_seeds" "$corpus"
  music_seeds
  if [ -d "$root/fuzz/seeds" ]; then cp -r "$root/fuzz/seeds/." "$corpus/"; fi
}

# Runs one target; its log, any failing input and its corpus stay in its folder.
run_target() {
  local target=$1 work=$runs/$1 tmp
  rm -rf "$work"
  mkdir -p "$work"
  cp -r "$corpus/$target" "$work/corpus"
  # The targets' files go to memory where it can: every save is synced to disk.
  tmp=$(mktemp -d /dev/shm/chorvanta-fuzz.XXXXXX 2>/dev/null || mktemp -d "$work/tmp.XXXXXX")
  # Every path absolute: the targets work in a folder of their own.
  if (cd "$tmp" && TMPDIR="$tmp" "$build/bin/$target" \
    -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-1}" -rss_limit_mb=2048 -detect_leaks=1 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1); then
    echo "ok" >"$work/result"
  else
    echo "FAILED" >"$work/result"
  fi
  rm -rf "$tmp"
}

summary() {
  local target=$1 work=$runs/$1 stats
  stats=$(grep -E '^#[0-9]+.*cov:' "$work/log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
  printf '%-22s %-6s execs %-10s execs/s %-7s %-18s corpus %s\n' "$target" \
    "$(cat "$work/result")" \
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")" \
    "$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")" \
    "$stats" "$(find "$work/corpus" -type f | wc -l)"
}

configure
echo "Making the seeds in $corpus"
make_seeds
mapfile -t targets <"$build/fuzz_targets.txt"
echo "Running ${#targets[@]} targets for $seconds s each"
export -f run_target
export build corpus runs seconds
printf '%s\n' "${targets[@]}" | xargs -P "${FUZZ_JOBS:-2}" -I{} bash -c 'run_target {}'

failed=()
for target in "${targets[@]}"; do
  summary "$target"
  if [ "$(cat "$runs/$target/result")" != ok ]; then failed+=("$target"); fi
done
if [ ${#failed[@]} -ne 0 ]; then
  for target in "${failed[@]}"; do
    echo "== $target: $(grep -m1 -E 'ERROR: |SUMMARY: ' "$runs/$target/log" || echo 'exited non-zero')"
    echo "   log and input: $runs/$target/"
  done
  exit 1
fi
