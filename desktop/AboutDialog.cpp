// SPDX-License-Identifier: MIT
#include "desktop/AboutDialog.h"

#include "ui_AboutDialog.h"

#include <QIcon>
#include <QLayout>
#include <QMouseEvent>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Pictures through icons: an icon picks the file drawn for the screen's scale.
    ui->programIcon->setPixmap(windowIcon().pixmap(QSize(16, 16)));
    ui->webBanner->setPixmap(QIcon(QStringLiteral(":/icons/about-banner.png")).pixmap(QSize(140, 34)));
    // A fixed border, at the design size or what a larger font needs.
    ensurePolished();
    setFixedSize(size().expandedTo(layout()->totalMinimumSize()));
    ui->webBanner->installEventFilter(this);
    ui->emailLabel->installEventFilter(this);
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    ui->okButton->setFocus();
}

AboutDialog::~AboutDialog() = default;

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->webBanner) {
            emit webPageClicked();
            return true;
        }
        if (watched == ui->emailLabel) {
            emit emailClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
