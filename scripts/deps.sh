# Installs the Debian packages given that are not installed yet; quick when all are there.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}"
}

# What building, testing and running the program needs; fonts-wine carries the windows' fonts.
ROTALINE_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-dejavu-core fonts-wine
    libgtest-dev libgmock-dev libbenchmark-dev librapidcheck-dev)

# What making and checking the Debian package and its software-centre listing needs.
ROTALINE_PACKAGING_PACKAGES=(dpkg-dev lintian appstream)

# What the Windows program, the core's tests under Wine and the Windows packages need: the
# MinGW-w64 cross compiler (posix threads), Wine, GoogleTest's sources to build for Windows, an X
# server for the window tests, zip and NSIS.
ROTALINE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 wine googletest xvfb zip nsis)

# The fuzz targets: clang 14 and its runtimes, libFuzzer among them.
ROTALINE_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
