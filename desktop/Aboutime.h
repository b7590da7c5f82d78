#pragma once
// The about box: the program's name and version, and the maker's web page and e-mail links.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    // visitUs and emailUs open the maker's web page and a new e-mail to the maker.
    TAboutBox(std::function<void()> visitUs, std::function<void()> emailUs, QWidget* parent = nullptr);
    ~TAboutBox() override;

    Ui::TAboutBox* form() const { return ui.get(); }

    // A click on the picture.
    void VisitUs();
    // A click on the e-mail address.
    void EmailLblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    std::function<void()> visitUs;
    std::function<void()> emailUs;
};
