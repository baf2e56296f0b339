#pragma once

#include <QList>
#include <QPair>
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

// The service as tests use it: records every request, opens nothing.
class RecordingShell : public Shell
{
public:
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    QStringList settingsProgram(Settings kind) const override;

    QList<QUrl> urls;
    QList<QPair<QString, QStringList>> programs;
    QStringList available; // what settingsProgram answers (empty: none installed)
    bool opens = true;     // what openUrl answers (false: nothing could open it)
};

class ScopedShell
{
public:
    ScopedShell() { Shell::setInstance(&shell); }
    ~ScopedShell() { Shell::setInstance(nullptr); }
    ScopedShell(const ScopedShell &) = delete;
    ScopedShell &operator=(const ScopedShell &) = delete;

    RecordingShell shell;
};
