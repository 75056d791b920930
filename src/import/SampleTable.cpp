#include "import/SampleTable.h"

#include <cstring>

namespace vb {

std::uint32_t SampleTable::Cell::spill() const {
    std::uint32_t index = 0;
    std::memcpy(&index, data.data(), sizeof index);
    return index;
}

void SampleTable::setRowCount(int rows) {
    if (rows < 0) rows = 0;
    m_cells.resize(static_cast<std::size_t>(rows) * kColumns);
    // Spilled texts of cut rows stay in the side list until the next clear();
    // they are unreachable and few.
}

void SampleTable::clear() {
    for (auto& c : m_cells) c.length = 0;
    m_spilled.clear();
}

std::string_view SampleTable::cell(std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= m_cells.size()) return {};
    const Cell& c = m_cells[static_cast<std::size_t>(index)];
    if (c.length == kSpilled) return m_spilled[c.spill()];
    return {c.data.data(), c.length};
}

void SampleTable::setCell(std::int64_t index, std::string_view text) {
    if (index < 0) return;
    const auto i = static_cast<std::size_t>(index);
    if (i >= m_cells.size()) m_cells.resize((i / kColumns + 1) * kColumns);
    Cell& c = m_cells[i];
    if (text.size() <= kInline) {
        c.length = static_cast<std::uint8_t>(text.size());
        if (!text.empty()) std::memcpy(c.data.data(), text.data(), text.size());
        return;
    }
    if (c.length == kSpilled) {
        m_spilled[c.spill()] = std::string(text);
        return;
    }
    const auto slot = static_cast<std::uint32_t>(m_spilled.size());
    m_spilled.emplace_back(text);
    c.length = kSpilled;
    std::memcpy(c.data.data(), &slot, sizeof slot);
}

bool SampleTable::operator==(const SampleTable& other) const {
    if (rowCount() != other.rowCount()) return false;
    for (std::size_t i = 0; i < m_cells.size(); ++i)
        if (cell(static_cast<std::int64_t>(i)) != other.cell(static_cast<std::int64_t>(i))) return false;
    return true;
}

std::int32_t Flex_Text(const SampleTable& /*flexi*/, std::int16_t R, std::int16_t c) {
    return static_cast<std::int32_t>(R) * SampleTable::kColumns + c;
}

std::string tabSeparated(const SampleTable& table) {
    std::string out;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < SampleTable::kColumns; ++column) {
            if (column > 0) out += '\t';
            out += table.text(row, column);
        }
        out += '\n';
    }
    return out;
}

void Format_SampleTable(SampleTable& table) {
    table.clear();
    table.setText(0, 0, "#");
    table.setText(0, 1, "Speed");
    table.setText(0, 2, "Alt");
}

}  // namespace vb
