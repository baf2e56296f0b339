#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

struct AppState;
class CommandHost;
class Exports;
class MailExport;
class WebBrowser;
class QUrl;

// The main window's click handler: selects the work of a command bar button by its key
// and the instance it was clicked on (0 main toolbar, 2 right-hand toolbar, 3 the
// drop-down bars), and calls the feature that does it. What the window itself must do
// goes to its host; the secondary windows are asked for by signals the window answers.
class Dispatch : public QObject
{
    Q_OBJECT
public:
    Dispatch(AppState &state, CommandHost &host, Exports &exports, MailExport &mail, QObject *parent = nullptr);

    void click(int index, const QString &key);

    // The settings items are enabled only where the machine has a settings program for
    // them.
    void disableMissingSettings();

signals:
    // "FAVORITE": the link table window.
    void linkTableRequested();
    // "TAMBERLO" and "FILE:TAMBERLO": the about window.
    void aboutRequested();
    // "LANG:NEW": the language editor.
    void languageEditorRequested();

private:
    void toolbar0(const QString &key);
    void toolbar2(const QString &key);
    void dropDown(const QString &key);
    void search(const QString &address);
    void setStyle(int16_t style);
    void floating();
    void switchLanguage(const QString &key);
    void showProperties();
    void saveOptions();
    void print(WebBrowser *web);
    // "FILE:EXPLORER": the address in the desktop's browser; a failure is told.
    void openInSystemBrowser(const QUrl &url);

    AppState &m_state;
    CommandHost &m_host;
    Exports &m_exports;
    MailExport &m_mail;
};
