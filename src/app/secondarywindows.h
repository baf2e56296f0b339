#pragma once

#include "dialogs/aboutwindow.h"
#include "langeditor/languageeditor.h"

#include <QObject>

struct AppState;
class QWidget;

// The main window's side of its modal secondary windows: opens them from its commands
// and does what they hand back.
class SecondaryWindows : public QObject, public LanguageEditorHost, public AboutHost
{
    Q_OBJECT
public:
    SecondaryWindows(AppState &state, QWidget *parent);

    // "LANG:NEW": the editor is made for this use only, so the next one starts again
    // from the English file.
    void showLanguageEditor();
    // "TAMBERLO" and "FILE:TAMBERLO".
    void showAbout();

    // The new language is offered in the "LANG" drop-down at once.
    void languageSaved(const QString &fileName) override;
    // The help page in the current tab, as "FILE:HELP" shows it.
    void showHelp() override;

signals:
    void helpRequested();

private:
    AppState &m_state;
    QWidget *m_parent;
};
