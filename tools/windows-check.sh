#!/usr/bin/env bash
# Cross-builds the core (fileio, calc, unitdb, settings, convmodel) and its GoogleTest tests for
# Windows in build-mingw and runs every test program under Wine, the settings
# tests on Wine's registry. Installs nothing: see ./setup.sh ci-extra.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-mingw

if ! command -v wine >/dev/null 2>&1 || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
    echo "skipped: wine not available (or the mingw-w64 compiler is missing)"
    exit 0
fi

# GoogleTest from Debian's sources, built with the same compiler into the build folder.
gtest_prefix=$build/googletest-install
if [ ! -e "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >/dev/null
    cmake --build "$build/googletest" -j 2
    cmake --install "$build/googletest" >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMETROVANTA_GUI=OFF -DMETROVANTA_BENCH=OFF \
    -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" >/dev/null
tests=(fileio/fileio_tests calc/calc_tests unitdb/unitdb_tests settings/settings_tests
       convmodel/convmodel_tests)
cmake --build "$build" -j 2 --target "${tests[@]##*/}"

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A Russian locale gives Windows-1251 as the ANSI code page, as on the users' machines.
wine_ru() { LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$@"; }
rm -rf "$WINEPREFIX"
wine_ru wineboot -i >/dev/null 2>&1
wineserver -w

failed=0
for t in "${tests[@]}"; do
    dir=$(dirname "$t")
    echo "== $t.exe under Wine"
    data=$(winepath -w "$PWD/$dir/tests/data" 2>/dev/null)
    if ! (cd "$build/$dir" && MV_TEST_DATA=$data wine_ru wine "$build/$t.exe" --gtest_brief=1); then
        echo "FAILED: $t.exe" >&2
        failed=1
    fi
done
wineserver -k || true
exit "$failed"
