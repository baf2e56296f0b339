#pragma once

#include "platform/filespace.h"
#include "platform/office/officeworker.h"

#include <QDateTime>
#include <QString>

class OfficeSpare;
class QImage;
struct AppState;

// The office application of one export, as the exports use it: create it, open a
// document or make a new one, put the page in, save, quit. Every step reports
// failure; failureMessage() then says in the user's language what went wrong (empty
// when the user cancelled), and the worker is gone.
class OfficeApp
{
public:
    // spare: the worker started ahead, taken over when there is one.
    explicit OfficeApp(const AppState &state, OfficeSpare *spare = nullptr);
    ~OfficeApp();
    OfficeApp(const OfficeApp &) = delete;
    OfficeApp &operator=(const OfficeApp &) = delete;

    // Starts the office application with the export's first requests sent ahead (the
    // document to open or make), so that it starts while the page is taken and the user
    // picks a file. create(), open() and the rest then take their answers.
    void launch(const QList<QJsonObject> &ahead);
    static QJsonObject openRequest(const QString &path);
    static QJsonObject newDocumentRequest(const QString &factory);
    static QJsonObject unoRequest(const QString &command, const QJsonObject &arguments);

    bool create();
    // Opens a file from a copy, so the file itself is never written.
    bool open(const QString &path);
    // "swriter", "scalc", "simpress", or "landscape" for a new landscape text document.
    bool newDocument(const QString &factory);
    // The width between the margins of the text document last opened or made, in the
    // page's pixels; 0 when it is not known.
    int textWidthPixels() const;
    // A whole HTML document (the clean capture); replaceAll pastes over the whole content
    // of a text document, its first paragraph keeping its own style and direction.
    bool pasteHtml(const QByteArray &document, bool replaceAll);
    bool pasteImage(const QImage &image);
    // The document's text replaced: one paragraph per line.
    bool setText(const QString &text);
    // The pasted picture (still selected) made to fill the slide, whole, centred,
    // its aspect kept.
    bool fitPictureToSlide(const QSize &picture);
    // The document's properties: the page's title, its address and the export's date.
    bool setProperties(const QString &title, const QString &address, const QDateTime &exported);
    // Saved in the worker's private folder, then written to path in one piece, so no
    // half-written file, lock file or partial file is ever left beside it and an old
    // file at path is replaced only by a complete new one.
    bool saveAs(const QString &path, const QString &format, const QString &options = QString());
    bool uno(const QString &command, const QJsonObject &arguments, QJsonObject *result = nullptr);
    int parts();
    bool setPart(int part);
    // "Quit": the worker ends (in the background when it came from the spare, whose
    // next one starts once it has ended). Nothing is asked of the worker after it.
    void quit();
    // The export ended before it needed the office application: ended at once.
    void abandon() { m_worker.abandon(); }

    QString failureMessage() const { return m_failure; }
    bool cancelled() const { return m_worker.cancelled(); }
    OfficeWorker &worker() { return m_worker; }

    // The worker executable, beside the program's, and LibreOffice's profile of the
    // program's own: in the program folder unless the state names another.
    static QString workerPath(const AppState &state);
    static QString profileFolder(const AppState &state);

    // Why a file could not be written at path, in the user's language, the path named.
    static QString writeFailure(const AppState &state, const QString &path, qint64 bytes);
    static QString writeFailure(const AppState &state, const QString &path, FileSpace::Problem problem);

    // The writer's format for a chosen file's extension (.doc when it names none).
    static QString writerFormat(const QString &path);
    static QString calcFormat(const QString &path);
    static QString impressFormat(const QString &path);
    // The PDF export options of the exports, as LibreOffice's filter takes them.
    static QString pdfOptions();

    // A file as it was at one moment (its size and last change), to tell whether it
    // has changed since; a path that names no file has none.
    struct FileStamp
    {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp &) const = default;
    };
    static FileStamp stampOf(const QString &path);

private:
    bool check(const OfficeWorker::Reply &reply, const QString &step);
    bool pasteFile(const QString &mime, const QByteArray &data, bool replaceAll);

    const AppState &m_state;
    OfficeSpare *m_spare = nullptr;
    struct OpenedAhead
    {
        QJsonObject request;
        FileStamp stamp;
    };
    QList<OpenedAhead> m_openedAhead;
    bool m_launched = false;
    bool m_handedBack = false;
    double m_textWidth = 0; // millimetres
    OfficeWorker m_worker;
    QString m_failure;
};
