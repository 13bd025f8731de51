// A small usage model with something of everything the reports show, shared by the renderer
// tests: a program, a RAM and an EEPROM area, two searches that overlap, bits, origins and an
// entry in no area.
#pragma once

#include "support/model_builder.h"

namespace tarvel::test {

// Prg seg0 at 0x1000 (4096 bytes) holds App_Main (1000, credited to "App ", matched again by
// "|Os |App "), Os_Tick (200, "|Os |App ", from libos.a(tick.o)) and Lib"x (24, no search, from
// lib.o); Ram seg0 at 0x8000 (256 bytes) holds buffer (100 bytes) and flag (10 bits); Eep seg0
// at 0xE000 (128 bytes) is empty; "far" lies in no area. No EEPROM usage is set.
inline usage_model& build_sample_model(c_model_builder& build) {
    build.program(0x1000, 0x1000).ram(0x8000, 0x100).eeprom(0xE000, 0x80);
    build.search("App").search("|Os |App");
    build.entry("App_Main", 0x1000, 1000)
        .entry("Os_Tick", 0x1400, 200, false, 0)
        .entry("Lib\"x", 0x1600, 24, false, 1)
        .entry("buffer", 0x8000, 100)
        .entry("flag", 0x8080, 10, true)
        .entry("far", 0x20000, 8);
    usage_model& model = build.done();
    model.origins = {{"tick.o", "libos.a"}, {"lib.o", ""}};
    model.input.type = "Orca";
    model.input.definition = "t.def";
    model.input.map = "a.map";
    model.reader.lines_read = 40;
    model.reader.recognised = 8;
    model.reader.placed = 5;
    model.reader.unplaced = 1;
    model.reader.dropped = {{"size 0", 2}};
    return model;
}

}  // namespace tarvel::test
