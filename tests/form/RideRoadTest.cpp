// The ride's road through the window: import, the route view and its sliders,
// the "Filename:" rule, "Calc 15sec Interval", the altitude smoothing box and
// the program buttons.

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
    EXPECT_EQ(rig.dialogs.opened[0].first,
              "(All ride files)|*.hrm;*.tur;*.fit;*.gpx;*.tcx|(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur|"
              "(*.fit FIT File)|*.fit|(*.gpx GPX File)|*.gpx|(*.tcx TCX File)|*.tcx");
    EXPECT_EQ(rig.dialogs.opened[0].second, "/rides/");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    expectTexts(form, {{"VersionValue", "106"}, {"DateValue", "20260412"}, {"SModeValue", "111000100"},
                       {"TypeValue", "meter/meter"}, {"IntervalValue", "5"}, {"ECodeValue", "49"},
                       {"ImportStatus", "HRM (Polar) File activ"}, {ids::kFilename, "alpine-loop"}});
    EXPECT_EQ(form.ride().ProgramName, "alpine-loop");
    EXPECT_TRUE(form.control(ids::kCatalyst).enabled);
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);  // a 5-second ride
    const int rows = form.ride().samples.sampleCount();
    EXPECT_EQ(rows, 1188 - 28);
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider}) {
        EXPECT_TRUE(form.control(id).enabled);
        EXPECT_EQ(form.control(id).max, rows);
        EXPECT_EQ(form.control(id).value, id == ids::kStartSlider ? 0 : rows);
    }
    EXPECT_EQ(form.control(ids::kStartValue).caption, "~0 km");
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
    form.paintProfile(canvas);
    EXPECT_FALSE(canvas.ops.empty());
}

TEST(Import, CancelledMissingAndForeignFilesChangeNothing) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.moveSlider(ids::kStartSlider, 40);
    const auto samples = form.samplesRevision();
    const SampleTable table = form.ride().samples;

    rig.dialogs.files = {"", text(rig.dir / "gone.hrm")};
    form.press(ids::kImport);
    form.press(ids::kImport);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    // A file that is no ride is named in a message.
    writeAll(rig.dir / "lower.hrm", "[params]\r\nVersion=106\r\n");
    rig.importRide(rig.dir / "lower.hrm");
    rig.dialogs.expectLast(1, "lower.hrm is not a ride file");
    // The desktop program's command line names a missing file.
    form.importRide(rig.dir / "gone.tur");
    rig.dialogs.expectLast(2, "gone.tur");
    EXPECT_EQ(form.samplesRevision(), samples);
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

TEST(Sliders, OffBeforeTheFirstImportThenMoveTheStretch) {
    FormRig rig;
    MainForm& form = rig.start();
    form.moveSlider(ids::kEndSlider, 5);
    EXPECT_EQ(form.routeView().endPos, 0);

    rig.importRide(exampleFile("alpine-loop.hrm"));
    // The profile is drawn again for a slider, not for other controls.
    const auto profile = form.profileRevision();
    form.setText(ids::kFilename, "x");
    form.selectTab(ids::kMainTabs, 1);
    EXPECT_EQ(form.profileRevision(), profile);
    form.moveSlider(ids::kEndSlider, 300);
    form.moveSlider(ids::kStartSlider, 300);  // kept before the end
    EXPECT_GT(form.profileRevision(), profile);
    EXPECT_EQ(form.control(ids::kEndSlider).value, 300);
    EXPECT_EQ(form.control(ids::kStartSlider).value, 299);
    EXPECT_EQ(form.control(ids::kStartValue).caption, form.routeView().startLabel);
    EXPECT_NE(form.control(ids::kStartValue).caption, "~0 km");
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
}

// The program file "Catalyst" or "Fortius" wrote, against what the builder
// makes of the controls' limits, options and stretch (the bytes are the
// writer's to check).
void expectProgram(const FormRig& rig, const Settings& s, Target target, std::string_view name, int from, int to) {
    const bool catalyst = target == Target::catalyst;
    const fs::path file = rig.base / (catalyst ? "PGM" : "PGMF") / (std::string(name) + (catalyst ? ".pgm" : ".pgmf"));
    const auto expected =
        buildProgram(rig.form->ride(), programRequest(s, target, std::int16_t(from), std::int16_t(to), name));
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(readAll(file), expected->bytes) << file;
}

TEST(Programs, CatalystAndFortiusWriteTheChosenStretchOfEachKindOfRide) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.setText("CatMaxClimb", "5");
    form.setText("FortMaxDown", "-3 %");
    form.setChecked("AddWarmup", true);
    form.setChecked("JoinSlopes", true);
    form.moveSlider(ids::kEndSlider, 900);
    form.moveSlider(ids::kStartSlider, 150);
    form.setText(ids::kFilename, "Alp Test");
    form.press(ids::kCatalyst);
    form.press(ids::kFortius);
    Settings s;
    s.my_path = text(rig.base);
    s.cat_max_climb = "5";
    s.fort_max_down = "-3 %";
    s.add_warmup = s.join_slopes = 1;
    expectProgram(rig, s, Target::catalyst, "Alp Test", 150, 900);
    expectProgram(rig, s, Target::fortius, "Alp Test", 150, 900);

    for (const fs::path& ride : {exampleFile("alpine-loop.tur"), dataFile("thirdparty/fit/gc_karoo-2025-05-09.fit")}) {
        rig.importRide(ride);
        form.press(ids::kCatalyst);
        form.press(ids::kFortius);
        const std::string name = form.ride().ProgramName;
        expectProgram(rig, s, Target::catalyst, name, 0, form.routeView().lastRow);
        expectProgram(rig, s, Target::fortius, name, 0, form.routeView().lastRow);
    }
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(Programs, FilenameRuleNameRefusalAndAFailedWrite) {
    FormRig rig;
    MainForm& form = rig.start();
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
    form.press(ids::kFortius);
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    for (const auto& shown : rig.dialogs.messages) {
        EXPECT_EQ(shown.text.rfind("Incorrect Filename!!!\nthe name ", 0), 0u) << shown.text;
        EXPECT_EQ(shown.title, "Velobridge-Msg");
        EXPECT_EQ(shown.icon, MessageIcon::critical);
    }
    EXPECT_TRUE(fs::is_empty(rig.base / "PGM"));
    EXPECT_FALSE(fs::exists(rig.base / "PGMF"));

    // A failed write is reported.
    blockFolder(rig.base / "PGMF");
    form.setText(ids::kFilename, "kept");
    form.press(ids::kFortius);
    rig.dialogs.expectLast(3, "PGMF");
}

TEST(Programs, NothingIsWrittenWithoutADistanceToRide) {
    // The ride imported first (none: a name typed before any ride), the message.
    const struct {
        const char* ride;
        const char* message;
    } cases[] = {{nullptr, "Import a ride first."},
                 {"form/standing.hrm", "No program was written: the chosen stretch covers no distance"},
                 {"form/one-sample.hrm", "No program was written: the chosen stretch covers no distance"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ride ? c.ride : "no ride");
        FormRig rig;
        MainForm& form = rig.start();
        if (c.ride) rig.importRide(dataFile(c.ride));
        form.setText(ids::kFilename, "still");
        form.press(ids::kCatalyst);
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, c.message);
        EXPECT_FALSE(fs::exists(rig.base / "PGM" / "still.pgm"));
    }
}

TEST(Calc15, AvailableExactlyForA60SecondHrmRideAndRefreshesTheView) {
    FormRig rig;
    MainForm& form = rig.start();
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    EXPECT_TRUE(form.control(ids::kCalc15).enabled);
    const int n = form.ride().samples.sampleCount();
    const auto samples = form.samplesRevision();
    const auto profile = form.profileRevision();

    form.press(ids::kCalc15);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    EXPECT_EQ(form.control("IntervalValue").caption, "15");
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    // The sliders reach the whole resampled ride and the labels follow.
    const int resampled = form.ride().samples.sampleCount();
    EXPECT_GT(resampled, n);
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider}) EXPECT_EQ(form.control(id).max, resampled);
    EXPECT_EQ(form.control(ids::kEndSlider).value, resampled);
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
    form.press(ids::kCalc15);  // off now
    EXPECT_EQ(form.ride().samples.sampleCount(), resampled);

    // A 5-second ride after a 60-second one, a HAC4 ride, and a 60-second
    // file that holds no data all leave it off.
    const Bytes noData = patched(readAll(exampleFile("alpine-loop-60s.hrm")), {{403, toBytes("x")}});  // [HRDatx]
    writeAll(rig.dir / "nodata.hrm", asText(noData));
    for (const fs::path& other : {exampleFile("alpine-loop.hrm"), exampleFile("alpine-loop.tur"), rig.dir / "nodata.hrm"}) {
        rig.importRide(exampleFile("alpine-loop-60s.hrm"));
        EXPECT_TRUE(form.control(ids::kCalc15).enabled);
        rig.importRide(other);
        EXPECT_FALSE(form.control(ids::kCalc15).enabled) << other;
    }
    EXPECT_EQ(form.control("ECodeValue").caption, "33");
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
    EXPECT_EQ(form.ride().samples.text(19, 1), plain.text(19, 1)) << "speeds stay";
}

}  // namespace
}  // namespace vb::test
