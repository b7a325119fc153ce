# Shared by scripts/run and scripts/test: installs what the build, the tests and
# the program need from Debian's packages, and builds the project.
set -euo pipefail

NOCTAREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NOCTAREL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    fonts-liberation
    # Qt's own texts (Yes/No, the file pickers) in the desktop's language.
    qt6-translations-l10n
    xvfb xauth
    # The screen-awake test starts a session bus of its own.
    dbus-daemon
    # The install test checks the desktop file and the AppStream data with them.
    desktop-file-utils appstream
    # The journal test reads its CSV export back with Python's csv module.
    python3
)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${NOCTAREL_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build_project DIR BUILD_TYPE [extra cmake args...]; NOCTAREL_TARGET, when set,
# builds that target alone.
build_project() {
    local dir="$1" type="$2"
    shift 2
    # ccache is not needed, but where a developer has it, rebuilds in several
    # checkouts share their objects.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$NOCTAREL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@" >/dev/null
    if [ -n "${NOCTAREL_TARGET:-}" ]; then
        cmake --build "$dir" -j 2 --target "$NOCTAREL_TARGET"
    else
        cmake --build "$dir" -j 2
    fi
}
