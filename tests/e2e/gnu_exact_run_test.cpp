// End-to-end runs of tarvel-report on GNU ld maps that overflow a region, name no regions, or
// list merged constants: the exit code, the lines on standard error and the figures.
#include <gtest/gtest.h>

#include "support/report_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

// As arm-none-eabi-ld writes a map when FLASH (256 bytes) overflows by 224 bytes: the sections
// after the overflowing one start past the region's end.
const std::string overflowing_map =
    "Memory Configuration\n"
    "\n"
    "Name             Origin             Length             Attributes\n"
    "FLASH            0x08000000         0x00000100         xr\n"
    "RAM              0x20000000         0x00005000         xrw\n"
    "*default*        0x00000000         0xffffffff\n"
    "\n"
    "Linker script and memory map\n"
    "\n"
    ".text           0x08000000       0x5c\n"
    " .text.startup  0x08000000       0x5c c.o\n"
    ".data           0x20000000        0x4 load address 0x0800005c\n"
    " .data          0x20000000        0x4 c.o\n"
    ".ov1            0x20000010      0x100 load address 0x08000060\n"
    " .ov1           0x20000010      0x100 c.o\n"
    ".ov2            0x20000010       0x80 load address 0x08000160\n"
    " .ov2           0x20000010       0x80 c.o\n";

TEST(GnuExactRun, AnOverflowingLinkFailsNamingTheArea) {
    const c_temp_dir dir;
    dir.write("app.map", overflowing_map);
    const process_result run = run_report(dir, {"--map", "app.map", "--top", "0"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(
        run.error_output,
        native_lines(
            "tarvel-report: area FLASH overflows: used 480 of 256 bytes, over by 224 bytes\n"));
    EXPECT_NE(run.output.find(
                  native_lines("  FLASH:     Used         480, Free           0, Total        256, "
                               "Pct Used: 187.5%, over by 224 bytes\n")),
              std::string::npos)
        << run.output;
    // RAM holds the overlay window once.
    EXPECT_NE(run.output.find(native_lines("  RAM:     Used         260,")), std::string::npos)
        << run.output;

    const process_result json = run_report(dir, {"--map", "app.map", "--format", "json"});
    EXPECT_EQ(json.exit_code, 1);
    EXPECT_NE(
        json.output.find(native_lines("\"name\":\"FLASH\",\"kind\":\"program\",\"start\":134217728,"
                                      "\"size\":256,\"used\":480,\"free\":0,\"over\":224,")),
        std::string::npos)
        << json.output;
}

TEST(GnuExactRun, AMapWithoutRegionsIsSummedWithoutTotals) {
    const c_temp_dir dir;
    dir.write("app.map",
              "Memory Configuration\n"
              "\n"
              "Name             Origin             Length             Attributes\n"
              "*default*        0x00000000         0xffffffff\n"
              "\n"
              "Linker script and memory map\n"
              "\n"
              ".text           0x00008000       0x5c\n"
              " .text          0x00008000       0x58 c.o\n"
              " .rodata        0x00008058        0x4 c.o\n"
              ".data           0x00009060        0x4\n"
              " .data          0x00009060        0x4 c.o\n"
              ".bss            0x00009064        0x8\n"
              " .bss           0x00009064        0x8 c.o\n");
    const process_result run = run_report(dir, {"--map", "app.map", "--top", "0"});
    EXPECT_EQ(run.exit_code, 0) << run.error_output;
    EXPECT_EQ(run.output,
              native_lines(
                  "Gnu map app.map (type detected)\n"
                  "Areas: none; the map names no memory regions (linked with the linker's default "
                  "script). Give the target's memory with --def FILE for totals and percentages.\n"
                  "\n"
                  "Program memory used: 92\n"
                  "  code                                    88\n"
                  "  constants                                4\n"
                  "  load images of RAM sections              0\n"
                  "  other                                    0\n"
                  "RAM used:            12\n"
                  "  initialised data                         4\n"
                  "  zero data                                8\n"
                  "  other                                    0\n"
                  "\n"));

    const process_result json = run_report(dir, {"--map", "app.map", "--format", "json"});
    EXPECT_EQ(json.exit_code, 0) << json.error_output;
    EXPECT_NE(json.output.find("\"areas_from\":\"none\",\"by_section_kind\":{\"program\":{"
                               "\"code\":88,\"constants\":4,\"load_images\":0,\"other\":0},"
                               "\"ram\":{\"data\":4,\"zero_data\":8,\"other\":0}},"),
              std::string::npos)
        << json.output;
}

TEST(GnuExactRun, MergedConstantsKeepTheirListedSizeBesideTheCountedOne) {
    const c_temp_dir dir;
    dir.write("app.map",
              "Memory Configuration\n"
              "Name             Origin             Length             Attributes\n"
              "FLASH            0x08000000         0x00010000         xr\n"
              "Linker script and memory map\n"
              ".text           0x08000000       0x49\n"
              " .text.a_name   0x08000000       0x24 a.o\n"
              " .rodata.a_name.str1.4\n"
              "                0x08000024       0x25 a.o\n"
              " .rodata.b_name.str1.4\n"
              "                0x08000049       0x25 b.o\n");
    const process_result csv = run_report(dir, {"--map", "app.map", "--format", "csv"});
    EXPECT_EQ(csv.exit_code, 0) << csv.error_output;
    EXPECT_EQ(csv.output, native_lines("area,name,address,size,counted,unit,search,object,archive\n"
                                       "FLASH,.text.a_name,0x08000000,36,36,byte,,a.o,\n"
                                       "FLASH,.rodata.a_name.str1.4,0x08000024,37,37,byte,,a.o,\n"
                                       "FLASH,.rodata.b_name.str1.4,0x08000049,37,0,byte,,b.o,\n"));
}

}  // namespace
}  // namespace tarvel::test
