#!/usr/bin/env bash
# The Windows executable: cross-compiled with MinGW-w64 (warnings as errors), the whole test
# suite run under Wine through CTest, and the ZIP package checked for its contents.
set -euo pipefail
build=build-win
jobs="$(nproc)"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$jobs"

# The Wine prefix that the toolchain file names for CTest; creating it takes a while, so it is
# made once here rather than by the first test. Mono and Gecko are not needed.
export WINEPREFIX="$PWD/$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 wineboot -i >/dev/null 2>&1
fi
# A test that fails is run once more: under Wine a test process now and then ends at once,
# without a line of output, and passes when run again (Wine's server, not the program). A test
# that fails twice fails the stage.
timeout 900 ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 120 \
    --repeat until-pass:2
# Wine's server ends by itself shortly after the last program; wait for it, so that nothing of
# this stage outlives it.
timeout 60 wineserver -w || true

# The distribution package holds the program, the README and the examples.
rm -f "$build"/Tarvel-*.zip
(cd "$build" && cpack -G ZIP >/dev/null)
package="$(ls "$build"/Tarvel-*-win64.zip)"
contents="$(cmake -E tar tf "$package")"
for file in Tarvel.exe tarvel-report.exe README.md examples/puma/target.def examples/puma/application.map \
    examples/eep/EepPrj.src; do
    if ! grep -q "/$file\$" <<<"$contents"; then
        echo "$package lacks $file" >&2
        exit 1
    fi
done
if grep -q "Tarvel.amb" <<<"$contents"; then
    echo "$package holds an ambiguity file" >&2
    exit 1
fi
echo "Package: $package"
