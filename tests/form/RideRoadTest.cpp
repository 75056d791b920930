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
    form.moveSlider(ids::kEndSlider, 5);  // off before the first import
    EXPECT_EQ(form.routeView().endPos, 0);

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
    EXPECT_EQ(form.control(ids::kStartValue).caption, "~0 km");
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
    const auto samples = form.samplesRevision();
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
    // The sliders reach the whole resampled ride and the labels follow.
    const int resampled = form.ride().samples.sampleCount();
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider})
        EXPECT_EQ(form.control(id).max, resampled);
    EXPECT_EQ(form.control(ids::kEndSlider).value, resampled);
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
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
    EXPECT_EQ(form.ride().samples.text(19, 1), plain.text(19, 1)) << "speeds stay";
}

}  // namespace
}  // namespace vb::test
