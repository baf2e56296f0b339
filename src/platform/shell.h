#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QObject;

// Opening documents and addresses in their associated programs and starting other
// programs. Arguments always travel as arguments: nothing the user typed is ever put
// into a command line or handed to a shell.
class Shell
{
public:
    enum class Settings { Security, Sound, Network };

    // How a program that was handed a job (a mail to compose, an address to open) ended.
    struct HandOffEnd
    {
        enum class Kind {
            Done,         // it ended well, or ran long enough to have handed the job on
            NotStarted,   // it could not be started
            NothingSetUp, // a desktop helper found no program set up for the job
            Failed,       // it ended with another status
            Crashed,
        } kind = Kind::Done;
        int status = 0;
        bool failed() const { return kind != Kind::Done; }
    };
    using HandOffDone = std::function<void(const HandOffEnd &end)>;

    virtual ~Shell() = default;

    // Opens an address or a file (file: URL) with the program the desktop associates.
    // False when nothing could open it.
    virtual bool openUrl(const QUrl &url);
    virtual bool startProgram(const QString &program, const QStringList &arguments);
    // Starts the program and tells done how it ended, without holding the window
    // meanwhile: once it has ended, or as Done once it has run long enough to have handed
    // the job on (a mail program it started may run for hours). done is called once, and
    // only while context lives.
    virtual void handOff(const QString &program, const QStringList &arguments, QObject *context, HandOffDone done);
    // Opens an address in the desktop's web browser, telling done as handOff does.
    virtual void openInBrowser(const QUrl &url, QObject *context, HandOffDone done);

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
