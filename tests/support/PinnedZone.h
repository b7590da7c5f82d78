// SPDX-License-Identifier: MIT
#pragma once
// Sets the local time zone for the life of a test and puts the old one back.

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

class PinnedZone
{
public:
    explicit PinnedZone(const char* zone) : had(qEnvironmentVariableIsSet("TZ")), old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~PinnedZone()
    {
        if (had)
            qputenv("TZ", old);
        else
            qunsetenv("TZ");
        tzset();
    }
    PinnedZone(const PinnedZone&) = delete;
    PinnedZone& operator=(const PinnedZone&) = delete;

private:
    bool had;
    QByteArray old;
};
