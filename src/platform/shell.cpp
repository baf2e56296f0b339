#include "shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
Shell *g_override = nullptr;
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
    return QDesktopServices::openUrl(url);
}

bool Shell::startProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
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

bool RecordingShell::openUrl(const QUrl &url)
{
    urls.append(url);
    return true;
}

bool RecordingShell::startProgram(const QString &program, const QStringList &arguments)
{
    programs.append({program, arguments});
    return true;
}

QStringList RecordingShell::settingsProgram(Settings) const
{
    return available;
}
