#include "import/SampleTable.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(SampleTable, CellsGrowShrinkAndKeepLongTextsWhole) {
    SampleTable t;
    EXPECT_EQ(Flex_Text(t, 32766, 2), 98300);  // row × 3 + column
    t.setRowCount(3);
    EXPECT_EQ(t.text(10, 1), "");
    EXPECT_EQ(t.cell(-1), "");
    t.setCell(-1, "x");  // nowhere to go
    EXPECT_EQ(t.cell(0), "");
    t.setText(5, 2, "105");
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.text(5, 2), "105");
    t.setRowCount(4);
    t.setRowCount(6);
    EXPECT_EQ(t.text(5, 2), "") << "rows cut off come back empty";

    const std::string longText = "\t85\t412\t17 extra fields of a long line";
    t.setText(1, 1, longText);
    t.setText(1, 2, "exactly14chars");
    EXPECT_EQ(t.text(1, 1), longText);
    EXPECT_EQ(t.text(1, 2), "exactly14chars");
    t.setText(1, 1, std::string(100, 'y'));
    EXPECT_EQ(t.text(1, 1), std::string(100, 'y'));
    t.setText(1, 1, "short");
    EXPECT_EQ(t.text(1, 1), "short");
    t.setText(2, 1, std::string(40, 'x'));
    t.clear();
    EXPECT_EQ(t.rowCount(), 6) << "clearing keeps the rows";
    EXPECT_EQ(t.text(2, 1), "");
    EXPECT_EQ(t.text(1, 2), "");

    t.setRowCount(SampleTable::kMaxSamples + 1);
    for (int r = 1; r <= SampleTable::kMaxSamples; ++r) t.setText(r, 1, std::to_string(r));
    EXPECT_EQ(t.text(SampleTable::kMaxSamples, 1), "32765");
    EXPECT_EQ(t.sampleCount(), SampleTable::kMaxSamples);
}

}  // namespace
}  // namespace vb
