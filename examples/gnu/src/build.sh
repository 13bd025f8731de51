#!/usr/bin/env bash
# Builds the example program with the Arm cross toolchain (Debian: gcc-arm-none-eabi,
# libnewlib-arm-none-eabi) and writes ../application.map, the map that the README shows.
# The HAL goes into the archive libhal.a, so the map names archive members too.
set -euo pipefail
cd "$(dirname "$0")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
flags=(-mcpu=cortex-m3 -mthumb -Os -ffunction-sections -fdata-sections -fcommon)
for source in startup.c main.c sensor.c hal/uart.c hal/crc.c; do
    arm-none-eabi-gcc "${flags[@]}" -c "$source" -o "$out/$(basename "${source%.c}").o"
done
(
    cd "$out"
    arm-none-eabi-ar rcs libhal.a uart.o crc.o
    arm-none-eabi-gcc "${flags[@]}" -nostartfiles -T "$OLDPWD/stm32f103c8.ld" -Wl,--gc-sections \
        startup.o main.o sensor.o libhal.a -Wl,-Map=application.map -o application.elf
    arm-none-eabi-size -B application.elf
)
cp "$out/application.map" ../application.map
