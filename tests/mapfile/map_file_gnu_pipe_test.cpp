// A GNU ld map on a pipe: taking the areas from the map reads it once, and the parse after it
// reads the copy kept in memory. POSIX only (a named pipe).
#ifndef _WIN32
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "mapfile/map_file_gnu.h"
#include "support/reader_fixture.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(GnuPipe, AreasAndEntriesFromAMapThatCanBeReadOnce) {
    const test::c_temp_dir dir;
    const std::string fifo = (dir.path() / "map.fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&fifo] {
        std::ofstream out(fifo, std::ios::binary);
        out << "Memory Configuration\n"
               "Name Origin Length Attributes\n"
               "FLASH 0x00000000 0x1000 rx\n"
               "RAM 0x20000000 0x1000 rw\n"
               "Linker script and memory map\n"
               ".text 0x00000000 0x10\n"
               " .text 0x00000000 0x10 a.o\n"
               ".data 0x20000000 0x4 load address 0x00000010\n"
               " .data 0x20000000 0x4 a.o\n";
    });
    c_map_file_gnu reader(text_source::file(fifo));
    c_memory_def def;
    const bool defined = reader.define_areas(def);
    writer.join();
    ASSERT_TRUE(defined);
    c_entry_list program;
    c_entry_list memory;
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    EXPECT_EQ(program.size(), 2u);
    EXPECT_EQ(memory.size(), 1u);
}

}  // namespace
}  // namespace tarvel
#endif
