#pragma once

#include "platform/shell.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class cZip;
class QWidget;
struct AppState;

// "SAVE:OUTLOOK", sending a file by e-mail: the user picks a file, the program packs it into a zip
// archive in its private temporary folder and starts the mail program of the language
// file with the archive attached, without holding the window while it runs. The archive
// stays there for the mail program to read; a mail program that does not take it is
// named, with the archive for the user to attach by hand. Archives older than a day are
// removed at the next start.
class MailExport : public QObject
{
    Q_OBJECT
public:
    // What the mail export asks of the main window.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual QWidget *dialogParent() = 0;
        virtual void setOpacity(int alpha) = 0;
        // The status text, shown at once: the archive is made on this thread.
        virtual void setStatusText(const QString &text) = 0;
        // The common dialog's file name, as the last export left it.
        virtual QString dialogFileName() const = 0;
        virtual void setDialogFileName(const QString &path) = 0;
    };

    MailExport(AppState &state, Host &host, QObject *parent = nullptr);
    ~MailExport() override;

    void sendAsZip();
    // m_cZ: the archive builder of the last mail export.
    cZip *lastZip() const { return m_cZ.get(); }

    // The archive's file name: the file's name up to its first "." (leading dots aside)
    // and "zip", spaces turned into "_"; a name without "." gets ".zip" added.
    static QString archiveName(const QString &fileName);
    static QString archivePath(const QString &folder, const QString &chosenPath);
    // How the mail program is told about the attachment, by the program's name.
    static QStringList mailArguments(const QString &program, const QString &archive);
    static int removeOldArchives();
    // Why a program handed a job failed, in the user's language, the program named.
    static QString handOffReason(const AppState &state, const QString &program, const Shell::HandOffEnd &end);

private:
    AppState &m_state;
    Host &m_host;
    std::unique_ptr<cZip> m_cZ;
};
