// SPDX-License-Identifier: MIT
#include "MakerLinks.h"

#include "AboutDialog.h"
#include "Launch.h"

#include <QFileInfo>

const QString MakerLinks::webPage = QStringLiteral("https://nudgeon.example/");
const QString MakerLinks::emailAddress = QStringLiteral("help@nudgeon.example");
const QString MakerLinks::helpFile = QStringLiteral("helpndg.html");

MakerLinks::MakerLinks(Launcher& launcher, const QStringList& helpFolders)
    : launcher(launcher), helpFolders(helpFolders)
{}

QString MakerLinks::helpFolder() const
{
    for (const QString& folder : helpFolders) {
        if (QFileInfo::exists(folder + helpFile))
            return folder;
    }
    return helpFolders.value(0);
}

void MakerLinks::HelpIt()
{
    launchFile(launcher, helpFile, QString(), helpFolder());
}

void MakerLinks::VisitUs()
{
    launchFile(launcher, webPage, QString(), QString());
}

void MakerLinks::EMailUs()
{
    launchFile(launcher, QStringLiteral("mailto:") + emailAddress, QString(), QString());
}

void MakerLinks::ShowAbout()
{
    AboutUs();
}

void MakerLinks::AboutUs()
{
    AboutDialog about;
    QObject::connect(&about, &AboutDialog::webPageClicked, [this] { VisitUs(); });
    QObject::connect(&about, &AboutDialog::emailClicked, [this] { EMailUs(); });
    about.exec();
}
