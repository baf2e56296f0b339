#pragma once

#include "../support/tempfolder.h"

#include <QString>

// A temporary program folder laid out as the installation delivers it, with a home
// page and search addresses on the loopback server, so no test reaches the internet.
class ProgramFolder : public TempFolder
{
public:
    // Loose delivered files and the first-run marker, plus an options file naming the
    // home page (empty: leave the options file out).
    void deliver(const QString &homePage);
    // The state after a first run: data in its folders, no marker.
    void installed(const QString &homePage);

    void writeOptions(const QString &homePage, int barStyle = 1, int floatBars = 0,
                      const QString &language = QStringLiteral("English"));
    // The delivered English file with its internet addresses pointed at the loopback.
    QByteArray loopbackLanguage(const QString &file, const QString &baseUrl) const;

    QString baseUrl = QStringLiteral("http://127.0.0.1:9/");
};
