#!/usr/bin/env bash
# Rebuilds examples/lld/application.map with Debian's clang and lld (packages clang, lld, llvm).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
target=thumbv7em-none-eabi
for source in main.c checksum.c startup.c; do
    clang --target=$target -Os -ffreestanding -ffunction-sections -fdata-sections \
        -c "$source" -o "$work/${source%.c}.o"
done
llvm-ar rcs "$work/libcheck.a" "$work/checksum.o"
(cd "$work" && clang --target=$target -fuse-ld=lld -nostdlib -T "$OLDPWD/memory.x" \
    startup.o main.o libcheck.a -Wl,-Map=application.map -o application.elf)
cp "$work/application.map" ../application.map
