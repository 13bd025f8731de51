#include "report/csv_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

std::string csv_of(const usage_model& model) {
    std::ostringstream out;
    render_csv_report(out, test::with_model({}, model));
    return out.str();
}

const std::string header = "area,name,address,size,counted,unit,search,object,archive\n";

TEST(CsvReport, HeaderAndOneRowPerPlacedEntryWithBitsInTheirOwnUnit) {
    test::c_model_builder build;
    // The entry in no area has no row.
    EXPECT_EQ(csv_of(test::build_sample_model(build)),
              header +
                  "Prg seg0,App_Main,0x00001000,1000,1000,byte,App ,,\n"
                  "Prg seg0,Os_Tick,0x00001400,200,200,byte,|Os |App ,tick.o,libos.a\n"
                  "Prg seg0,\"Lib\"\"x\",0x00001600,24,24,byte,,lib.o,\n"
                  "Ram seg0,buffer,0x00008000,100,100,byte,,,\n"
                  "Ram seg0,flag,0x00008080,10,10,bit,,,\n");
}

TEST(CsvReport, EmptyModelIsTheHeaderAlone) {
    test::c_model_builder build;
    EXPECT_EQ(csv_of(build.program(0, 16).done()), header);
}

TEST(CsvReport, FieldsWithCommasQuotesOrLineBreaksAreQuoted) {
    test::c_model_builder build;
    build.program(0xABCDEF00, 0x100).search("a,b");
    build.entry("x,a,b", 0xABCDEF00, 1, false, 0)
        .entry("say \"hi\"", 0xABCDEF10, 2)
        .entry("cr\rlf\nend", 0xABCDEF20, 3);
    usage_model& model = build.done();
    model.origins = {{"o,1.o", "lib \"q\".a"}};
    model.areas[0].name = "Flash, main";
    EXPECT_EQ(csv_of(model), header +
                                 "\"Flash, main\",\"x,a,b\",0xABCDEF00,1,1,byte,\"a,b \",\"o,1.o\","
                                 "\"lib \"\"q\"\".a\"\n"
                                 "\"Flash, main\",\"say \"\"hi\"\"\",0xABCDEF10,2,2,byte,,,\n"
                                 "\"Flash, main\",\"cr\rlf\nend\",0xABCDEF20,3,3,byte,,,\n");
}

TEST(CsvField, QuotedOnlyWhenNeeded) {
    EXPECT_EQ(csv_field(""), "");
    EXPECT_EQ(csv_field("plain name; with | and 'quotes'"), "plain name; with | and 'quotes'");
    EXPECT_EQ(csv_field("\""), "\"\"\"\"");
    EXPECT_EQ(csv_field("\r"), "\"\r\"");
    EXPECT_EQ(csv_field(" lead,"), "\" lead,\"");
}

TEST(CsvReport, LargeReportsComeOutWhole) {
    // Rows are written in pieces of about 64 KiB; none may be lost or doubled between them.
    test::c_model_builder build;
    build.program(0, 0x100000);
    for (std::uint32_t i = 0; i < 3000; ++i) {
        build.entry("entry_with_a_rather_long_name_" + std::to_string(i), i * 16, 16);
    }
    const std::string csv = csv_of(build.done());
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3001);
    EXPECT_NE(csv.find("\nPrg seg0,entry_with_a_rather_long_name_2999,0x0000BB70,16,16,byte,,,\n"),
              std::string::npos);
}

}  // namespace
}  // namespace tarvel
