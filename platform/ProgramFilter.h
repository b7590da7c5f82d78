// SPDX-License-Identifier: MIT
#pragma once

#include <QSortFilterProxyModel>

// Lets through the folders and the files the user may run, of a file system model, whatever
// their names: a program is known by its execute permission here.
class ProgramFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
