// The ride's road through the window: import, the route view and its sliders,
// the "Filename:" rule, "Calc 15sec Interval" and the program buttons.

#include <algorithm>

#include "base/Files.h"
#include "form/FormTestSupport.h"
#include "route/ProgramWriter.h"

namespace vb::test {
namespace {

namespace fs = std::filesystem;

bool hasRed(const RecordingCanvas& canvas) {
    return std::any_of(canvas.ops.begin(), canvas.ops.end(),
                       [](const CanvasOp& op) { return op.kind == CanvasOp::Kind::setPenColour && op.colour == kRed; });
}

TEST(Import, HrmThenHac4FillTheHeaderNameSlidersAndProfile) {
    FormRig rig;
    rig.start({"/rides/"});
    MainForm& form = *rig.form;
    RecordingCanvas before;
    form.paintProfile(before);
    EXPECT_TRUE(before.ops.empty());

    const auto samples = form.samplesRevision();
    const auto profile = form.profileRevision();
    rig.importRide(exampleFile("alpine-loop.hrm"));
    ASSERT_EQ(rig.dialogs.opened.size(), 1u);
    EXPECT_EQ(rig.dialogs.opened[0].filter, "(All ride files)|*.hrm;*.tur;*.fit;*.gpx;*.tcx|(*.hrm Polar File)|*.hrm|(*.tur HAC4 File)|*.tur|"
              "(*.fit FIT File)|*.fit|(*.gpx GPX File)|*.gpx|(*.tcx TCX File)|*.tcx");
    EXPECT_EQ(rig.dialogs.opened[0].folder, "/rides/");
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    expectTexts(form, {{"VersionValue", "106"},
                       {"DateValue", "20260412"},
                       {"SModeValue", "111000100"},
                       {"TypeValue", "meter/meter"},
                       {"IntervalValue", "5"},
                       {"ECodeValue", "49"},
                       {"ImportStatus", "HRM (Polar) File activ"},
                       {ids::kFilename, "alpine-loop"}});
    EXPECT_EQ(form.ride().ProgramName, "alpine-loop");
    EXPECT_TRUE(form.control(ids::kCatalyst).enabled);
    EXPECT_TRUE(form.control(ids::kFortius).enabled);
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);  // a 5-second ride

    const int rows = form.ride().samples.rowCount() - 1;
    EXPECT_EQ(rows, 1188 - 28);
    EXPECT_EQ(form.routeView().lastRow, rows);
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider}) {
        EXPECT_TRUE(form.control(id).enabled);
        EXPECT_EQ(form.control(id).max, rows);
    }
    EXPECT_EQ(form.control(ids::kStartSlider).value, 0);
    EXPECT_EQ(form.control(ids::kEndSlider).value, rows);
    EXPECT_EQ(form.control(ids::kStartValue).caption, "~0 km");
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
    EXPECT_NE(form.routeView().routeLabel, "~0 km");
    RecordingCanvas canvas;
    form.paintProfile(canvas);
    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops[0], CanvasOp::clear(135, 4400, 7510, 3370));
    EXPECT_TRUE(hasRed(canvas));

    // A HAC4 ride keeps the HRM file's date, mode and code.
    rig.importRide(exampleFile("alpine-loop.tur"));
    EXPECT_TRUE(rig.dialogs.messages.empty());
    expectTexts(form, {{"DateValue", "20260412"},
                       {"SModeValue", "111000100"},
                       {"ECodeValue", "49"},
                       {"IntervalValue", "20"},
                       {"ImportStatus", "HAC4 File activ"},
                       {ids::kFilename, "Alpine Loop"}});
    EXPECT_EQ(form.ride().ProgramName, "Alpine Loop");
    EXPECT_EQ(form.control(ids::kEndSlider).max, form.ride().samples.rowCount() - 1);
}

TEST(Import, CancelledMissingAndForeignFilesChangeNothing) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.moveSlider(ids::kStartSlider, 40);
    const auto samples = form.samplesRevision();
    const SampleTable table = form.ride().samples;

    rig.dialogs.files = {""};
    form.press(ids::kImport);
    rig.importRide(rig.dir / "gone.hrm");
    EXPECT_TRUE(rig.dialogs.messages.empty());

    // A file that is no ride is named in a message.
    writeAll(rig.dir / "lower.hrm", "[params]\r\nVersion=106\r\n");
    rig.importRide(rig.dir / "lower.hrm");
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].text.find("lower.hrm is not a ride file"), std::string::npos);
    EXPECT_EQ(form.samplesRevision(), samples);
    EXPECT_EQ(form.ride().samples, table);
    EXPECT_EQ(form.control(ids::kStartSlider).value, 40);
    EXPECT_TRUE(form.control(ids::kStartSlider).enabled);

    // The desktop program's command line names a missing file.
    form.importRide(rig.dir / "gone.tur");
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    EXPECT_NE(rig.dialogs.messages[1].text.find("gone.tur"), std::string::npos);
    EXPECT_EQ(form.ride().samples, table);

    // An HRM ride named .tur is read as HRM.
    fs::copy_file(exampleFile("alpine-loop.hrm"), rig.dir / "renamed.tur");
    rig.dialogs.answers = {false};
    rig.importRide(rig.dir / "renamed.tur");
    EXPECT_EQ(form.control("ImportStatus").caption, "HRM (Polar) File activ");
    EXPECT_EQ(form.control(ids::kFilename).text, "renamed");
}

TEST(Sliders, KeepTheirOrderAndRewriteTheLabels) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    form.moveSlider(ids::kEndSlider, 5);  // off before the first import
    EXPECT_EQ(form.routeView().endPos, 0);

    rig.importRide(exampleFile("alpine-loop.hrm"));
    const int last = form.routeView().lastRow;
    // The profile is drawn again for a slider, not for other controls.
    const auto profile = form.profileRevision();
    form.setText(ids::kFilename, "x");
    form.selectTab(ids::kMainTabs, 1);
    EXPECT_EQ(form.profileRevision(), profile);
    form.moveSlider(ids::kEndSlider, 300);
    EXPECT_GT(form.profileRevision(), profile);
    form.moveSlider(ids::kStartSlider, 300);
    EXPECT_EQ(form.control(ids::kStartSlider).value, 299);
    form.moveSlider(ids::kEndSlider, 100);
    EXPECT_EQ(form.control(ids::kEndSlider).value, 300);
    form.moveSlider(ids::kEndSlider, last + 50);
    EXPECT_EQ(form.control(ids::kEndSlider).value, last);
    form.moveSlider(ids::kStartSlider, 200);
    EXPECT_EQ(form.control(ids::kStartValue).caption, form.routeView().startLabel);
    EXPECT_NE(form.control(ids::kStartValue).caption, "~0 km");
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
}

// The settings as the controls hold them in the program road below.
Settings roadSettings(const FormRig& rig) {
    Settings s;
    s.my_path = text(rig.base);
    s.cat_max_climb = "5";
    s.fort_max_down = "-3 %";
    s.add_warmup = 1;
    s.join_slopes = 1;
    return s;
}

void expectProgram(const FormRig& rig, Target target, std::string_view name, int from, int to) {
    const bool catalyst = target == Target::catalyst;
    const fs::path file = rig.base / (catalyst ? "PGM" : "PGMF") / (std::string(name) + (catalyst ? ".pgm" : ".pgmf"));
    ASSERT_TRUE(fs::exists(file)) << file;
    const Bytes bytes = readAll(file);
    const auto expected = buildProgram(rig.form->ride(), programRequest(roadSettings(rig), target,
                                                                        std::int16_t(from), std::int16_t(to), name));
    ASSERT_TRUE(expected.ok());
    // The controls' limits, options and stretch reach the builder; the bytes are the writer's to check.
    EXPECT_EQ(bytes, expected->bytes) << hex(bytes);
}

TEST(Programs, CatalystAndFortiusWriteTheChosenStretchOfHrmAndHac4Rides) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
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
    EXPECT_TRUE(rig.dialogs.messages.empty());
    expectProgram(rig, Target::catalyst, "Alp Test", 150, 900);
    expectProgram(rig, Target::fortius, "Alp Test", 150, 900);

    rig.importRide(exampleFile("alpine-loop.tur"));
    form.press(ids::kCatalyst);
    form.press(ids::kFortius);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const int last = form.routeView().lastRow;
    expectProgram(rig, Target::catalyst, "Alpine Loop", 0, last);
    expectProgram(rig, Target::fortius, "Alpine Loop", 0, last);
}

TEST(Programs, FilenameRuleNameRefusalAndWriteFailures) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    // A name typed before any ride is read: the empty table is refused, not written.
    form.setText(ids::kFilename, "early");
    form.press(ids::kCatalyst);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Import a ride first.");
    EXPECT_FALSE(fs::exists(rig.base / "PGM" / "early.pgm"));
    rig.dialogs.messages.clear();

    rig.importRide(exampleFile("alpine-loop.hrm"));
    form.setText(ids::kFilename, "");
    EXPECT_FALSE(form.control(ids::kCatalyst).enabled);
    EXPECT_FALSE(form.control(ids::kFortius).enabled);
    EXPECT_EQ(form.ride().ProgramName, "");
    form.press(ids::kCatalyst);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    form.setText(ids::kFilename, "x");
    EXPECT_TRUE(form.control(ids::kCatalyst).enabled);
    EXPECT_EQ(form.ride().ProgramName, "x");
    form.setText(ids::kFilename, "abcdefghijklmnopqrstu");
    EXPECT_EQ(form.control(ids::kFilename).text, "abcdefghijklmnop");
    EXPECT_EQ(form.ride().ProgramName, "abcdefghijklmnop");

    for (const char* name : {"../up"}) {
        form.setText(ids::kFilename, name);
        form.press(ids::kCatalyst);
        form.press(ids::kFortius);
        ASSERT_EQ(rig.dialogs.messages.size(), 2u) << name;
        for (const auto& shown : rig.dialogs.messages) {
            EXPECT_EQ(shown.text.rfind("Incorrect Filename!!!\nthe name ", 0), 0u) << shown.text;
            EXPECT_EQ(shown.title, "Velobridge-Msg");
            EXPECT_EQ(shown.icon, MessageIcon::critical);
        }
        rig.dialogs.messages.clear();
    }
    EXPECT_TRUE(fs::is_empty(rig.base / "PGM"));
    EXPECT_FALSE(fs::exists(rig.base / "PGMF"));
    EXPECT_FALSE(fs::exists(rig.base / "up.pgm"));

    VB_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    // A write that fails is reported with the path; the earlier file stays whole.
    form.setText(ids::kFilename, "kept");
    form.press(ids::kCatalyst);
    const Bytes first = readAll(rig.base / "PGM" / "kept.pgm");
    form.moveSlider(ids::kStartSlider, 500);
    {
        test::FileSizeLimit limit(7);
        form.press(ids::kCatalyst);
    }
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].text.find(text(rig.base / "PGM" / "kept.pgm")), std::string::npos);
    EXPECT_EQ(readAll(rig.base / "PGM" / "kept.pgm"), first);
    blockFolder(rig.base / "PGMF");
    form.press(ids::kFortius);
    expectLastMessageNames(rig.dialogs, 2, "PGMF");
}

TEST(Programs, AStretchWithoutDistanceWritesNothing) {
    FormRig rig;
    rig.start();
    writeAll(rig.dir / "standing.hrm", "[Params]\r\nVersion=106\r\nSMode=111000100\r\nInterval=5\r\n[HRData]\r\n"
                                       "120\t0\t80\t300\r\n120\t0\t80\t310\r\n");
    rig.importRide(rig.dir / "standing.hrm");
    rig.form->setText(ids::kFilename, "still");
    rig.form->press(ids::kCatalyst);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "No program was written: the chosen stretch covers no distance");
    EXPECT_FALSE(fs::exists(rig.base / "PGM" / "still.pgm"));
}

TEST(Import, AppendQuestionBothWays) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    rig.importRide(exampleFile("alpine-loop.hrm"));
    const SampleTable once = form.ride().samples;
    const int n = once.rowCount() - 1;

    rig.dialogs.answers = {false};
    rig.importRide(exampleFile("alpine-loop.hrm"));
    ASSERT_EQ(rig.dialogs.questions.size(), 1u);
    EXPECT_EQ(rig.dialogs.questions[0].title, "Velobridge");
    EXPECT_EQ(rig.dialogs.questions[0].text, "You like to add this file?");
    EXPECT_EQ(form.ride().samples, once);

    rig.dialogs.answers = {true};
    rig.importRide(exampleFile("alpine-loop.hrm"));
    EXPECT_EQ(rig.dialogs.questions.size(), 2u);
    const SampleTable& twice = form.ride().samples;
    ASSERT_EQ(twice.rowCount() - 1, 2 * n);
    for (int r = 1; r <= n; r += 97)
        for (int c = 1; c <= 2; ++c) {
            EXPECT_EQ(twice.text(r, c), once.text(r, c)) << r;
            EXPECT_EQ(twice.text(n + r, c), once.text(r, c)) << n + r;
        }
    EXPECT_EQ(form.control(ids::kEndSlider).max, 2 * n);
    EXPECT_EQ(form.control(ids::kEndSlider).value, 2 * n);
}

TEST(Calc15, AvailableExactlyForA60SecondHrmRideAndRefreshesTheView) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    EXPECT_TRUE(form.control(ids::kCalc15).enabled);
    const int n = form.ride().samples.rowCount() - 1;
    EXPECT_EQ(form.control(ids::kEndSlider).max, n);
    const double total = form.routeView().RouteTotalDistance;
    const auto samples = form.samplesRevision();
    const auto profile = form.profileRevision();

    form.press(ids::kCalc15);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    EXPECT_EQ(form.control("IntervalValue").caption, "15");
    EXPECT_GT(form.samplesRevision(), samples);
    EXPECT_GT(form.profileRevision(), profile);
    const int resampled = 4 * (n - 1) + 1;
    EXPECT_EQ(form.ride().samples.rowCount() - 1, resampled);
    // The sliders reach the whole resampled ride, the labels and profile follow.
    for (std::string_view id : {ids::kStartSlider, ids::kEndSlider}) EXPECT_EQ(form.control(id).max, resampled);
    EXPECT_EQ(form.control(ids::kEndSlider).value, resampled);
    EXPECT_NE(form.routeView().RouteTotalDistance, total);
    EXPECT_EQ(form.control(ids::kRouteValue).caption, form.routeView().routeLabel);
    EXPECT_NE(form.routeView().routeLabel.find(" mi"), std::string::npos);  // a miles/feet ride
    form.press(ids::kCalc15);                                               // off now
    EXPECT_EQ(form.ride().samples.rowCount() - 1, resampled);

    // A 5-second ride after a 60-second one, a HAC4 ride, and a 60-second
    // file that holds no data all leave it off.
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    EXPECT_TRUE(form.control(ids::kCalc15).enabled);
    rig.importRide(exampleFile("alpine-loop.hrm"));
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    rig.importRide(exampleFile("alpine-loop.tur"));
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    rig.importRide(exampleFile("alpine-loop-60s.hrm"));
    std::string noData(asText(readAll(exampleFile("alpine-loop-60s.hrm"))));
    noData.replace(noData.find("[HRData]"), 8, "[HRDatx]");
    writeAll(rig.dir / "nodata.hrm", noData);
    rig.importRide(rig.dir / "nodata.hrm");
    EXPECT_EQ(form.control("ECodeValue").caption, "33");
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
}

}  // namespace
}  // namespace vb::test
