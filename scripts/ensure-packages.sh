# shellcheck shell=bash
# Sourced by the run and test scripts: installs the Debian packages given that are missing.
# Runs apt-get update at most once, and only when something has to be installed.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building the game needs.
# shellcheck disable=SC2034  # read by the scripts that source this file
BUILD_PACKAGES=(cmake make g++ pkg-config libsdl2-dev)

# runs_32bit_code: whether this machine executes 32-bit x86 Linux programs itself. Builds a probe
# that exits with 42 (needs g++-multilib); any other outcome, a refused exec included, is a no.
runs_32bit_code() {
    local dir status=0
    dir=$(mktemp -d)
    printf 'int main() { return 42; }\n' >"$dir/probe.c"
    if gcc -m32 -o "$dir/probe" "$dir/probe.c" 2>/dev/null; then
        "$dir/probe" 2>/dev/null || status=$?
    fi
    rm -rf "$dir"
    [ "$status" -eq 42 ]
}
