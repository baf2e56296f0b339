#include "recordingshell.h"

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

QStringList RecordingShell::settingsProgram(Settings) const
{
    return available;
}
