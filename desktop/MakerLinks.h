// SPDX-License-Identifier: MIT
#pragma once
// The help page, the maker's web page and e-mail address, and the about box.

#include <QString>
#include <QStringList>

class Launcher;
class QWidget;

class MakerLinks
{
public:
    static const QString webPage;
    static const QString emailAddress;
    static const QString helpFile;

    // helpFolders: where the help page may be, in order; the first that holds it is used.
    MakerLinks(Launcher& launcher, const QStringList& helpFolders);
    virtual ~MakerLinks() = default;

    // Opens the help page.
    void HelpIt();
    // Opens the maker's web page.
    void VisitUs();
    // Starts an e-mail to the maker.
    void EMailUs();
    // Shows the about box from the menu.
    void ShowAbout();
    // Shows the about box and returns once it is closed.
    virtual void AboutUs();

    // The folder the help page is opened from.
    QString helpFolder() const;

private:
    Launcher& launcher;
    QStringList helpFolders;
};
