#!/usr/bin/env bash
# The packages are reproducible: two clones of this checkout's HEAD, in folders of different path
# lengths, each packaged by scripts/package.sh some seconds apart (the second under another umask,
# time zone and locale), give byte-identical .deb, .zip and SHA256SUMS, and each SHA256SUMS lists
# and matches both packages.
#   tests/packaging/reproducible_test.sh
# Takes no arguments; uncommitted changes are not tested. Exits non-zero with one line naming each
# file that differs, and hints where (diffoscope when it is installed, else the differing members).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
head=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "reproducible_test: testing HEAD ($head); the uncommitted changes are not in it"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
first=$work/a
second=$work/a-longer-folder-for-the-second-build/b

# build CLONE: clones HEAD there and packages it, quietly unless it fails.
build() {
    local clone=$1
    echo "== Packaging $head in $clone"
    git clone --quiet "$root" "$clone"
    git -C "$clone" checkout --quiet --detach "$head"
    if ! (unset SOURCE_DATE_EPOCH && "$clone/scripts/package.sh") >"$clone.log" 2>&1; then
        tail -n 20 "$clone.log"
        echo "reproducible_test: scripts/package.sh failed in $clone" >&2
        exit 1
    fi
}
build "$first"
sleep 3
(umask 027 && TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 build "$second")

# hint A B: where two differing packages differ.
hint() {
    if command -v diffoscope >/dev/null; then
        diffoscope --text - "$1" "$2" 2>/dev/null | head -n 60
        return
    fi
    local a=$work/hint/a b=$work/hint/b
    rm -rf "$work/hint"
    mkdir -p "$a" "$b"
    case $1 in
    *.deb)
        diff <(dpkg-deb -c "$1") <(dpkg-deb -c "$2") | head -n 20
        dpkg-deb -R "$1" "$a"
        dpkg-deb -R "$2" "$b"
        ;;
    *.zip)
        diff <(zipinfo -v "$1" | grep -v '^Archive:') <(zipinfo -v "$2" | grep -v '^Archive:') | head -n 20
        unzip -q "$1" -d "$a"
        unzip -q "$2" -d "$b"
        ;;
    esac
    diff -rq "$a" "$b" | sed "s|$work/hint/||g"
}

status=0
sums_list_both() {
    local clone=$1
    (
        cd "$clone/dist"
        [ "$(awk '{print $2}' SHA256SUMS | sort)" = "$(printf '%s\n' taspo[-_]*.deb taspo[-_]*.zip | sort)" ] &&
            sha256sum --check --strict --quiet SHA256SUMS
    )
}
for clone in "$first" "$second"; do
    if ! sums_list_both "$clone"; then
        echo "reproducible_test: $clone/dist/SHA256SUMS does not list and match exactly the .deb and the .zip" >&2
        status=1
    fi
done
files=("$first"/dist/taspo[-_]*.deb "$first"/dist/taspo[-_]*.zip "$first"/dist/SHA256SUMS)
files=("${files[@]##*/}")
for file in "${files[@]}"; do
    if [ ! -f "$first/dist/$file" ]; then
        echo "reproducible_test: the first build made no dist/$file" >&2
        exit 1
    fi
done
for file in "${files[@]}"; do
    if cmp -s "$first/dist/$file" "$second/dist/$file"; then
        echo "  ok: dist/$file is the same in both ($(sha256sum <"$first/dist/$file" | cut -c1-16)...)"
    else
        echo "reproducible_test: dist/$file differs between the two builds" >&2
        [ "$file" = SHA256SUMS ] || hint "$first/dist/$file" "$second/dist/$file" || true
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "reproducible: the two builds gave identical packages"
exit "$status"
