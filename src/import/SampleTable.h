#pragma once
// SampleTable: the ride's samples as a table of text cells with three columns,
// "#", "Speed" and "Alt". Row 0 holds the titles, row k sample k. Speed is in
// tenths of km/h (tenths of mph), altitude in metres (feet); which unit applies
// is held by RideHeader::Type, not by the table.
//
// Cells are text exactly as the readers stored them; consumers take the
// leading number of a cell. Cells are addressed by the flat index
// row × 3 + column (`Flex_Text`). Storage is one contiguous array of small
// fixed-size cells, so a 32,766-row table needs no allocation per cell; the
// rare text longer than a cell holds lives in a side list.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vb {

class SampleTable {
public:
    static constexpr int kColumns = 3;
    /// Most sample rows a ride may have (row numbers are signed 16-bit, and the
    /// row count is the last sample index + 2).
    static constexpr int kMaxSamples = 32765;

    SampleTable() { setRowCount(2); }

    /// Number of rows, title row included.
    int rowCount() const { return static_cast<int>(m_cells.size() / kColumns); }
    /// Truncates the table or extends it with empty rows.
    void setRowCount(int rows);
    /// Empties every cell; the row count stays.
    void clear();

    /// The text of a cell by flat index; empty for an index past the last row.
    std::string_view cell(std::int64_t index) const;
    /// Sets a cell by flat index, adding empty rows when the index lies past the last row.
    void setCell(std::int64_t index, std::string_view text);

    std::string_view text(int row, int column) const { return cell(static_cast<std::int64_t>(row) * kColumns + column); }
    void setText(int row, int column, std::string_view text) {
        setCell(static_cast<std::int64_t>(row) * kColumns + column, text);
    }

    /// Number of sample rows: the row count minus the title row.
    int sampleCount() const { return rowCount() - 1; }

    bool operator==(const SampleTable& other) const;

private:
    static constexpr std::size_t kInline = 14;
    struct Cell {
        std::uint8_t length = 0;          // bytes held inline, or kSpilled
        std::array<char, kInline> data{};  // inline text
        std::uint32_t spill() const;
    };
    static constexpr std::uint8_t kSpilled = 0xFF;

    std::vector<Cell> m_cells;
    std::vector<std::string> m_spilled;  // texts too long for a cell
};

/// The flat cell index of row `R`, column `c`: R × 3 + c.
std::int32_t Flex_Text(const SampleTable& flexi, std::int16_t R, std::int16_t c);

/// The table as tab-separated lines, row 0 the titles, each line ended by "\n".
std::string tabSeparated(const SampleTable& table);

/// Clears every cell and writes the titles "#", "Speed", "Alt" into row 0.
void Format_SampleTable(SampleTable& table);

}  // namespace vb
