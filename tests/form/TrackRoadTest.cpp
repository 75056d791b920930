// A FIT ride through the window: "Import", then "Fortius"; and the altitude
// smoothing box of the Preferences tab, read at the next import.

#include "base/Text.h"
#include "form/FormTestSupport.h"
#include "route/ProgramReader.h"

namespace vb::test {
namespace {

TEST(TrackRoad, ImportAFitRideAndWriteAFortiusProgram) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    rig.importRide(dataFile("thirdparty/fit/gc_karoo-2025-05-09.fit"));
    EXPECT_TRUE(rig.dialogs.messages.empty());
    expectTexts(form, {{"VersionValue", "FIT"},
                       {"DateValue", "20250509"},
                       {"SModeValue", "-"},
                       {"TypeValue", "meter/meter"},
                       {"IntervalValue", "1"},
                       {"ECodeValue", "-"},
                       {"ImportStatus", "FIT File activ"},
                       {ids::kFilename, "gc_karoo-2025-05"}});
    EXPECT_FALSE(form.control(ids::kCalc15).enabled);
    const int last = form.routeView().lastRow;
    EXPECT_EQ(last, form.ride().samples.sampleCount());

    form.press(ids::kFortius);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const auto program = readPgmf(readAll(rig.base / "PGMF" / "gc_karoo-2025-05.pgmf"));
    ASSERT_TRUE(program.ok());
    double length = 0, distance = 0;
    for (const auto& section : program->sections) length += section.distance;
    for (int row = 1; row < last; ++row) distance += leadingNumber(form.ride().samples.text(row, 1)) / 36.0;
    EXPECT_NEAR(length, distance, 100.0) << "within one section step";
}

TEST(TrackRoad, SmoothingBoxAppliesFromTheNextImport) {
    FormRig rig;
    rig.start();
    MainForm& form = *rig.form;
    expectTexts(form, {{"LabelSmoothAltitude", "Altitude smoothing (m, from next import)"}, {"SmoothAltitude", "0"}});
    const auto tcx = dataFile("tracks/stops.tcx");
    rig.importRide(tcx);
    const SampleTable plain = form.ride().samples;
    form.setText("SmoothAltitude", "30");
    EXPECT_EQ(form.ride().samples, plain) << "not before the next import";
    rig.importRide(tcx);
    EXPECT_NE(form.ride().samples, plain);
    EXPECT_EQ(form.ride().samples.text(19, 1), plain.text(19, 1)) << "speeds stay";
}

}  // namespace
}  // namespace vb::test
