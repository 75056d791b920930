#include <gtest/gtest.h>

#include <filesystem>

#include "base/Files.h"
#include "catalyst/HrmWriter.h"
#include "catalyst/RunFileReader.h"
#include "cli/RunCli.h"
#include "route/ProgramReader.h"
#include "support/TestSupport.h"

namespace vb::cli {
namespace {

namespace fs = std::filesystem;
using namespace test;

/// A complete settings file with the base folder and the "Base Settings" text.
std::string settingsFile(const fs::path& base, std::string_view baseSetting) {
    std::string s = "\"Version0.6a\"\r\n\"path=" + base.string() + "\"\r\n";
    for (int i = 0; i < 5; ++i) s += "\"\"\r\n";
    for (const char* limit : {"9", "-4", "100", "20", "-5", "100"}) s += "\"" + std::string(limit) + "\"\r\n";
    return s + "0\r\n0\r\n#TRUE#\r\n#FALSE#\r\n\"" + std::string(baseSetting) + "\"\r\n";
}

/// A V1.0 run "Hill Run" of 13 records on 1 km at 5 %; its type byte at 40, its records from 628.
Bytes slopeRun() { return readAll(dataFile("run/slope.ca")); }

CatalystRun readBack(const Bytes& data, RunKind kind) {
    CatalystRun run;
    EXPECT_TRUE(vb::readRunFile(run, data, "x", kind).ok());
    return run;
}

TEST(RunCommands, HrmWritesEachRunAndNamesEverySkippedOne) {
    ScratchDir dir;
    writeAll(dir / "good.ca", asText(slopeRun()));
    writeAll(dir / "bad.ca", asText(patched(slopeRun(), {{40, bytesOf({9})}})));
    writeAll(dir / "empty.ca", asText(patched(slopeRun(), {}, 628)));
    writeAll(dir / "TOUR.CAF", asText(patched(readAll(dataFile("run/slope.caf")), {}, 146)));
    writeAll(dir / "ride.hrm", "[Params]\r\n");
    const fs::path out = dir / "out";

    auto r = runCli({"hrm", (dir / "bad.ca").string(), (dir / "good.ca").string(), (dir / "empty.ca").string(),
                     (dir / "ride.hrm").string(), (dir / "TOUR.CAF").string(), "--base-altitude", "12.5", "-o",
                     out.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + (dir / "bad.ca").string() +
                         ": not identifiable: program type byte 9 is not 0, 1 or 2\n"
                         "velobridge-cli: " + (dir / "empty.ca").string() +
                         ": the run has no sample to write (last sample -1)\n"
                         "velobridge-cli: " + (dir / "ride.hrm").string() + ": not a run file (.ca or .caf)\n");
    EXPECT_EQ(r.out, "wrote: " + (out / "good.ca.hrm").string() + "\nsamples: 12\nwrote: " +
                         (out / "TOUR.CAF.hrm").string() + "\nsamples: 2\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
    EXPECT_EQ(readAll(out / "good.ca.hrm"), *hrmFileBytes(readBack(slopeRun(), RunKind::v1), "12.5"));
}

TEST(RunCommands, HrmDefaultsToTheSettingsFolderAndBaseAltitude) {
    ScratchDir dir;
    const auto ini = (dir / "my.ini").string();
    writeAll(ini, settingsFile(dir / "base", "100"));
    writeAll(dir / "good.ca", asText(slopeRun()));

    auto r = runCli({"hrm", (dir / "good.ca").string(), "--settings", ini});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path written = dir / "base" / "HRM" / "good.ca.hrm";
    EXPECT_EQ(readAll(written), *hrmFileBytes(readBack(slopeRun(), RunKind::v1), "100"));

    // --base-altitude outranks the settings; a missing settings file is refused.
    r = runCli({"hrm", (dir / "good.ca").string(), "--settings", ini, "--base-altitude", "-3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(written), *hrmFileBytes(readBack(slopeRun(), RunKind::v1), "-3"));
    r = runCli({"hrm", (dir / "good.ca").string(), "--settings", (dir / "none.ini").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("velobridge-cli: " + (dir / "none.ini").string() + ": ", 0), 0u) << r.err;
}

TEST(RunCommands, ConvertPgmWritesIntoPgmfConvAndRefusesWhatItCannotConvert) {
    ScratchDir dir;
    const auto ini = (dir / "my.ini").string();
    writeAll(ini, settingsFile(dir / "base", "0"));
    const Bytes pgm = readAll(dataFile("route/abc-one-section.pgm"));  // 0.1 km at 3 %
    writeAll(dir / "abc.pgm", asText(pgm));
    writeAll(dir / "cut.pgm", asText(Bytes(pgm.begin(), pgm.begin() + 10)));
    writeAll(dir / "v2.pgm", asText(bytesOf({0xE8, 0x03, 0x64, 0x00, 0x02, 0x00, 0x00, 0x00, 0xF2, 0x03, 0x64, 0x00, 0x01})));

    auto r = runCli({"convert-pgm", (dir / "cut.pgm").string(), (dir / "abc.pgm").string(), (dir / "v2.pgm").string(),
                     "--settings", ini});
    EXPECT_EQ(r.status, 1);
    const fs::path written = dir / "base" / "PGMF_Conv" / "abc.pgmf";
    EXPECT_EQ(r.out, "wrote: " + written.string() +
                         "\nstatus: abc.pgm (Catalyst 2.0 Converted)\nTyp: Slope\nProgram: Distance\nRoute: 1\n");
    EXPECT_EQ(r.err, "velobridge-cli: " + (dir / "cut.pgm").string() +
                         ": section value at offset 10 needs 8 bytes, 0 remain\n"
                         "velobridge-cli: " + (dir / "v2.pgm").string() + ": already a Catalyst 2.0 program file\n")
        << r.err;
    auto back = readPgmf(readAll(written));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->name, "abc");
    EXPECT_EQ(back->sections.at(0).distance, 100.0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "base" / "PGMF_Conv"), fs::directory_iterator()), 1);

    r = runCli({"convert-pgm", (dir / "abc.pgm").string(), "-o", (dir / "elsewhere").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(dir / "elsewhere" / "abc.pgmf"), readAll(written));
}

TEST(RunCommands, InfoShowsTheRunInfoListAndTheConverterLabels) {
    ScratchDir dir;
    writeAll(dir / "good.ca", asText(slopeRun()));
    auto r = runCli({"info", (dir / "good.ca").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "file: " + (dir / "good.ca").string() +
                         "\nformat: ca (V1.0 run)\nname: Hill Run\nsections: 1\nsamples: 12\ndistance offset: 0\n"
                         "start: 20050612 09:05\ncreate hrm: yes\nCatalyst V1.0 Info (*.ca)\n"
                         "####################\nFilename: Hill Run\nType: Slope\nSections: 1\nDate: 2005-6-12\n"
                         "Time: 9:5\nData: 12\n####################\n");

    // A V2.0 run starts like a program file; its extension makes it a run.
    r = runCli({"info", exampleFile("alpine-loop.caf").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nformat: caf (V2.0 run)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nCatalyst V2.0 Info (*.caf)\n####################\nFilename: alpine-loop\nType: Slope\n"),
              std::string::npos)
        << r.out;

    // A .pgm gets the converter's labels after its description.
    r = runCli({"info", exampleFile("alpine-loop.pgm").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string tail = "converter: alpine-loop.pgm (Catalyst 1.0)\nTyp: Slope\nProgram: Distance\nRoute: ";
    EXPECT_NE(r.out.find("\ntrailer: created by Velobridge - Version0.6a\n" + tail), std::string::npos) << r.out;

    writeAll(dir / "bad.ca", asText(patched(slopeRun(), {{40, bytesOf({7})}})));
    r = runCli({"info", (dir / "bad.ca").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "velobridge-cli: " + (dir / "bad.ca").string() +
                         ": not identifiable: program type byte 7 is not 0, 1 or 2\n");
}

}  // namespace
}  // namespace vb::cli
