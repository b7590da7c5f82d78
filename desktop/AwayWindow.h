// SPDX-License-Identifier: MIT
#pragma once
// The summary of what a sleep missed, as a window where no notification can carry it: each
// occurrence with its time; a missed note opens from its row.

#include "desktop/AwaySummary.h"

#include <QWidget>
#include <memory>

namespace Ui {
class AwayWindow;
}

class AwayWindow : public QWidget
{
    Q_OBJECT

public:
    explicit AwayWindow(AwaySummary::NoteOpener openNote, QWidget* parent = nullptr);
    ~AwayWindow() override;

    // Lists the items and the count of the rest, and shows without taking the keyboard.
    void showListing(const QList<AwaySummary::Item>& items, const QString& moreText);
    Ui::AwayWindow* form() const { return ui.get(); }

private:
    // Opens the note of the chosen row; other rows have none.
    void openChosen();
    void enableOpen();

    std::unique_ptr<Ui::AwayWindow> ui;
    AwaySummary::NoteOpener openNote;
    QList<AwaySummary::Item> listed;
};
