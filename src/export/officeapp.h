#pragma once

#include "platform/office/officeworker.h"

#include <QString>
#include <QTemporaryDir>

struct AppState;

// The office application of one export, as the exports use it: create it, open a
// document or make a new one, paste what the clipboard holds, set the text, save, quit.
// Every step reports failure; failureMessage() then says in the user's language what
// went wrong, and the worker is gone.
class OfficeApp
{
public:
    explicit OfficeApp(const AppState &state);
    ~OfficeApp();
    OfficeApp(const OfficeApp &) = delete;
    OfficeApp &operator=(const OfficeApp &) = delete;

    bool create();
    // Opens a file from a copy, so the file itself is never written.
    bool open(const QString &path);
    // "swriter", "scalc", "simpress", or "landscape" for a new landscape text document.
    bool newDocument(const QString &factory);
    // The clipboard's content: HTML when there is HTML, else plain text, else a picture.
    // replaceAll pastes over the whole content.
    bool pasteClipboard(bool replaceAll, bool withPictures = true);
    bool pasteImage(const QImage &image);
    bool setText(const QString &text);
    // Written beside the target first and renamed over it once complete, so no
    // half-written file is ever left at the path.
    bool saveAs(const QString &path, const QString &format, const QString &options = QString());
    bool uno(const QString &command, const QJsonObject &arguments, QJsonObject *result = nullptr);
    int parts();
    bool setPart(int part);
    void quit();

    QString failureMessage() const { return m_failure; }
    OfficeWorker &worker() { return m_worker; }

    // The writer's format for a chosen file's extension (.doc when it names none).
    static QString writerFormat(const QString &path);
    static QString calcFormat(const QString &path);
    static QString impressFormat(const QString &path);
    // The PDF export options of the exports, as LibreOffice's filter takes them.
    static QString pdfOptions();

private:
    bool check(const OfficeWorker::Reply &reply, const QString &step);
    bool pasteFile(const QString &mime, const QByteArray &data, bool replaceAll);

    const AppState &m_state;
    OfficeWorker m_worker;
    QTemporaryDir m_temp;
    QString m_failure;
};
