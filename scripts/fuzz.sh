#!/usr/bin/env bash
# Fuzzes one libFuzzer target for a given time, with AddressSanitizer and UBSan:
#   scripts/fuzz.sh bitmap_loader <seconds>    LoadBitmapFile, seeded with tests/io/bmp_corpus
#   scripts/fuzz.sh config_reader <seconds>    LoadConfigText, seeded with fuzz/corpus/config and
#                                              the replayed findings in tests/config/config_corpus
#   scripts/fuzz.sh replay_reader <seconds>    DecodeReplay, seeded with fuzz/corpus/replay
#   scripts/fuzz.sh history_reader <seconds>   DecodeGameRecord, seeded with fuzz/corpus/history
# Installs clang and its libFuzzer runtime when missing, builds the `fuzz` preset (build/fuzz) and
# runs the target from the committed seeds into a scratch corpus, build/fuzz/corpus/<target>, so
# the seeds themselves are never written. A crash leaves its input in
# build/fuzz/findings/<target>/ and makes the script exit non-zero; copy it into the replayed
# corpus and fix the code. Several targets may run at once: the build is done under a lock.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
    echo "usage: scripts/fuzz.sh bitmap_loader|config_reader|replay_reader|history_reader <seconds>" >&2
    exit 2
}
[ $# -eq 2 ] || usage
target=$1 seconds=$2
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
case "$target" in
    bitmap_loader) seeds=(tests/io/bmp_corpus) ;;
    config_reader) seeds=(fuzz/corpus/config tests/config/config_corpus) ;;
    replay_reader) seeds=(fuzz/corpus/replay) ;;
    history_reader) seeds=(fuzz/corpus/history) ;;
    *) usage ;;
esac

source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
# The clang++ that is installed, of whatever version (Debian's default one when there is none);
# libFuzzer's runtime comes in a package named after that version.
command -v clang++ >/dev/null || ensure_packages clang
fuzzer_links() {
    local probe status=0
    probe=$(mktemp -d)
    echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
        >"$probe/probe.cpp"
    clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
        2>/dev/null || status=1
    rm -rf "$probe"
    return $status
}
if ! fuzzer_links; then
    clang_version=$(clang++ -dumpversion)
    ensure_packages "libclang-rt-${clang_version%%.*}-dev"
    fuzzer_links || { echo "fuzz: clang++ $clang_version cannot link libFuzzer" >&2; exit 1; }
fi

build=build/fuzz
mkdir -p "$build"
(
    flock 9
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz --target "${target}_fuzz" -j"$(nproc)"
) 9>"$build/.fuzz-build.lock"

scratch="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$scratch" "$findings"
existing=()
for dir in "${seeds[@]}"; do
    [ -d "$dir" ] && existing+=("$root/$dir")
done
dictionary=()
[ -f "fuzz/$target.dict" ] && dictionary=(-dict="$root/fuzz/$target.dict")

echo "== fuzzing $target for $seconds s (seeds: ${seeds[*]}; findings go to $findings/)"
exec "$build/fuzz/${target}_fuzz" "$scratch" "${existing[@]}" "${dictionary[@]}" \
    -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$root/$findings/"
