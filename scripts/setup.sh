#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
# Usage: scripts/setup.sh [build|test]   (build: compiler and CMake only; test: everything)
set -euo pipefail

need=(cmake g++ make libcli11-dev nlohmann-json3-dev rapidjson-dev libsqlite3-dev libpq-dev)
if [ "${1:-test}" = test ]; then
    need+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
           googletest g++-mingw-w64-x86-64 wine wine64 hyperfine time python3
           python3-jsonschema chromium-headless-shell postgresql
           gcc-arm-none-eabi libnewlib-arm-none-eabi binutils-arm-none-eabi
           gcc-avr avr-libc binutils-avr picolibc-arm-none-eabi
           gcc-riscv64-unknown-elf binutils-riscv64-unknown-elf picolibc-riscv64-unknown-elf
           gcc-xtensa-lx106 binutils-xtensa-lx106 lld llvm)
fi

missing=()
for package in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    "${missing[@]}" >/dev/null
