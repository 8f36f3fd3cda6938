// The rows of an address list for a table view: a tick column first (the rows a merge with
// "Angekreuzte Datensätze" takes), then one column per field. The view asks only for what it
// shows, so a list of 100,000 rows costs nothing until it is scrolled.
#pragma once

#include "merge/AddressList.h"

#include <QAbstractTableModel>

#include <memory>

namespace bb {

class MergeSession;

class AddressListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AddressListModel(MergeSession& session, QObject* parent = nullptr);

    // The list shown: the session's own as read, or the first rows of one being read (not
    // tickable).
    void setList(std::shared_ptr<const AddressList> list);
    const std::shared_ptr<const AddressList>& list() const { return list_; }
    // The ticks are the session's: repaints the tick column after they changed.
    void ticksChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool tickable() const;

    MergeSession& session_;
    std::shared_ptr<const AddressList> list_;
};

}  // namespace bb
