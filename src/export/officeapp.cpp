#include "officeapp.h"

#include "app/appstate.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QMimeData>
#include <QRegularExpression>

namespace {

// Time limits of the worker's steps: LibreOffice's start includes making its profile
// the first time; a paste may fetch a page's pictures.
constexpr int kStartMs = 90000;
constexpr int kStepMs = 60000;

QString extension(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

} // namespace

OfficeApp::OfficeApp(const AppState &state)
    : m_state(state)
    , m_worker(state.paths.file(QStringLiteral("quorl-office")), state.paths.file(QStringLiteral("Data/Office")))
{
}

OfficeApp::~OfficeApp()
{
    m_worker.quit();
}

bool OfficeApp::check(const OfficeWorker::Reply &reply, const QString &step)
{
    if (reply.ok())
        return true;
    QString text;
    switch (reply.failure) {
    case OfficeWorker::Failure::Missing:
    case OfficeWorker::Failure::NoStart:
        text = m_state.text(220, QStringLiteral("The office application could not be started."));
        break;
    case OfficeWorker::Failure::Crashed:
    case OfficeWorker::Failure::Timeout:
        text = m_state.text(221, QStringLiteral("The office application stopped answering."));
        break;
    default:
        text = m_state.text(222, QStringLiteral("The office application failed at this step:")) + u' ' + step;
        break;
    }
    m_failure = text + u'\n' + reply.error + u'\n'
                + m_state.text(223, QStringLiteral("The document was not saved."));
    m_worker.quit();
    return false;
}

bool OfficeApp::create()
{
    if (!m_temp.isValid()) {
        m_failure = m_state.text(220, QStringLiteral("The office application could not be started."));
        return false;
    }
    return check(m_worker.start(kStartMs), QStringLiteral("start"));
}

bool OfficeApp::open(const QString &path)
{
    return check(m_worker.request({{QStringLiteral("op"), QStringLiteral("load")},
                                   {QStringLiteral("path"), path},
                                   {QStringLiteral("copy"), true}},
                                  kStepMs),
                 QStringLiteral("open ") + path);
}

bool OfficeApp::newDocument(const QString &factory)
{
    // Presentations are drawn on before anything can be pasted onto them.
    return check(m_worker.request({{QStringLiteral("op"), QStringLiteral("load")},
                                   {QStringLiteral("factory"), factory},
                                   {QStringLiteral("render"), factory == QLatin1String("simpress")}},
                                  kStepMs),
                 QStringLiteral("new document"));
}

bool OfficeApp::pasteFile(const QString &mime, const QByteArray &data, bool replaceAll)
{
    const QString file = m_temp.filePath(QStringLiteral("clipboard"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size()) {
        m_failure = m_state.text(219, QStringLiteral("This file could not be written:")) + u'\n' + file;
        m_worker.quit();
        return false;
    }
    out.close();
    return check(m_worker.request({{QStringLiteral("op"), QStringLiteral("paste")},
                                   {QStringLiteral("mime"), mime},
                                   {QStringLiteral("file"), file},
                                   {QStringLiteral("replace"), replaceAll}},
                                  kStepMs),
                 QStringLiteral("paste"));
}

bool OfficeApp::pasteClipboard(bool replaceAll, bool withPictures)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasHtml()) {
        QString page = data->html();
        // A spreadsheet keeps no pictures: leaving them out spares fetching them.
        if (!withPictures)
            page.remove(QRegularExpression(QStringLiteral("<img\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption));
        // The page's own text as UTF-8, said so, whatever the page declared.
        const QByteArray html = QByteArrayLiteral("<html><head><meta charset=\"utf-8\"></head><body>")
                                + page.toUtf8() + QByteArrayLiteral("</body></html>");
        return pasteFile(QStringLiteral("text/html"), html, replaceAll);
    }
    if (data && data->hasText())
        return pasteFile(QStringLiteral("text/plain;charset=utf-8"), data->text().toUtf8(), replaceAll);
    if (data && data->hasImage())
        return pasteImage(qvariant_cast<QImage>(data->imageData()));
    m_failure = m_state.text(120, QStringLiteral("There is nothing on this page to export."));
    m_worker.quit();
    return false;
}

bool OfficeApp::pasteImage(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        m_failure = m_state.text(120, QStringLiteral("There is nothing on this page to export."));
        m_worker.quit();
        return false;
    }
    return pasteFile(QStringLiteral("image/png"), png, false);
}

bool OfficeApp::setText(const QString &text)
{
    return pasteFile(QStringLiteral("text/plain;charset=utf-8"), text.toUtf8(), true);
}

bool OfficeApp::uno(const QString &command, const QJsonObject &arguments, QJsonObject *result)
{
    const OfficeWorker::Reply reply = m_worker.request({{QStringLiteral("op"), QStringLiteral("uno")},
                                                        {QStringLiteral("command"), command},
                                                        {QStringLiteral("arguments"), arguments}},
                                                       kStepMs);
    if (result)
        *result = reply.data;
    return check(reply, command);
}

int OfficeApp::parts()
{
    const OfficeWorker::Reply reply = m_worker.request({{QStringLiteral("op"), QStringLiteral("parts")}}, kStepMs);
    return check(reply, QStringLiteral("parts")) ? reply.data.value(QStringLiteral("parts")).toInt() : -1;
}

bool OfficeApp::setPart(int part)
{
    return check(m_worker.request({{QStringLiteral("op"), QStringLiteral("setPart")},
                                   {QStringLiteral("part"), part}},
                                  kStepMs),
                 QStringLiteral("select part"));
}

bool OfficeApp::saveAs(const QString &path, const QString &format, const QString &options)
{
    const QFileInfo target(path);
    const QString partial = target.absolutePath() + QStringLiteral("/.") + target.fileName()
                            + QStringLiteral(".partial");
    QFile::remove(partial);
    QJsonObject request{{QStringLiteral("op"), QStringLiteral("saveAs")},
                        {QStringLiteral("path"), partial},
                        {QStringLiteral("format"), format}};
    if (!options.isEmpty())
        request.insert(QStringLiteral("options"), options);
    if (!check(m_worker.request(request, kStepMs), QStringLiteral("save ") + path)) {
        QFile::remove(partial);
        return false;
    }
    if ((QFile::exists(path) && !QFile::remove(path)) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        m_failure = m_state.text(219, QStringLiteral("This file could not be written:")) + u'\n' + path;
        m_worker.quit();
        return false;
    }
    return true;
}

void OfficeApp::quit()
{
    m_worker.quit();
}

QString OfficeApp::writerFormat(const QString &path)
{
    const QString ext = extension(path);
    if (ext == QLatin1String("docx") || ext == QLatin1String("odt") || ext == QLatin1String("rtf"))
        return ext;
    return QStringLiteral("doc");
}

QString OfficeApp::calcFormat(const QString &path)
{
    const QString ext = extension(path);
    if (ext == QLatin1String("xlsx") || ext == QLatin1String("ods") || ext == QLatin1String("csv"))
        return ext;
    return QStringLiteral("xls");
}

QString OfficeApp::impressFormat(const QString &path)
{
    const QString ext = extension(path);
    if (ext == QLatin1String("pptx") || ext == QLatin1String("odp"))
        return ext;
    return QStringLiteral("ppt");
}

QString OfficeApp::pdfOptions()
{
    // The word processor's fixed-format export as the PDF export asks for it: whole
    // document, print quality, document properties kept, structure tags on, no
    // bookmarks, plain PDF (no PDF/A), not opened afterwards.
    auto boolean = [](bool v) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("boolean")},
                           {QStringLiteral("value"), v ? QStringLiteral("true") : QStringLiteral("false")}};
    };
    auto number = [](int v) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("long")},
                           {QStringLiteral("value"), QString::number(v)}};
    };
    const QJsonObject options{
        {QStringLiteral("UseTaggedPDF"), boolean(true)},          // DocStructureTags
        {QStringLiteral("ExportBookmarks"), boolean(false)},      // CreateBookmarks 0
        {QStringLiteral("SelectPdfVersion"), number(0)},          // UseISO19005_1 False
        {QStringLiteral("ViewPDFAfterExport"), boolean(false)},   // OpenAfterExport False
        {QStringLiteral("ReduceImageResolution"), boolean(false)}, // OptimizeFor print
        {QStringLiteral("Quality"), number(90)},
        {QStringLiteral("ExportNotes"), boolean(false)},          // Item: content only
        {QStringLiteral("EmbedStandardFonts"), boolean(true)},    // BitmapMissingFonts
    };
    return QString::fromUtf8(QJsonDocument(options).toJson(QJsonDocument::Compact));
}
