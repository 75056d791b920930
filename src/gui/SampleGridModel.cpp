#include "gui/SampleGridModel.h"

#include "gui/QtText.h"
#include "import/SampleTable.h"

namespace vb::gui {
namespace {

QString cellText(const SampleTable& table, int row, int column) { return qtText(table.text(row, column)); }

}  // namespace

SampleGridModel::SampleGridModel(const SampleTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_rows(table.sampleCount()) {}

void SampleGridModel::reload() {
    beginResetModel();
    m_rows = m_table.sampleCount();
    endResetModel();
}

int SampleGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int SampleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SampleTable::kColumns;
}

QVariant SampleGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.column() >= SampleTable::kColumns) return {};
    if (role == Qt::DisplayRole) return cellText(m_table, index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

QVariant SampleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= SampleTable::kColumns) return {};
    if (role == Qt::DisplayRole) return cellText(m_table, 0, section);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

}  // namespace vb::gui
