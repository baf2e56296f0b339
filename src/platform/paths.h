#pragma once

#include <QString>
#include <QStringList>

// Where every file of the program lives. Two folders: AppPath, the program folder that
// holds the data (Data, Languages, Links, Images and the first-run delivery), and the
// folder of the executables (the office worker). A portable program folder is both; an
// installed program runs from the system's folder and keeps each user's data in a
// folder of the user's own (a test hands in a temporary folder for both).
//
// The program names its files with varying letter case ("QuorlOffice.Hys" and
// "QuorlOffice.hys", "lang_english.txt" and "Lang_English.txt"), as the file system it
// first ran on ignored case. Here a name is matched without regard to case, one path
// component at a time: an existing file in any spelling is the file meant, and a new
// file gets the spelling asked for.
class Paths
{
public:
    // executables: the folder of the executables; empty when it is appPath itself.
    explicit Paths(QString appPath, QString executables = QString());

    const QString &appPath() const { return m_appPath; }
    const QString &executables() const { return m_executables; }
    // An executable of the program (the office worker), by its name.
    QString executable(const QString &name) const { return m_executables + u'/' + name; }

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
    QString m_executables;
};
