#include "analysis/section_kind_use.h"

#include <gtest/gtest.h>

#include "support/model_builder.h"

namespace tarvel {
namespace {

TEST(SectionKindNames, CodeAndConstantsByTheirInputSectionNames) {
    for (const char* name : {".text", ".text.main", ".text.clear_bss", ".init", ".fini", ".glue_7t",
                             ".vfp11_veneer", ".iram1.5"}) {
        EXPECT_TRUE(names_code(name)) << name;
        EXPECT_FALSE(names_constants(name)) << name;
    }
    // Tables of pointers and unwinding entries are constants, although ".init" is code.
    for (const char* name :
         {".rodata", ".rodata.str1.4", ".srodata.cst8", ".ARM.exidx.text.f", ".init_array",
          ".fini_array", ".ctors", ".progmem.data", ".literal.f", ".eh_frame"}) {
        EXPECT_TRUE(names_constants(name)) << name;
        EXPECT_FALSE(names_code(name)) << name;
    }
    for (const char* name : {".isr_vector", ".vectors", "*fill*", ".data", ".initx"}) {
        EXPECT_FALSE(names_code(name) || names_constants(name)) << name;
    }
}

// Program memory at 0x8000 and RAM at 0x9000, as a map without regions places them.
usage_model& without_regions(test::c_model_builder& build) {
    build.program(0, 0).ram(0, 0);
    build.model.definition.without_regions = true;
    return build.done({nullptr, true, true});
}

TEST(SectionKindUse, EachMemorysKindsAddUpToItsUsedBytes) {
    test::c_model_builder build;
    build.placed(".text.f", 0x8000, 100, true, 0, 0)
        .placed(".isr_vector", 0x8064, 0x40, true, 0, 0)
        .placed(".ramfunc", 0x80A4, 12, true, 0, 1)  // copy of the code that runs from RAM
        .placed(".data.x", 0x80B0, 8, true, 0, 1)    // copy of the data
        .placed(".ramfunc", 0x9000, 12, false, 0, 1)
        .placed(".data.x", 0x900C, 8, false, 0, 1)
        .placed("*fill*", 0x9014, 4, false, 0)
        .placed(".noinit.buf", 0x9018, 32, false, 0, 0)
        .placed(".bss.y", 0x9038, 16, false, 0, 0);
    const usage_model& model = without_regions(build);
    const section_kind_use use = use_by_section_kind(model);
    EXPECT_EQ(use.program.code, 100u);
    EXPECT_EQ(use.program.constants, 0u);
    EXPECT_EQ(use.program.load_images, 20u);
    EXPECT_EQ(use.program.other, 0x40u);
    EXPECT_EQ(use.ram.data, 20u);
    EXPECT_EQ(use.ram.zero_data, 48u);
    EXPECT_EQ(use.ram.other, 4u);
    EXPECT_EQ(
        use.program.code + use.program.constants + use.program.load_images + use.program.other,
        model.rom.used_bytes);
    EXPECT_EQ(use.ram.data + use.ram.zero_data + use.ram.other, model.ram.used_bytes);
}

TEST(SectionKindUse, ALoadImageIsMatchedByNameAndObjectFile) {
    test::c_model_builder build;
    // The same section name from another object, or with no object, is not the copy.
    build.placed(".data", 0x8000, 4, true, 0, 0)
        .placed(".data", 0x8004, 4, true, 0)
        .placed(".data", 0x9000, 4, false, 0, 1)
        .placed(".data", 0x9004, 4, false, 0);
    const section_kind_use use = use_by_section_kind(without_regions(build));
    EXPECT_EQ(use.program.load_images, 0u);
    EXPECT_EQ(use.program.other, 8u);
}

}  // namespace
}  // namespace tarvel
