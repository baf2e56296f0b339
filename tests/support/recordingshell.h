#pragma once

#include "platform/shell.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

// The service as tests use it: records every request, opens nothing.
class RecordingShell : public Shell
{
public:
    bool openUrl(const QUrl &url) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    void handOff(const QString &program, const QStringList &arguments, QObject *context, HandOffDone done) override;
    void openInBrowser(const QUrl &url, QObject *context, HandOffDone done) override;
    QStringList settingsProgram(Settings kind) const override;

    QList<QUrl> urls;
    QList<QPair<QString, QStringList>> programs;
    HandOffEnd handOffEnd; // how every hand-off ends, told once events run
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
