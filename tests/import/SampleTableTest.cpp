#include "import/SampleTable.h"

#include <gtest/gtest.h>

#include "import/RideRecord.h"

namespace vb {
namespace {

TEST(SampleTable, FlatIndexAddressesRowTimesThreePlusColumn) {
    SampleTable t;
    EXPECT_EQ(Flex_Text(t, 2, 1), 7);
    EXPECT_EQ(Flex_Text(t, 32766, 2), 98300);
}

TEST(SampleTable, ReadsPastTheEndAnswerEmptyAndWritesGrowTheTable) {
    SampleTable t;
    t.setRowCount(3);
    EXPECT_EQ(t.text(10, 1), "");
    EXPECT_EQ(t.cell(-1), "");
    t.setText(5, 2, "105");
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.text(5, 2), "105");
}

TEST(SampleTable, RowCountTruncatesAndExtendsWithEmptyRows) {
    SampleTable t;
    t.setRowCount(4);
    t.setText(3, 1, "253");
    t.setRowCount(2);
    t.setRowCount(4);
    EXPECT_EQ(t.text(3, 1), "");
}

TEST(SampleTable, ClearEmptiesEveryCellAndKeepsTheRowCount) {
    SampleTable t;
    t.setRowCount(5);
    t.setText(4, 0, "4");
    t.setText(4, 1, std::string(40, 'x'));
    t.clear();
    EXPECT_EQ(t.rowCount(), 5);
    EXPECT_EQ(t.text(4, 0), "");
    EXPECT_EQ(t.text(4, 1), "");
}

TEST(SampleTable, LongTextsAreKeptWhole) {
    SampleTable t;
    const std::string longText = "\t85\t412\t17 extra fields of a long line";
    t.setText(1, 1, longText);
    t.setText(1, 2, "exactly14chars");
    EXPECT_EQ(t.text(1, 1), longText);
    EXPECT_EQ(t.text(1, 2), "exactly14chars");
    t.setText(1, 1, std::string(100, 'y'));
    EXPECT_EQ(t.text(1, 1), std::string(100, 'y'));
    t.setText(1, 1, "short");
    EXPECT_EQ(t.text(1, 1), "short");
}

TEST(SampleTable, HoldsAFullRide) {
    SampleTable t;
    t.setRowCount(SampleTable::kMaxSamples + 1);
    for (int r = 1; r <= SampleTable::kMaxSamples; ++r) t.setText(r, 1, std::to_string(r));
    EXPECT_EQ(t.text(SampleTable::kMaxSamples, 1), "32765");
    EXPECT_EQ(t.sampleCount(), SampleTable::kMaxSamples);
}

TEST(RideRecord, StartsFormattedWithDashesAndTheTagIsVlbThorn) {
    RideRecord ride;
    EXPECT_EQ(ride.samples.text(0, 0), "#");
    EXPECT_EQ(ride.samples.text(0, 1), "Speed");
    EXPECT_EQ(ride.samples.text(0, 2), "Alt");
    EXPECT_EQ(ride.samples.rowCount(), 2);
    for (const auto& f : ride.header.fields) EXPECT_EQ(f, "-");
    EXPECT_EQ(ride.ImportStatus, "-");
    Init_Kennung(ride);
    EXPECT_EQ(ride.IdentTag, std::string("VLB\xFE"));
}

}  // namespace
}  // namespace vb
