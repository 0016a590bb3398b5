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
BUILD_PACKAGES=(cmake make g++ pkg-config libsdl2-dev)

# What building the game for the browser needs (scripts/web.sh); node and npm come with the machine.
# The web preset configures the wasm32 tests too, with GoogleTest built from Debian's source.
WEB_PACKAGES=(cmake make emscripten node-acorn googletest)
