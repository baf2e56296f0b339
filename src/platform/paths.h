#pragma once

#include <QString>
#include <QStringList>

// Where every file of the program lives: below AppPath, the folder of the executable
// (a test hands in a temporary folder instead).
//
// The program names its files with varying letter case ("QuorlOffice.Hys" and
// "QuorlOffice.hys", "lang_english.txt" and "Lang_English.txt"), as the file system it
// first ran on ignored case. Here a name is matched without regard to case, one path
// component at a time: an existing file in any spelling is the file meant, and a new
// file gets the spelling asked for.
class Paths
{
public:
    explicit Paths(QString appPath);

    const QString &appPath() const { return m_appPath; }

    // AppPath + "/" + relative, each component matched without regard to case.
    QString file(const QString &relative) const;

    static QString resolve(const QString &base, const QString &relative);

    // Plain files of a folder whose names match a wildcard pattern ("*" any run of
    // characters, "?" one character) without regard to case, in directory order.
    static QStringList matchFiles(const QString &dir, const QString &pattern);

    // The longest file name, in bytes, the folder's file system takes (255 when it
    // cannot say, as for a folder that does not exist yet).
    static int nameMax(const QString &dir);

private:
    QString m_appPath;
};
