#include "recordingshell.h"

#include <QTimer>

bool RecordingShell::openUrl(const QUrl &url)
{
    urls.append(url);
    return opens;
}

bool RecordingShell::startProgram(const QString &program, const QStringList &arguments)
{
    programs.append({program, arguments});
    return true;
}

void RecordingShell::handOff(const QString &program, const QStringList &arguments, QObject *context,
                             HandOffDone done)
{
    programs.append({program, arguments});
    QTimer::singleShot(0, context, [done = std::move(done), end = handOffEnd] { done(end); });
}

void RecordingShell::openInBrowser(const QUrl &url, QObject *context, HandOffDone done)
{
    urls.append(url);
    QTimer::singleShot(0, context, [done = std::move(done), end = handOffEnd] { done(end); });
}

QStringList RecordingShell::settingsProgram(Settings) const
{
    return available;
}
