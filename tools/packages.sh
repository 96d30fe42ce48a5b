# Installs the Debian packages a build needs, the first time they are missing.
# Sourced by ./test, ./run and .ci/run.

# Packages every build needs.
FERNVALE_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wine libfreetype-dev libpng-dev libsdl2-dev
  xvfb xauth xdotool x11-utils x11-apps
  librsvg2-bin sox fonts-dejavu-core
  espeak-ng)

# Packages of the browser build (./run --web) and its tests in Chromium (CI).
FERNVALE_WEB_PACKAGES=(emscripten chromium)

# Packages of the checks CI runs: the style checks (tools/check-style) and the
# launcher's validation (desktop-file-validate, tests/reader/install.sh).
FERNVALE_CI_PACKAGES=(clang-format clang-tidy desktop-file-utils)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then
            sudo=(sudo)
        else
            echo "These packages are missing and I am not root: ${missing[*]}" >&2
            echo "Install them with: apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}
