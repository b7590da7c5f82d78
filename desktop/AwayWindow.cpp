// SPDX-License-Identifier: MIT
#include "desktop/AwayWindow.h"

#include "ui_AwayWindow.h"

AwayWindow::AwayWindow(AwaySummary::NoteOpener openNote, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::AwayWindow>()), openNote(std::move(openNote))
{
    ui->setupUi(this);
    // A note shown late at the same time keeps the keyboard: the summary only comes up beside it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    connect(ui->openButton, &QPushButton::clicked, this, &AwayWindow::openChosen);
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->missedList, &QListWidget::itemActivated, this, &AwayWindow::openChosen);
    connect(ui->missedList, &QListWidget::currentRowChanged, this, &AwayWindow::enableOpen);
}

AwayWindow::~AwayWindow() = default;

void AwayWindow::showListing(const QList<AwaySummary::Item>& items, const QString& moreText)
{
    listed = items;
    ui->missedList->clear();
    for (const AwaySummary::Item& item : items)
        ui->missedList->addItem(item.text);
    ui->moreLabel->setText(moreText);
    ui->moreLabel->setVisible(!moreText.isEmpty());
    ui->missedList->setCurrentRow(0);
    enableOpen();
    // Not raised: a note that shows stays above it.
    show();
}

void AwayWindow::enableOpen()
{
    const int row = ui->missedList->currentRow();
    ui->openButton->setEnabled(row >= 0 && row < listed.size() && listed[row].note);
}

void AwayWindow::openChosen()
{
    const int row = ui->missedList->currentRow();
    if (row >= 0 && row < listed.size() && listed[row].note && openNote)
        openNote(listed[row].occurrence);
}
