// SPDX-License-Identifier: MIT
#include "AboutDialog.h"

#include "ui_AboutDialog.h"

#include <QMouseEvent>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->Image1->installEventFilter(this);
    ui->EmailLbl->installEventFilter(this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    ui->OKButton->setFocus();
}

AboutDialog::~AboutDialog() = default;

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Image1) {
            emit webPageClicked();
            return true;
        }
        if (watched == ui->EmailLbl) {
            emit emailClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
