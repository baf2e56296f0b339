#pragma once

#include "app/secondarywindows.h"
#include "browser/favoritelinks.h"
#include "export/exports.h"
#include "export/mailexport.h"

#include <QObject>
#include <QString>

class FindBar;
class MainWindow;
class QUrl;

// The main window's click handler: selects the work of a command bar button by its key
// and the instance it was clicked on (0 main toolbar, 2 right-hand toolbar, 3 the
// drop-down bars).
class Dispatch : public QObject
{
    Q_OBJECT
public:
    Dispatch(MainWindow *window, FindBar *findBar);

    void click(int index, const QString &key);

    // The commands whose window or export is not part of the program yet: their items
    // are disabled rather than silent.
    static const QStringList &unavailable();
    // Disables what cannot run here: the commands above and settings items without a
    // settings program on this machine.
    void disableUnavailable();

    // Ctrl+F and "EDIT:FINDDOC": the find bar for the current page.
    void openFind();
    // The address of the program's help page.
    static QString helpPage();

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
    // "FILE:EXPLORER": the address in the desktop's browser; a failure is told.
    void openInSystemBrowser(const QUrl &url);

    MainWindow *m_window;
    FindBar *m_findBar;
    Exports m_exports;
    SecondaryWindows m_windows;
    WindowMailHost m_mailHost;
    MailExport m_mail;

    FavoriteLinks m_favorites;

public:
    Exports &exports() { return m_exports; }
    MailExport &mail() { return m_mail; }
    FavoriteLinks &favorites() { return m_favorites; }
};
