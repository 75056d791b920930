// The window's roads: a ride through import, the route view and its sliders,
// the "Filename:" rule, "Calc 15sec Interval", the altitude smoothing box and
// the program buttons; the PGM to PGMF converter, the RLV creator and the run
// files with their HRM export.

#include "app/RlvFile.h"
#include "form/FormTestSupport.h"
#include "route/ProgramWriter.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

TEST(Import, AnHrmRideFillsTheHeaderNameSlidersAndProfile) {
    FormRig rig;
    Settings s;
    s.hrm_path = "/rides/";
    MainForm& form = rig.start(s);
    RecordingCanvas canvas;
    form.paintProfile(canvas);
    EXPECT_TRUE(canvas.ops.empty());

    const auto samples = form.samplesRevision();
    const auto profile = form.profileRevision();
    rig.importRide(exampleFile("alpine-loop.hrm"));
    EXPECT_EQ(
        rig.dialogs.opened[0].first,
        "(All ride files)|*.hrm;*.tur;*.fit;*.gpx;*.tcx|(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur|"
        "(*.fit FIT File)|*.fit|(*.gpx GPX File)|*.gpx|(*.tcx TCX File)|*.tcx");
    EXPECT_EQ(rig.dialogs.opened[0].second, "/rides/");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    // The header's Version, Date, SMode, Type, Interval and ECode.
    const char* header[] = {"106", "20260412", "111000100", "meter/meter", "5", "49"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(form.control(ids::kHeaderValues[i]).caption, header[i]);
    expectTexts(form, {{"ImportStatus", "HRM (Polar) File activ"}, {ids::kFilename, "alpine-loop"}});
    EXPECT_EQ(form.ride().ProgramName, "alpine-loop");
    EXPECT_TRUE(form.control(ids::kCatalyst).enabled);
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);  // a 5-second ride
    const int rows = form.ride().samples.sampleCount();
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider}) {
        EXPECT_TRUE(form.control(id).enabled);
        EXPECT_EQ(form.control(id).max, rows);
        EXPECT_EQ(form.control(id).value, id == ids::kStartSlider ? 0 : rows);
    }
    form.paintProfile(canvas);
    EXPECT_FALSE(canvas.ops.empty());

    // The sliders keep their order; the profile is drawn again for a slider,
    // not for other controls.
    const auto drawn = form.profileRevision();
    form.setText(ids::kFilename, "x");
    form.selectTab(ids::kMainTabs, 1);
    EXPECT_EQ(form.profileRevision(), drawn);
    form.moveSlider(ids::kEndSlider, 300);
    form.moveSlider(ids::kStartSlider, 300);
    EXPECT_GT(form.profileRevision(), drawn);
    EXPECT_EQ(form.control(ids::kEndSlider).value, 300);
    EXPECT_EQ(form.control(ids::kStartSlider).value, 299);
    EXPECT_EQ(form.control(ids::kStartValue).caption, form.routeView().startLabel);
    EXPECT_NE(form.control(ids::kStartValue).caption, "~0 km");
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
}

TEST(Import, CancelledMissingAndForeignFilesChangeNothing) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.moveSlider(ids::kStartSlider, 40);
    const SampleTable table = form.ride().samples;

    rig.dialogs.files = {"", text(rig.dir / "gone.hrm")};
    form.press(ids::kImport);
    form.press(ids::kImport);
    // A file that is no ride is named in a message.
    writeAll(rig.dir / "lower.hrm", "[params]\r\nVersion=106\r\n");
    rig.importRide(rig.dir / "lower.hrm");
    rig.dialogs.expectLast(1, "lower.hrm is not a ride file");
    // The desktop program's command line names a missing file.
    form.importRide(rig.dir / "gone.tur");
    rig.dialogs.expectLast(2, "gone.tur");
    EXPECT_EQ(form.ride().samples, table);
    EXPECT_EQ(form.control(ids::kStartSlider).value, 40);
    EXPECT_TRUE(form.control(ids::kStartSlider).enabled);

    // An HRM ride named .tur is read as HRM; the same kind of ride again asks
    // whether to add it: No keeps the table, Yes adds it at the end.
    fs::copy_file(exampleFile("alpine-loop.hrm"), rig.dir / "renamed.tur");
    rig.dialogs.answers = {false, true};
    rig.importRide(rig.dir / "renamed.tur");
    expectTexts(form, {{"ImportStatus", "HRM (Polar) File activ"}, {ids::kFilename, "renamed"}});
    EXPECT_EQ(form.ride().samples, table);
    rig.importRide(exampleFile("alpine-loop.hrm"));
    ASSERT_EQ(rig.dialogs.questions.size(), 2u);
    EXPECT_EQ(rig.dialogs.questions[0].title, "Velobridge");
    EXPECT_EQ(rig.dialogs.questions[0].text, "You like to add this file?");
    EXPECT_EQ(form.ride().samples.sampleCount(), 2 * table.sampleCount());
    EXPECT_EQ(form.control(ids::kEndSlider).max, 2 * table.sampleCount());
    EXPECT_EQ(form.control(ids::kEndSlider).value, 2 * table.sampleCount());
}

// Presses "Catalyst" and "Fortius" and checks the files against what the
// builder makes of the settings, the chosen stretch and the name (the bytes
// are the writer's to check).
void pressAndExpectPrograms(FormRig& rig, const Settings& s) {
    const MainForm& form = *rig.form;
    for (const Target target : {Target::catalyst, Target::fortius}) {
        const bool catalyst = target == Target::catalyst;
        rig.form->press(catalyst ? ids::kCatalyst : ids::kFortius);
        const std::string& name = form.ride().ProgramName;
        const auto expected =
            buildProgram(form.ride(), programRequest(s, target, std::int16_t(form.routeView().startPos),
                                                     std::int16_t(form.routeView().endPos), name));
        ASSERT_TRUE(expected.ok());
        const fs::path file = rig.base / (catalyst ? "PGM" : "PGMF") / (name + (catalyst ? ".pgm" : ".pgmf"));
        EXPECT_EQ(readAll(file), expected->bytes) << file;
    }
}

TEST(Programs, FilenameRuleAndTheChosenStretchOfEachKindOfRide) {
    FormRig rig;
    Settings s;
    s.cat_max_climb = "5";
    s.fort_max_down = "-3 %";
    s.add_warmup = s.join_slopes = 1;
    MainForm& form = rig.start(s);
    s.my_path = text(rig.base);
    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.setText(ids::kFilename, "");
    EXPECT_FALSE(form.control(ids::kCatalyst).enabled);
    EXPECT_FALSE(form.control(ids::kFortius).enabled);
    EXPECT_EQ(form.ride().ProgramName, "");
    form.setText(ids::kFilename, "abcdefghijklmnopqrstu");
    EXPECT_TRUE(form.control(ids::kFortius).enabled);
    EXPECT_EQ(form.control(ids::kFilename).text, "abcdefghijklmnop");
    EXPECT_EQ(form.ride().ProgramName, "abcdefghijklmnop");

    form.setText(ids::kFilename, "../up");
    form.press(ids::kCatalyst);
    rig.dialogs.expectLast(1, "Incorrect Filename!!!\nthe name ", "Velobridge-Msg");
    EXPECT_EQ(rig.dialogs.messages[0].text.rfind("Incorrect Filename!!!", 0), 0u);
    EXPECT_EQ(rig.dialogs.messages[0].icon, MessageIcon::critical);
    EXPECT_TRUE(fs::is_empty(rig.base / "PGM"));

    form.setText(ids::kFilename, "Alp Test");
    form.moveSlider(ids::kEndSlider, 900);
    form.moveSlider(ids::kStartSlider, 150);
    pressAndExpectPrograms(rig, s);
    for (const fs::path& ride :
         {exampleFile("alpine-loop.tur"), dataFile("thirdparty/fit/gc_karoo-2025-05-09.fit")}) {
        rig.importRide(ride);
        pressAndExpectPrograms(rig, s);
    }
    EXPECT_EQ(rig.dialogs.messages.size(), 1u);

    // A failed write is reported.
    blockFolder(rig.base / "PGMF");
    form.press(ids::kFortius);
    rig.dialogs.expectLast(2, "PGMF");
}

TEST(Programs, NothingIsWrittenWithoutADistanceToRide) {
    // The ride imported first (none: a name typed before any ride), the message.
    const char* noDistance = "No program was written: the chosen stretch covers no distance";
    const std::pair<const char*, const char*> cases[] = {{nullptr, "Import a ride first."},
                                                         {"form/standing.hrm", noDistance},
                                                         {"form/one-sample.hrm", noDistance}};
    for (const auto& [ride, message] : cases) {
        SCOPED_TRACE(ride ? ride : "no ride");
        FormRig rig;
        MainForm& form = rig.start();
        if (ride) rig.importRide(dataFile(ride));
        form.setText(ids::kFilename, "still");
        form.press(ids::kCatalyst);
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, message);
        EXPECT_FALSE(fs::exists(rig.base / "PGM" / "still.pgm"));
    }
}

TEST(Calc15, AvailableExactlyForA60SecondHrmRideAndRefreshesTheView) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    EXPECT_TRUE(form.control(ids::kCalc15).enabled);
    const auto samples = form.samplesRevision();
    const auto profile = form.profileRevision();

    form.press(ids::kCalc15);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    EXPECT_EQ(form.control("IntervalValue").caption, "15");
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    // The sliders reach the whole resampled ride.
    const int resampled = form.ride().samples.sampleCount();
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider})
        EXPECT_EQ(form.control(id).max, resampled);
    EXPECT_EQ(form.control(ids::kEndSlider).value, resampled);
    form.press(ids::kCalc15);  // off now
    EXPECT_EQ(form.ride().samples.sampleCount(), resampled);
}

TEST(SmoothingBox, AppliesFromTheNextImport) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(dataFile("tracks/stops.tcx"));
    const SampleTable plain = form.ride().samples;
    form.setText("SmoothAltitude", "30");
    EXPECT_EQ(form.ride().samples, plain) << "not before the next import";
    rig.importRide(dataFile("tracks/stops.tcx"));
    EXPECT_NE(form.ride().samples, plain);
}

TEST(Converter, DescribesConvertsAndRereadsTheList) {
    FormRig rig;
    fs::create_directories(rig.dir / "pgm");
    fs::copy_file(exampleFile("alpine-loop.pgm"), rig.dir / "pgm" / "climb.pgm");
    fs::copy_file(dataFile("thirdparty/pgmf/gc_warmup.pgmf"), rig.dir / "pgm" / "blue.pgm");
    Settings s;
    s.pgm_path = text(rig.dir / "pgm") + "/";
    MainForm& form = rig.start(s);
    ASSERT_EQ(form.control("File2").items, (std::vector<std::string>{"blue.pgm", "climb.pgm"}));
    form.selectItem("File2", 2);  // beyond the list: no choice
    EXPECT_EQ(form.control("File2").selected, -1);

    form.selectItem("File2", 1);
    expectTexts(form, {{"Label5", "climb.pgm (Catalyst 1.0)"},
                       {"Label12(1)", "Slope"},
                       {"Label12(3)", "Distance"},
                       {"Label12(5)", "401"}});
    EXPECT_TRUE(form.control("Command10").enabled);
    writeAll(rig.dir / "pgm" / "later.pgm", "x");
    form.press("Command10");
    EXPECT_FALSE(form.control("Command10").enabled);
    EXPECT_EQ(form.control("Label5").caption, "climb.pgm (Catalyst 2.0 Converted)");
    EXPECT_TRUE(fs::exists(rig.base / "PGMF_Conv" / "alpine-loop.pgmf"));  // the program's name
    EXPECT_EQ(form.control("File2").items.size(), 3u);

    // A V2.0 file is described as such and cannot be converted.
    form.selectItem("File2", 0);
    EXPECT_EQ(form.control("Label5").caption, "blue.pgm (Catalyst 2.0)");
    EXPECT_FALSE(form.control("Command10").enabled);

    // A failed write is reported.
    blockFolder(rig.base / "PGMF_Conv");
    form.selectItem("File2", 1);
    form.press("Command10");
    rig.dialogs.expectLast(1, "PGMF_Conv");
}

TEST(RlvCreator, ReadsTheScriptAndWritesTheFile) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.dialogs.files = {"", text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    EXPECT_TRUE(form.control(ids::kRlvList).items.empty());
    form.setText("SpeedReferenz", "900");
    form.press("Command6");
    EXPECT_EQ(rig.dialogs.opened.back().first, "(*.vlb Polar File)|*.vlb");
    EXPECT_EQ(form.control(ids::kRlvList).items.at(0), "VERSION : VLB_1.0");
    ASSERT_TRUE(form.control("Command7").enabled);

    form.press("Command7");
    const auto rlv = readRlv(readAll(rig.base / "RLV" / "Alpine Loop.rlv"));
    ASSERT_TRUE(rlv.ok()) << rlv.error().message;
    EXPECT_EQ(rlv->videoName, "Alpine Loop.avi");
    ASSERT_GE(rlv->frames.size(), 2u);
    EXPECT_EQ(rlv->frames[0].factor, 32.5f / 90.0f);  // the reference 900 is 90 per 10 km/h

    // A wrong script shows its message and switches "Create RLV File" off.
    const Bytes script = readAll(exampleFile("alpine-loop.vlb"));
    writeAll(rig.dir / "bad.vlb", asText(patched(script, {{9, toBytes("2")}})));  // vers=VLB_2.0
    rig.dialogs.files = {text(rig.dir / "bad.vlb"), text(exampleFile("alpine-loop.vlb"))};
    form.press("Command6");
    rig.dialogs.expectLast(1, "Wrong version_ID", "Velobridge");
    EXPECT_FALSE(form.control("Command7").enabled);

    // A failed write is reported.
    form.press("Command6");
    blockFolder(rig.base / "RLV");
    form.press("Command7");
    rig.dialogs.expectLast(2, "No RLV file was written");
}

TEST(HrmExport, RunFileListsCreateHrmRefreshAndConvertAll) {
    FormRig rig;
    const fs::path runs = rig.dir / "runs";
    fs::create_directories(runs);
    const Bytes run = readAll(exampleFile("alpine-loop.ca"));
    writeAll(runs / "good.ca", asText(run));
    writeAll(runs / "also.ca", asText(run));
    writeAll(runs / "bad.ca", asText(patched(run, {{40, bytesOf({7})}})));  // program type 7
    writeAll(runs / "bad.caf", "not a run file");
    Settings s;
    s.ca_path = s.caf_path = text(runs / "");  // folders end with the separator
    MainForm& form = rig.start(s);
    ASSERT_EQ(form.control("File1(0)").items, (std::vector<std::string>{"also.ca", "bad.ca", "good.ca"}));

    form.selectItem("File1(0)", 2);
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V1.0 Info (*.ca)");
    EXPECT_EQ(form.control("List1").items.at(1), "Filename: alpine-loop");
    ASSERT_TRUE(form.control("Command4(1)").enabled);
    form.setText("BaseSetting", "100");
    form.press("Command4(1)");
    const fs::path hrm = rig.base / "HRM" / "good.ca.hrm";
    rig.importRide(hrm);
    EXPECT_EQ(form.ride().samples.text(1, 2), "100");  // the altitude starts at the base setting

    // A run file that cannot be identified is named in a message.
    form.selectItem("File1(0)", 1);
    rig.dialogs.expectLast(1, "File: " + text(runs / "bad.ca"), "Velobridge - MSG");
    EXPECT_TRUE(form.control("List1").items.empty());
    EXPECT_FALSE(form.control("Command4(1)").enabled);

    // "Convert All" writes the others and names the skipped file in one message.
    fs::remove(hrm);
    form.press("Command5(0)");
    rig.dialogs.expectLast(2, text(runs / "bad.ca"));
    EXPECT_EQ(rig.dialogs.messages.back().text.find("good.ca"), std::string::npos);
    EXPECT_EQ(readAll(rig.base / "HRM" / "also.ca.hrm"), readAll(hrm));
    EXPECT_FALSE(fs::exists(rig.base / "HRM" / "bad.ca.hrm"));
    EXPECT_EQ(form.control("File1(0)").selected, 2);
    EXPECT_TRUE(form.control("Command4(1)").enabled);

    // A V2.0 run added after start-up shows after "Refresh"; "Convert All" writes it.
    fs::copy_file(exampleFile("alpine-loop.caf"), runs / "Tour.CAF");
    EXPECT_EQ(form.control("File1(1)").items.size(), 1u);
    form.press("Command2(1)");
    ASSERT_EQ(form.control("File1(1)").items, (std::vector<std::string>{"bad.caf", "Tour.CAF"}));
    form.press("Command5(1)");
    rig.dialogs.expectLast(3, "bad.caf");
    EXPECT_EQ(form.control("Label8").caption, "Catalyst V2.0 Info (*.caf)");
    EXPECT_TRUE(fs::exists(rig.base / "HRM" / "Tour.CAF.hrm"));

    // A failed write is reported.
    blockFolder(rig.base / "HRM");
    form.press("Command4(1)");
    rig.dialogs.expectLast(4, "No HRM file was written");
}

}  // namespace
}  // namespace vb::test
