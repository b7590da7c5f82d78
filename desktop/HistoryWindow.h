// SPDX-License-Identifier: MIT
#pragma once
// The history window: the recent firings, newest first, failures marked, and the reason or
// error output of the one chosen.

#include "engine/Firing.h"

#include <QList>
#include <QWidget>
#include <memory>

namespace Ui {
class HistoryWindow;
}

class HistoryLog;

class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    // The most firings the window lists.
    static constexpr int MaxFirings = 500;

    explicit HistoryWindow(HistoryLog& history, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Reads the history again.
    void refresh();
    const QList<Firing>& firings() const { return shown; }
    Ui::HistoryWindow* form() const { return ui.get(); }

    // The details of a firing as the window shows them.
    static QString details(const Firing& firing);

private:
    void showDetails();

    std::unique_ptr<Ui::HistoryWindow> ui;
    HistoryLog& history;
    QList<Firing> shown;
};
