#include "ReportDataSet.h"

#include <QAbstractItemModel>

namespace norvel::report {

ModelDataSet::ModelDataSet(QAbstractItemModel &model) : model_(model)
{
    for (int c = 0; c < model.columnCount(); ++c) {
        QString name = model.headerData(c, Qt::Horizontal, Qt::UserRole).toString();
        if (name.isEmpty())
            name = model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        if (!name.isEmpty() && !columns_.contains(name))
            columns_.insert(name, c);
    }
}

int ModelDataSet::rowCount() const { return model_.rowCount(); }

bool ModelDataSet::canFetchMore() const { return model_.canFetchMore({}); }

void ModelDataSet::fetchMore() { model_.fetchMore({}); }

bool ModelDataSet::hasField(const QString &field) const { return columns_.contains(field); }

QVariant ModelDataSet::value(int row, const QString &field) const
{
    const auto it = columns_.constFind(field);
    if (it == columns_.cend())
        return {};
    const QModelIndex index = model_.index(row, *it);
    const QVariant edit = model_.data(index, Qt::EditRole);
    return edit.isValid() ? edit : model_.data(index, Qt::DisplayRole);
}

} // namespace norvel::report
