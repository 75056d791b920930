#pragma once
// The sample grid's table model: reads the ride's SampleTable cell by cell as
// the view asks, so a ride of 32,765 rows costs nothing until it is shown.
// Row 0 of the table (the titles) is the header; the model's rows are the
// table's sample rows. The row count is taken when the owner reports a new
// table, never while an operation is filling it.

#include <QAbstractTableModel>

namespace vb {
class SampleTable;
}

namespace vb::gui {

class SampleGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SampleGridModel(const SampleTable& table, QObject* parent = nullptr);

    /// The table's rows have changed: the views read it afresh.
    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const SampleTable& m_table;
    int m_rows = 0;
};

}  // namespace vb::gui
