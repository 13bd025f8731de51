# Real GNU ld maps for the tests: small programs in tests/toolchain/ built with the Arm and AVR
# cross toolchains at build time, each writing X.map (ld -Map), X.size (the toolchain's
# `size -B` of the program, the figures the readers must reproduce) and objects.size (the same
# for each object file) into ${tarvel_toolchain_dir}/X. The commands
# run on the build host, so that a Windows build (tested under Wine) reads the same maps.
option(TARVEL_TOOLCHAIN_TESTS "Build real maps with the Arm and AVR cross toolchains for the tests" ON)

set(tarvel_toolchain_dir ${CMAKE_CURRENT_BINARY_DIR}/toolchain-maps)
set(tarvel_toolchain_builds)
if(NOT TARVEL_TOOLCHAIN_TESTS)
    return()
endif()

# Each program the builds run, and the Debian package that brings it.
set(tarvel_toolchain_programs
    arm-none-eabi-gcc:gcc-arm-none-eabi arm-none-eabi-g++:gcc-arm-none-eabi
    arm-none-eabi-ar:binutils-arm-none-eabi arm-none-eabi-size:binutils-arm-none-eabi
    avr-gcc:gcc-avr avr-ar:binutils-avr avr-size:binutils-avr
    riscv64-unknown-elf-gcc:gcc-riscv64-unknown-elf xtensa-lx106-elf-gcc:gcc-xtensa-lx106
    clang:clang ld.lld:lld llvm-ar:llvm llvm-readelf:llvm)
# The C libraries, named by a file each package installs.
set(tarvel_toolchain_files
    /usr/lib/arm-none-eabi/newlib/libc_nano.a:libnewlib-arm-none-eabi
    /usr/lib/avr/include/avr/io.h:avr-libc
    /usr/lib/picolibc/arm-none-eabi/picolibc.specs:picolibc-arm-none-eabi
    /usr/lib/picolibc/riscv64-unknown-elf/picolibc.specs:picolibc-riscv64-unknown-elf)
set(tarvel_missing_packages)
foreach(pair ${tarvel_toolchain_programs})
    string(REPLACE ":" ";" parts ${pair})
    list(GET parts 0 tool)
    list(GET parts 1 package)
    string(MAKE_C_IDENTIFIER "tarvel_${tool}" variable)
    find_program(${variable} ${tool})
    if(NOT ${variable})
        list(APPEND tarvel_missing_packages ${package})
    endif()
endforeach()
foreach(pair ${tarvel_toolchain_files})
    string(REPLACE ":" ";" parts ${pair})
    list(GET parts 0 file)
    list(GET parts 1 package)
    if(NOT EXISTS ${file})
        list(APPEND tarvel_missing_packages ${package})
    endif()
endforeach()
if(tarvel_missing_packages)
    list(REMOVE_DUPLICATES tarvel_missing_packages)
    list(JOIN tarvel_missing_packages " " missing)
    message(FATAL_ERROR
        "The toolchain tests need the Debian packages ${missing} "
        "(bash scripts/setup.sh installs them), or configure with -DTARVEL_TOOLCHAIN_TESTS=OFF.")
endif()

set(tarvel_toolchain_src ${CMAKE_CURRENT_SOURCE_DIR}/toolchain)
# The program is the bundled GNU example's: its sources serve both.
set(tarvel_program_src ${PROJECT_SOURCE_DIR}/examples/gnu/src)
set(tarvel_toolchain_common
    ${tarvel_program_src}/main.c ${tarvel_program_src}/sensor.c
    ${tarvel_program_src}/hal/uart.c ${tarvel_program_src}/hal/crc.c
    ${tarvel_program_src}/app.h)

# Builds the program `name`: compiles the sources (the HAL into the archive libhal.a), links
# them with `link_options` and writes name.map and name.size.
#   tarvel_toolchain_build(name PREFIX <tool prefix> FLAGS <compile flags...>
#                          LINK <link options...> [STARTUP <source>] [DEPENDS <files...>])
function(tarvel_toolchain_build name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;STARTUP" "FLAGS;LINK;DEPENDS")
    string(MAKE_C_IDENTIFIER "tarvel_${arg_PREFIX}gcc" cc)
    string(MAKE_C_IDENTIFIER "tarvel_${arg_PREFIX}ar" ar)
    string(MAKE_C_IDENTIFIER "tarvel_${arg_PREFIX}size" size)
    set(dir ${tarvel_toolchain_dir}/${name})
    set(compile ${${cc}} ${arg_FLAGS} -c)
    set(objects main.o sensor.o)
    set(commands
        COMMAND ${compile} ${tarvel_program_src}/main.c -o main.o
        COMMAND ${compile} ${tarvel_program_src}/sensor.c -o sensor.o
        COMMAND ${compile} ${tarvel_program_src}/hal/uart.c -o uart.o
        COMMAND ${compile} ${tarvel_program_src}/hal/crc.c -o crc.o
        COMMAND ${CMAKE_COMMAND} -E rm -f libhal.a
        COMMAND ${${ar}} rcs libhal.a uart.o crc.o)
    if(arg_STARTUP)
        list(APPEND commands COMMAND ${compile} ${arg_STARTUP} -o startup.o)
        list(PREPEND objects startup.o)
    endif()
    list(JOIN objects "," object_list)
    string(APPEND object_list ",uart.o,crc.o")
    add_custom_command(
        OUTPUT ${dir}/${name}.map ${dir}/${name}.size ${dir}/objects.size
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        ${commands}
        COMMAND ${${cc}} ${arg_FLAGS} ${arg_LINK} ${objects} libhal.a -Wl,-Map=${name}.map
                -o ${name}.elf
        COMMAND ${CMAKE_COMMAND} -DSIZE=${${size}} -DFILES=${name}.elf -DOUT=${name}.size
                -P ${tarvel_toolchain_src}/write_size.cmake
        COMMAND ${CMAKE_COMMAND} -DSIZE=${${size}} -DFILES=${object_list} -DOUT=objects.size
                -P ${tarvel_toolchain_src}/write_size.cmake
        DEPENDS ${tarvel_toolchain_common} ${arg_STARTUP} ${arg_DEPENDS}
                ${tarvel_toolchain_src}/write_size.cmake
        WORKING_DIRECTORY ${dir}
        COMMENT "Linking the ${name} toolchain test program"
        VERBATIM)
    set(tarvel_toolchain_outputs ${tarvel_toolchain_outputs} ${dir}/${name}.map PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${tarvel_toolchain_dir})
foreach(name arm_flash_ram arm_flash_at_zero avr_atmega328p)
    file(MAKE_DIRECTORY ${tarvel_toolchain_dir}/${name})
endforeach()

set(arm_flags -mcpu=cortex-m3 -mthumb -Os -g -ffunction-sections -fdata-sections -fcommon)
# Flash at 0x08000000, .data loaded from flash (AT> FLASH), NOLOAD stack and heap; newlib's
# memcpy and memset come from its libc.a.
tarvel_toolchain_build(arm_flash_ram PREFIX arm-none-eabi- FLAGS ${arm_flags}
    STARTUP ${tarvel_program_src}/startup.c
    LINK -nostartfiles -T ${tarvel_toolchain_src}/arm/flash_ram.ld
    DEPENDS ${tarvel_toolchain_src}/arm/flash_ram.ld)
# Flash at address 0 beside the debugging sections, a load address for .bss, and unused
# functions discarded by --gc-sections.
tarvel_toolchain_build(arm_flash_at_zero PREFIX arm-none-eabi- FLAGS ${arm_flags}
    STARTUP ${tarvel_program_src}/startup.c
    LINK -nostartfiles -T ${tarvel_toolchain_src}/arm/flash_at_zero.ld -Wl,--gc-sections
    DEPENDS ${tarvel_toolchain_src}/arm/flash_at_zero.ld)
# avr-libc's start-up and ld's own script for the part: text at 0, data at 0x800100 with its
# initial values after the code, 64-bit addresses in the map, --gc-sections.
tarvel_toolchain_build(avr_atmega328p PREFIX avr- FLAGS -mmcu=atmega328p -Os -g
    -ffunction-sections -fdata-sections -fcommon
    LINK -Wl,--gc-sections)

# Programs linked by LLVM's lld: the bundled lld example's freestanding sources and linker
# script, for `target` with `flags`, writing name.map (-Map) and name.sections (llvm-readelf's
# section headers, the figures the Lld reader must reproduce).
set(tarvel_lld_src ${PROJECT_SOURCE_DIR}/examples/lld/src)
function(tarvel_lld_build name target)
    set(dir ${tarvel_toolchain_dir}/${name})
    file(MAKE_DIRECTORY ${dir})
    set(compile ${tarvel_clang} --target=${target} ${ARGN} -Os -ffreestanding -ffunction-sections
        -fdata-sections -c)
    add_custom_command(
        OUTPUT ${dir}/${name}.map ${dir}/${name}.sections
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${compile} ${tarvel_lld_src}/main.c -o main.o
        COMMAND ${compile} ${tarvel_lld_src}/startup.c -o startup.o
        COMMAND ${compile} ${tarvel_lld_src}/checksum.c -o checksum.o
        COMMAND ${CMAKE_COMMAND} -E rm -f libcheck.a
        COMMAND ${tarvel_llvm_ar} rcs libcheck.a checksum.o
        COMMAND ${tarvel_clang} --target=${target} ${ARGN} -fuse-ld=lld -nostdlib
                -T ${tarvel_lld_src}/memory.x startup.o main.o libcheck.a
                -Wl,-Map=${name}.map -o ${name}.elf
        COMMAND ${CMAKE_COMMAND} -DREADELF=${tarvel_llvm_readelf} -DELF=${name}.elf
                -DOUT=${name}.sections -P ${tarvel_toolchain_src}/write_sections.cmake
        DEPENDS ${tarvel_lld_src}/main.c ${tarvel_lld_src}/startup.c
                ${tarvel_lld_src}/checksum.c ${tarvel_lld_src}/memory.x
                ${tarvel_toolchain_src}/write_sections.cmake
        WORKING_DIRECTORY ${dir}
        COMMENT "Linking the ${name} toolchain test program with lld"
        VERBATIM)
    set(tarvel_toolchain_outputs ${tarvel_toolchain_outputs} ${dir}/${name}.map PARENT_SCOPE)
endfunction()
tarvel_lld_build(lld_arm thumbv7em-none-eabi)
tarvel_lld_build(lld_riscv riscv32-unknown-elf -march=rv32imac -mabi=ilp32 -mno-relax)

set(tarvel_toolchain_builds arm_flash_ram arm_flash_at_zero avr_atmega328p)

# The matrix of real builds whose ELF files are the reference for the Gnu reader: each is a tiny
# program built into ${tarvel_toolchain_dir}/NAME as NAME.map, NAME.elf and one object file per
# source (named after it), the objects being what the per-object figures are checked against.
#   tarvel_matrix_build(name COMPILER <cross compiler> FLAGS <compile flags...>
#                       SOURCES <files...> LINK <link options...> [OVERFLOWS] [DEPENDS <files...>])
# OVERFLOWS: the link fails because a region overflows; ld still writes the map, which is kept
# (NAME.link holds ld's exit status and messages), and a second link with --noinhibit-exec writes
# the ELF file, whose sections are the ones the failed link laid out.
function(tarvel_matrix_build name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "OVERFLOWS" "COMPILER" "FLAGS;SOURCES;LINK;DEPENDS")
    string(MAKE_C_IDENTIFIER "tarvel_${arg_COMPILER}" cc)
    set(dir ${tarvel_toolchain_dir}/${name})
    set(commands)
    set(objects)
    foreach(source ${arg_SOURCES})
        get_filename_component(stem ${source} NAME_WE)
        list(APPEND commands COMMAND ${${cc}} ${arg_FLAGS} -c ${source} -o ${stem}.o)
        list(APPEND objects ${stem}.o)
    endforeach()
    set(link ${${cc}} ${arg_FLAGS} ${arg_LINK} ${objects})
    if(arg_OVERFLOWS)
        list(APPEND commands
            COMMAND ${CMAKE_COMMAND} -DMAP=${name}.map -DSTATUS=${name}.link
                    -P ${tarvel_toolchain_src}/link_may_fail.cmake
                    ${link} -Wl,-Map=${name}.map -o ${name}.failed.elf
            COMMAND ${link} -Wl,--noinhibit-exec -o ${name}.elf)
    else()
        list(APPEND commands COMMAND ${link} -Wl,-Map=${name}.map -o ${name}.elf)
    endif()
    file(MAKE_DIRECTORY ${dir})
    add_custom_command(
        OUTPUT ${dir}/${name}.map ${dir}/${name}.elf
        ${commands}
        DEPENDS ${arg_SOURCES} ${arg_DEPENDS} ${tarvel_toolchain_src}/link_may_fail.cmake
        WORKING_DIRECTORY ${dir}
        COMMENT "Linking the ${name} matrix program"
        VERBATIM)
    set(tarvel_toolchain_outputs ${tarvel_toolchain_outputs} ${dir}/${name}.map PARENT_SCOPE)
endfunction()

set(arm_src ${tarvel_toolchain_src}/arm)
# C++ with exceptions and a static constructor on newlib-nano, with a CMSIS-style script: heap
# and stack as (COPY) sections, .data loaded at AT(address) rather than into a region.
tarvel_matrix_build(arm_cxx_cmsis COMPILER arm-none-eabi-g++
    FLAGS -mcpu=cortex-m4 -mthumb -Os
    SOURCES ${arm_src}/cxx_startup.cpp ${arm_src}/cxx_main.cpp
    LINK --specs=nano.specs --specs=nosys.specs -T ${arm_src}/cmsis.ld
    DEPENDS ${arm_src}/cmsis.ld)
# Three RAM regions: code copied from flash to RAM (.ramfunc ... AT> FLASH), NOLOAD buffers,
# bss and stack, an OVERLAY, a common symbol defined in two files and the same string literal
# in both, merged by the linker (-O2 -fdata-sections -ffunction-sections).
set(arm_regions_flags -mcpu=cortex-m7 -mthumb -O2 -fdata-sections -ffunction-sections -fcommon)
set(arm_regions_sources ${arm_src}/regions_main.c ${arm_src}/regions_driver.c)
set(arm_regions_link -nostartfiles --specs=nano.specs -T ${arm_src}/regions.ld)
tarvel_matrix_build(arm_regions COMPILER arm-none-eabi-gcc FLAGS ${arm_regions_flags}
    SOURCES ${arm_regions_sources} LINK ${arm_regions_link} DEPENDS ${arm_src}/regions.ld)
# The same with link-time optimisation: the map's input sections come from ld's ltrans objects.
tarvel_matrix_build(arm_regions_lto COMPILER arm-none-eabi-gcc FLAGS ${arm_regions_flags} -flto
    SOURCES ${arm_regions_sources} LINK ${arm_regions_link} DEPENDS ${arm_src}/regions.ld)
# picolibc's own script and start-up, thread-local data (.tdata, .tbss).
tarvel_matrix_build(arm_picolibc_tls COMPILER arm-none-eabi-gcc
    FLAGS -mcpu=cortex-m4 -mthumb -Os --specs=picolibc.specs
    SOURCES ${arm_src}/tls_main.c)
# 24 KiB of .bss in the 20 KiB of RAM of flash_ram.ld: ld fails and leaves the map.
tarvel_matrix_build(arm_overflow COMPILER arm-none-eabi-gcc FLAGS -mcpu=cortex-m3 -mthumb -Os
    SOURCES ${arm_src}/overflow.c LINK -nostartfiles -T ${arm_src}/flash_ram.ld OVERFLOWS
    DEPENDS ${arm_src}/flash_ram.ld)
# ld's built-in script: no MEMORY regions at all.
tarvel_matrix_build(arm_default_script COMPILER arm-none-eabi-gcc FLAGS -mcpu=cortex-m3 -mthumb -Os
    SOURCES ${arm_src}/default_script.c LINK -nostdlib)
# RV32 with small data sections, on picolibc.
tarvel_matrix_build(riscv_small_data COMPILER riscv64-unknown-elf-gcc
    FLAGS -march=rv32imac -mabi=ilp32 -Os -msmall-data-limit=8 --specs=picolibc.specs
    SOURCES ${tarvel_toolchain_src}/riscv/small_data.c)
# AVR flash tables, EEPROM, .noinit, fuse and lock bytes, with avr-libc and ld's script.
tarvel_matrix_build(avr_progmem COMPILER avr-gcc FLAGS -mmcu=atmega328p -Os
    SOURCES ${tarvel_toolchain_src}/avr/progmem.c)
# ESP8266-style regions without attribute letters: IRAM, DRAM and flash-mapped code.
tarvel_matrix_build(xtensa_esp8266 COMPILER xtensa-lx106-elf-gcc FLAGS -Os -mlongcalls
    SOURCES ${tarvel_toolchain_src}/xtensa/esp8266.c
    LINK -nostdlib -T ${tarvel_toolchain_src}/xtensa/esp8266.ld
    DEPENDS ${tarvel_toolchain_src}/xtensa/esp8266.ld)

set(tarvel_matrix_builds arm_cxx_cmsis arm_regions arm_regions_lto arm_picolibc_tls arm_overflow
    arm_default_script riscv_small_data avr_progmem xtensa_esp8266)

add_custom_target(tarvel_toolchain_maps ALL DEPENDS ${tarvel_toolchain_outputs})
