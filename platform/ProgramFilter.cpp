// SPDX-License-Identifier: MIT
#include "platform/ProgramFilter.h"

#include <QFileSystemModel>

bool ProgramFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files)
        return true;
    const QModelIndex index = files->index(sourceRow, 0, sourceParent);
    return files->isDir(index) || files->fileInfo(index).isExecutable();
}
