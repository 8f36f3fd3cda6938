// The table model of an address list; see AddressListModel.h.
#include "merge/ui/AddressListModel.h"

#include "merge/MergeSession.h"

namespace bb {

AddressListModel::AddressListModel(MergeSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {}

void AddressListModel::setList(std::shared_ptr<const AddressList> list) {
    if (list == list_) return;
    beginResetModel();
    list_ = std::move(list);
    endResetModel();
}

void AddressListModel::ticksChanged() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

bool AddressListModel::tickable() const {
    return list_ && list_ == session_.sourceList();
}

int AddressListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !list_ ? 0 : list_->rowCount();
}

int AddressListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !list_ ? 0 : int(list_->columns.size()) + 1;
}

QVariant AddressListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !list_ || index.row() >= list_->rowCount()) return {};
    if (index.column() == 0) {
        if (role == Qt::CheckStateRole && tickable())
            return session_.isTicked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const QStringList& row = list_->rows[size_t(index.row())];
    const int column = index.column() - 1;
    if (column >= row.size()) return {};
    // A value with line breaks shows on one line in the table; the tip shows it whole.
    return role == Qt::DisplayRole ? QString(row.at(column)).replace(u'\n', u' ')
                                   : QVariant(row.at(column));
}

bool AddressListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || !tickable())
        return false;
    session_.setTicked(index.row(), value.toInt() == Qt::Checked);
    // Ticking a row means printing the ticked rows.
    session_.setRowChoice(MergeSession::Rows::Ticked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AddressListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0 && tickable()) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant AddressListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section == 0)
        return QStringLiteral(
            "Angekreuzte Datensätze werden gedruckt, wenn "
            "\"Angekreuzte Datensätze\" gewählt ist");
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;  // the record number
    if (section == 0 || !list_ || section > list_->columns.size()) return QString();
    return list_->columns.at(section - 1);
}

}  // namespace bb
