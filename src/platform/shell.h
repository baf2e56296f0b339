#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Opening documents and addresses in their associated programs and starting other
// programs. Arguments always travel as arguments: nothing the user typed is ever put
// into a command line or handed to a shell.
class Shell
{
public:
    enum class Settings { Security, Sound, Network };

    virtual ~Shell() = default;

    // Opens an address or a file (file: URL) with the program the desktop associates.
    // False when nothing could open it.
    virtual bool openUrl(const QUrl &url);
    virtual bool startProgram(const QString &program, const QStringList &arguments);

    // The nearest settings program of the kind on this machine: the program followed by
    // its arguments; empty when none is installed.
    virtual QStringList settingsProgram(Settings kind) const;

    // The executable a program name stands for: a path (with "/") that is an
    // executable file, or a name found on the PATH. Empty when there is none.
    static QString findProgram(const QString &program);

    static Shell &instance();
    // Replaces the service (tests); nullptr restores the real one. Not owned.
    static void setInstance(Shell *shell);
};
