#!/usr/bin/env bash
# Installs what the project needs from Debian's packages, then builds, and tests or runs.
#   ./setup.sh test [--sanitize]   build everything and run every test
#   ./setup.sh run [skalomer]      build, then start Metrovanta (or Skalomer)
#   ./setup.sh package-check       build the Debian package, install it, start both programs, remove it
#   ./setup.sh ci-extra            fuzz each reader for a minute; the core's tests on Windows (Wine)
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libgtest-dev
          libgmock-dev libbenchmark-dev fonts-dejavu-core units python3 xvfb xauth
          dpkg-dev desktop-file-utils xdotool openbox x11-utils
          dbus at-spi2-core python3-pyatspi)

# Only for ci-extra: libFuzzer, the Windows cross-compiler, GoogleTest's sources, Wine.
extra_packages=(clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix googletest wine wine64)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$(nproc)"
}

cmd=${1:-test}
case "$cmd" in
test)
    install_missing
    if [ "${2:-}" = "--sanitize" ]; then
        build build-asan -DMETROVANTA_SANITIZE=ON -DMETROVANTA_BENCH=OFF
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
    else
        build build
        ctest --test-dir build --output-on-failure -j "$(nproc)"
        tools/test-ratio.sh || true
    fi
    ;;
run)
    install_missing
    build build
    if [ "${2:-}" = "skalomer" ]; then
        exec build/scales/skalomer
    fi
    # The installed launcher itself, so the folder and the seeding rule are the menu entry's.
    cmake --install build --prefix build/stage >/dev/null
    exec build/stage/bin/metrovanta-launcher
    ;;
package-check)
    install_missing
    exec desktop/check-package.sh
    ;;
ci-extra)
    install_missing
    packages=("${extra_packages[@]}")
    install_missing
    fuzz/run.sh 60
    tools/windows-check.sh
    ;;
*)
    echo "usage: $0 test [--sanitize] | run [skalomer] | package-check | ci-extra" >&2
    exit 2
    ;;
esac
