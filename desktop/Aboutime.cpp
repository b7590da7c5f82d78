#include "Aboutime.h"

#include "ui_Aboutime.h"

#include <QMouseEvent>

TAboutBox::TAboutBox(std::function<void()> visitUs, std::function<void()> emailUs, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>()), visitUs(std::move(visitUs)),
      emailUs(std::move(emailUs))
{
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->Image1->installEventFilter(this);
    ui->EmailLbl->installEventFilter(this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    ui->OKButton->setFocus();
}

TAboutBox::~TAboutBox() = default;

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Image1) {
            VisitUs();
            return true;
        }
        if (watched == ui->EmailLbl) {
            EmailLblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::VisitUs()
{
    if (visitUs)
        visitUs();
}

void TAboutBox::EmailLblClick()
{
    if (emailUs)
        emailUs();
}
