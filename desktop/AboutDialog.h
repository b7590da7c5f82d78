// SPDX-License-Identifier: MIT
#pragma once
// The about box: the program's name and version, and the maker's web page and e-mail links.

#include <QDialog>
#include <memory>

namespace Ui {
class AboutDialog;
}

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    Ui::AboutDialog* form() const { return ui.get(); }

signals:
    // A click on the picture: the maker's web page is wanted.
    void webPageClicked();
    // A click on the e-mail address: a new e-mail to the maker is wanted.
    void emailClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutDialog> ui;
};
