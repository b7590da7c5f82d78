// SPDX-License-Identifier: MIT
#include "desktop/HistoryWindow.h"

#include "engine/HistoryLog.h"

#include "ui_HistoryWindow.h"

#include <QLocale>
#include <QStyle>

namespace {

enum Column
{
    DueColumn,
    OutcomeColumn,
    EntryColumn
};

QString timeText(const QDateTime& t)
{
    return QLocale().toString(t, QLocale::ShortFormat);
}

} // namespace

HistoryWindow::HistoryWindow(HistoryLog& history, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::HistoryWindow>()), history(history)
{
    ui->setupUi(this);
    ui->pathLabel->setText(tr("The history is kept in %1").arg(history.path()));
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 1);
    connect(ui->refreshButton, &QPushButton::clicked, this, &HistoryWindow::refresh);
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->firingList, &QTreeWidget::currentItemChanged, this, &HistoryWindow::showDetails);
    refresh();
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::refresh()
{
    shown = history.recent(MaxFirings);
    ui->firingList->clear();
    const QIcon failedIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const Firing& firing : std::as_const(shown)) {
        auto* item = new QTreeWidgetItem(ui->firingList);
        item->setText(DueColumn, timeText(firing.due));
        item->setText(OutcomeColumn,
                      firing.failed() ? tr("Failed: %1").arg(firing.describe()) : firing.describe());
        item->setText(EntryColumn, firing.line);
        if (firing.failed()) {
            item->setIcon(OutcomeColumn, failedIcon);
            QFont bold = item->font(OutcomeColumn);
            bold.setBold(true);
            item->setFont(OutcomeColumn, bold);
        }
        item->setToolTip(OutcomeColumn, details(firing));
    }
    for (int column : {DueColumn, OutcomeColumn})
        ui->firingList->resizeColumnToContents(column);
    if (ui->firingList->topLevelItemCount() > 0)
        ui->firingList->setCurrentItem(ui->firingList->topLevelItem(0));
    else
        ui->detailsText->setPlainText(tr("Nothing has run yet."));
}

QString HistoryWindow::details(const Firing& firing)
{
    QStringList lines{tr("Due: %1").arg(timeText(firing.due))};
    if (firing.ran.isValid())
        lines << tr("Ran: %1").arg(timeText(firing.ran));
    lines << tr("Entry: %1").arg(firing.line) << firing.describe();
    if (!firing.errorOutput.isEmpty())
        lines << tr("Error output:") << firing.errorOutput;
    return lines.join(QLatin1Char('\n'));
}

void HistoryWindow::showDetails()
{
    const int row = ui->firingList->indexOfTopLevelItem(ui->firingList->currentItem());
    if (row >= 0 && row < shown.size())
        ui->detailsText->setPlainText(details(shown[row]));
}
