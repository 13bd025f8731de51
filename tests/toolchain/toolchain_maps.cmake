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

set(tarvel_toolchain_programs arm-none-eabi-gcc arm-none-eabi-ar arm-none-eabi-size
    avr-gcc avr-ar avr-size clang ld.lld llvm-ar llvm-readelf)
foreach(tool ${tarvel_toolchain_programs})
    string(MAKE_C_IDENTIFIER "tarvel_${tool}" variable)
    find_program(${variable} ${tool})
    if(NOT ${variable})
        message(FATAL_ERROR
            "The toolchain tests need ${tool}. Install the Debian packages gcc-arm-none-eabi "
            "libnewlib-arm-none-eabi binutils-arm-none-eabi gcc-avr avr-libc binutils-avr "
            "clang lld llvm "
            "(bash scripts/setup.sh does), or configure with -DTARVEL_TOOLCHAIN_TESTS=OFF.")
    endif()
endforeach()

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
add_custom_target(tarvel_toolchain_maps ALL DEPENDS ${tarvel_toolchain_outputs})
