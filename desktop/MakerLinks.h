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
    void openHelp();
    // Opens the maker's web page.
    void openWebPage();
    // Starts an e-mail to the maker.
    void writeEmail();
    // Shows the about box and returns once it is closed.
    virtual void showAbout();

    // The folder the help page is opened from.
    QString helpFolder() const;

private:
    Launcher& launcher;
    QStringList helpFolders;
};
