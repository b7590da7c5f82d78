#include "MakerLinks.h"

#include "Aboutime.h"
#include "FmxUtils.h"

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
    LaunchFile(launcher, helpFile, QString(), helpFolder(), SW_SHOW);
}

void MakerLinks::VisitUs()
{
    LaunchFile(launcher, webPage, QString(), QString(), SW_SHOW);
}

void MakerLinks::EMailUs()
{
    LaunchFile(launcher, QStringLiteral("mailto:") + emailAddress, QString(), QString(), SW_SHOW);
}

void MakerLinks::ShowAbout()
{
    AboutUs();
}

void MakerLinks::AboutUs()
{
    TAboutBox AboutBox([this] { VisitUs(); }, [this] { EMailUs(); });
    AboutBox.exec();
}
