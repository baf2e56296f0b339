#include "shell.h"

#include "platform/wait.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

Shell *g_override = nullptr;

// A hand-off that fails does so at once (the desktop's helpers give up in a moment); one
// that is still running after this long has started the program it was for.
constexpr int kHandOffMs = 60000;

// The desktop's helpers (xdg-open, xdg-email) end with 3 when no program on the machine
// is set up for the job.
bool isDesktopHelper(const QString &program)
{
    return QFileInfo(program).fileName().startsWith(QLatin1String("xdg-"));
}

} // namespace

Shell &Shell::instance()
{
    static Shell real;
    return g_override ? *g_override : real;
}

void Shell::setInstance(Shell *shell)
{
    g_override = shell;
}

bool Shell::openUrl(const QUrl &url)
{
    if (!url.isValid())
        return false;
    if (!url.isLocalFile())
        return QDesktopServices::openUrl(url);
    // A file: xdg-open gives up at once when nothing on the machine can open it, and
    // stays while a program it started has the file; so a quick non-zero end is the
    // one sure sign of failure.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    // No parent: the opener may outlive this call, and ending the program must not end
    // the viewer the user is reading in.
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toLocalFile()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto result = std::make_shared<std::optional<int>>();
    QObject::connect(process, &QProcess::finished, process, [process, result](int code, QProcess::ExitStatus status) {
        *result = status == QProcess::NormalExit ? code : -1;
        process->deleteLater();
    });
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return false;
    }
    Wait::until([&result] { return result->has_value(); }, 1500, 20);
    return !result->has_value() || **result == 0;
}

bool Shell::startProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

void Shell::handOff(const QString &program, const QStringList &arguments, QObject *context, HandOffDone done)
{
    // No parent: the helper may outlive the window, and ending the program must not end
    // the mail program or the browser the user is working in.
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    const QPointer<QObject> guard(context);
    auto told = std::make_shared<bool>(false);
    auto tell = [guard, told, done = std::move(done)](const HandOffEnd &end) {
        if (*told)
            return;
        *told = true;
        if (guard)
            done(end);
    };
    QObject::connect(process, &QProcess::finished, process, [process, program, tell](int code, QProcess::ExitStatus status) {
        HandOffEnd end;
        end.status = code;
        if (status != QProcess::NormalExit)
            end.kind = HandOffEnd::Kind::Crashed;
        else if (code == 3 && isDesktopHelper(program))
            end.kind = HandOffEnd::Kind::NothingSetUp;
        else if (code != 0)
            end.kind = HandOffEnd::Kind::Failed;
        tell(end);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell({HandOffEnd::Kind::NotStarted, 0});
        process->deleteLater();
    });
    QTimer::singleShot(kHandOffMs, process, [tell] { tell({}); });
    process->start();
}

void Shell::openInBrowser(const QUrl &url, QObject *context, HandOffDone done)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!url.isValid() || opener.isEmpty()) {
        // Told once events run, as every other end.
        QTimer::singleShot(0, context, [done = std::move(done)] { done({HandOffEnd::Kind::NotStarted, 0}); });
        return;
    }
    handOff(opener, {url.toString(QUrl::FullyEncoded)}, context, std::move(done));
}

QString Shell::findProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/')) {
        const QFileInfo file(program);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

QStringList Shell::settingsProgram(Settings kind) const
{
    // Candidates in order of preference for each kind; the first installed one wins.
    struct Candidate
    {
        const char *program;
        const char *argument;
    };
    static const Candidate security[] = {{"gnome-control-center", "privacy"}, {"firewall-config", nullptr},
                                         {"gufw", nullptr}, {"systemsettings", "kcm_firewall"}};
    static const Candidate sound[] = {{"pavucontrol", nullptr}, {"pavucontrol-qt", nullptr},
                                      {"gnome-control-center", "sound"}, {"systemsettings", "kcm_pulseaudio"},
                                      {"xfce4-mixer", nullptr}};
    static const Candidate network[] = {{"gnome-control-center", "network"}, {"nm-connection-editor", nullptr},
                                        {"systemsettings", "kcm_proxy"}};
    const Candidate *list = nullptr;
    size_t count = 0;
    switch (kind) {
    case Settings::Security: list = security; count = std::size(security); break;
    case Settings::Sound: list = sound; count = std::size(sound); break;
    case Settings::Network: list = network; count = std::size(network); break;
    }
    for (size_t i = 0; i < count; ++i) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(list[i].program));
        if (path.isEmpty())
            continue;
        QStringList result{path};
        if (list[i].argument)
            result.append(QString::fromLatin1(list[i].argument));
        return result;
    }
    return {};
}
