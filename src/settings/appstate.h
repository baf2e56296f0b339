#pragma once

#include "linktable/linkfiles.h"
#include "platform/paths.h"
#include "settings/inifile.h"
#include "settings/language.h"
#include "settings/options.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The state the whole program shares for one run: options, geometry, the language
// table and its settings, and the values the windows hand each other. One object,
// owned by the main window, that a test can also create on its own.
struct AppState
{
    explicit AppState(const QString &appPath)
        : paths(appPath)
    {
    }
    explicit AppState(Paths folders)
        : paths(std::move(folders))
    {
    }

    Paths paths;
    Options options;
    IniSettings ini;
    LangTable lang;
    LangSettings langSettings;
    QStringList languages;      // the language names found at start-up
    LinkFiles::GroupList groups; // the link groups' titles and counts
    QString linkBase;           // AppPath + "/Links/Links."

    bool barsShown = true;
    QString currentURL;
    QString bookMarkURL;
    QString pageTitle;
    QString chosenLink;
    QString typedAddress;
    QString todayText;
    QStringList tabURL;

    int16_t linkRows = 30;
    int16_t linkColumns = 5;
    int16_t pictureCount = 0;
    int16_t exportAlpha = 205;
    int16_t normalAlpha = 255;
    QString templateDoc;
    QString templateHDoc;
    // LibreOffice's profile for the exports; empty: Data/Office. Exports made with no
    // window use one of their own, as the window's may be in use.
    QString officeProfile;
    int16_t wasMinimised = 0;
    int16_t exportBusy = 0;
    bool useTemplateH = false;
    // The yes/no dialog's answer (1 yes, 0 no); only its buttons change it.
    int16_t inputAnswer = 0;
    // Set by the first edit in the language editor and kept for the rest of the run.
    bool langEditorModified = false;

    QString optionsPath() const { return paths.file(QStringLiteral("Data/QuorlOffice.Opt")); }
    QString iniPath() const { return paths.file(QStringLiteral("Data/QuorlOffice.Ini")); }
    QString historyPath() const { return paths.file(QStringLiteral("Data/QuorlOffice.Hys")); }
    QString bookmarkPath() const { return paths.file(QStringLiteral("Data/QuorlBook.bm")); }
    QString languagePath() const { return LanguageFile::pathFor(paths.appPath(), options.langName); }

    // Entry n of the language table, or the fallback when the loaded file lacks it
    // (for the program's own failure messages, which must never be blank).
    QString text(int n, const QString &fallback = QString()) const
    {
        const QString t = lang.entry(n);
        return t.isEmpty() ? fallback : t;
    }
};
