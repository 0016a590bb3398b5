# shellcheck shell=bash
# Sourced by the run and test scripts: installs the Debian packages given that are missing.
# Runs apt-get update only when something has to be installed. A registry that serves some of its
# indexes but not others (a mirror mid-sync) must not sink a run that needs none of the missing ones.

# apt_as_root COMMAND...: runs an apt or dpkg command as root, through sudo when we are not root.
apt_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive "$@"
    else
        sudo DEBIAN_FRONTEND=noninteractive "$@"
    fi
}

# apt_update: refreshes the indexes. apt-get keeps those it could fetch, so a partial failure is
# told in one line, naming the first index that failed, and passed over; an install that truly
# needs a missing index fails on its own.
apt_update() {
    local errors
    errors=$(apt_as_root apt-get update -qq 2>&1 >/dev/null) && return 0
    local first
    first=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' <<<"$errors" | head -n 1)
    echo "ensure_packages: apt-get update fetched only some package indexes${first:+ (not $first)}; carrying on with those it has"
}

# Another apt-get or an unattended upgrade may hold the dpkg lock for a while: wait for it.
apt_install() {
    apt_as_root apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "$@" >/dev/null
}

# missing_packages PACKAGE...: prints, one a line, those that are not installed.
missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            echo "$package"
    done
}

# install_each PACKAGE...: installs the packages one by one and prints, one a line, those it could not.
install_each() {
    local package
    for package in "$@"; do
        apt_install "$package" 2>/dev/null || echo "$package"
    done
}

# ensure_packages PACKAGE...: the packages a script cannot do without. A failed install is tried
# once more after a fresh update; what still cannot be installed is named in one line, and the
# result is non-zero.
ensure_packages() {
    local missing refused
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}"
    apt_update
    apt_install "${missing[@]}" 2>/dev/null && return 0
    apt_update
    apt_install "${missing[@]}" 2>/dev/null && return 0
    mapfile -t refused < <(install_each "${missing[@]}")
    [ ${#refused[@]} -eq 0 ] && return 0
    echo "ensure_packages: cannot install the required package(s) ${refused[*]}" >&2
    return 1
}

# runs_32bit_code: whether this machine executes 32-bit x86 programs, natively or through a
# registered emulator. Kernels without IA-32 emulation refuse them with "Exec format error"; the
# probe is a 96-byte static i386 program that only exits with code 42, so it cannot hang or
# depend on any library. The answer is kept for the rest of the shell.
runs_32bit_code() {
    if [ -z "${TASPO_RUNS_32BIT:-}" ]; then
        local dir
        dir=$(mktemp -d)
        # ELF header, one loadable segment at 0x08048000, then: mov ebx, 42; mov eax, 1; int 0x80.
        printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0' >"$dir/probe"
        printf '\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010' >>"$dir/probe"
        printf '\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0\273\052\0\0\0\270\1\0\0\0\315\200' >>"$dir/probe"
        chmod +x "$dir/probe"
        # Through bash's own exec: no fallback that would hand an unrunnable file to /bin/sh.
        local status=0
        # shellcheck disable=SC2016 # "$0" is for the inner bash
        timeout 10 bash -c 'exec "$0"' "$dir/probe" 2>/dev/null || status=$?
        TASPO_RUNS_32BIT=no
        [ "$status" -ne 42 ] || TASPO_RUNS_32BIT=yes
        rm -rf "$dir"
    fi
    [ "$TASPO_RUNS_32BIT" = yes ]
}

# ensure_optional_packages PACKAGE...: packages a script can do without; the caller checks what it
# got. 32-bit ones (":i386") are wanted only where this machine runs 32-bit code, and the i386
# architecture is added for them and taken away again when none could be installed. Whatever is
# left out is said in one line; the result is always zero.
ensure_optional_packages() {
    local wanted=() package missing refused added_i386=""
    for package in "$@"; do
        if [[ $package == *:i386 ]] && ! runs_32bit_code; then
            echo "ensure_packages: leaving out the optional $package: this machine cannot run 32-bit programs"
        else
            wanted+=("$package")
        fi
    done
    [ ${#wanted[@]} -eq 0 ] && return 0
    mapfile -t missing < <(missing_packages "${wanted[@]}")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing the optional ${missing[*]}"
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        apt_as_root dpkg --add-architecture i386 && added_i386=yes
    fi
    apt_update
    if ! apt_install "${missing[@]}" 2>/dev/null; then
        mapfile -t refused < <(install_each "${missing[@]}")
        if [ ${#refused[@]} -gt 0 ]; then
            echo "ensure_packages: carrying on without the optional ${refused[*]}: apt-get could not install them"
        fi
    fi
    if [ -n "$added_i386" ] && ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
        # Nothing 32-bit came in: without the architecture, later updates need no i386 index.
        apt_as_root dpkg --remove-architecture i386 || true
    fi
    return 0
}

# What building the game needs.
# shellcheck disable=SC2034  # read by the scripts that source this file
BUILD_PACKAGES=(cmake make g++ pkg-config libsdl2-dev)

# What building the game for the browser needs (scripts/web.sh); node and npm are Debian's nodejs
# and npm where the machine has no node of its own (scripts/test.sh installs them).
# g++ builds make_assets for this machine, which draws the web app's icons.
# The web preset configures the wasm32 tests too, with GoogleTest built from Debian's source.
# shellcheck disable=SC2034  # read by the scripts that source this file
WEB_PACKAGES=(cmake make g++ emscripten node-acorn googletest)
