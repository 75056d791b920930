#include "import/SampleTable.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(SampleTable, CellsGrowShrinkAndKeepLongTextsWhole) {
    SampleTable t;
    t.setCell(-1, "x");  // nowhere to go
    EXPECT_EQ(t.cell(-1), "");
    t.setText(5, 2, "105");
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.text(5, 2), "105");
    EXPECT_EQ(t.text(10, 1), "");
    t.setRowCount(4);
    t.setRowCount(6);
    EXPECT_EQ(t.text(5, 2), "") << "rows cut off come back empty";
    // Texts longer than a cell holds, replaced by longer and shorter ones.
    for (const std::string& text :
         {std::string("\t85\t412\t17 extra fields of a long line"), std::string(100, 'y'), std::string("short")}) {
        t.setText(1, 1, text);
        t.setText(1, 2, "exactly14chars");
        EXPECT_EQ(t.text(1, 1), text);
        EXPECT_EQ(t.text(1, 2), "exactly14chars");
    }
    t.clear();
    EXPECT_EQ(t.rowCount(), 6) << "clearing keeps the rows";
    EXPECT_EQ(t.text(1, 1), "");
    EXPECT_EQ(t.text(1, 2), "");
}

}  // namespace
}  // namespace vb
