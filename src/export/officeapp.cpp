#include "officeapp.h"

#include "settings/appstate.h"
#include "platform/filespace.h"
#include "platform/office/officespare.h"
#include "platform/office/protocol.h"
#include "platform/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QJsonDocument>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace OfficeProtocol;

namespace {

QString extension(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

QJsonObject typed(const char *type, const QString &value)
{
    return QJsonObject{{QStringLiteral("type"), QString::fromLatin1(type)}, {QStringLiteral("value"), value}};
}

// The width of a text document's text, measured the first time the document is opened:
// measuring makes LibreOffice write the whole document once more, which is a good part
// of opening it. A file is measured again once it has changed; a new landscape document
// (a file of no path) is always the same.
using FileStamp = OfficeApp::FileStamp;

struct TextWidth
{
    FileStamp stamp;
    double millimetres = 0;
};

QHash<QString, TextWidth> &knownTextWidths()
{
    static QHash<QString, TextWidth> widths;
    return widths;
}

std::optional<double> knownTextWidth(const QString &key, const FileStamp &stamp)
{
    const auto known = knownTextWidths().constFind(key);
    if (known == knownTextWidths().constEnd() || !(known->stamp == stamp))
        return std::nullopt;
    return known->millimetres;
}

void rememberTextWidth(const QString &key, const FileStamp &stamp, double millimetres)
{
    if (millimetres > 0)
        knownTextWidths().insert(key, {stamp, millimetres});
}

QString textWidthKey(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

OfficeApp::FileStamp OfficeApp::stampOf(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo file(path);
    return {file.size(), file.lastModified()};
}

OfficeApp::OfficeApp(const AppState &state, OfficeSpare *spare)
    : m_state(state)
    , m_spare(spare)
    , m_worker(workerPath(state), profileFolder(state))
{
}

OfficeApp::~OfficeApp()
{
    quit();
}

QString OfficeApp::workerPath(const AppState &state)
{
    return state.paths.executable(QStringLiteral("quorl-office"));
}

QString OfficeApp::profileFolder(const AppState &state)
{
    return state.officeProfile.isEmpty() ? state.paths.file(QStringLiteral("Data/Office")) : state.officeProfile;
}

QString OfficeApp::writeFailure(const AppState &state, const QString &path, qint64 bytes)
{
    return writeFailure(state, path, FileSpace::diagnose(path, bytes));
}

QString OfficeApp::writeFailure(const AppState &state, const QString &path, FileSpace::Problem problem)
{
    switch (problem) {
    case FileSpace::Problem::IsFolder:
        return state.text(253, QStringLiteral("This is a folder, not a file:")) + u'\n' + path;
    case FileSpace::Problem::ReadOnly:
        return state.text(252, QStringLiteral("This folder cannot be written to:")) + u'\n' + path;
    case FileSpace::Problem::DiskFull:
        return state.text(251, QStringLiteral("The disk is full; this file could not be written:")) + u'\n' + path;
    default:
        return state.text(219, QStringLiteral("This file could not be written:")) + u'\n' + path;
    }
}

bool OfficeApp::check(const OfficeWorker::Reply &reply, const QString &step)
{
    if (reply.ok())
        return true;
    QString text;
    switch (reply.failure) {
    case OfficeWorker::Failure::Cancelled:
        m_failure.clear();
        m_worker.quit();
        return false;
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
    // LibreOffice's own words only as the detail below ours.
    m_failure = text + u'\n' + m_state.text(223, QStringLiteral("The document was not saved."));
    if (!reply.error.isEmpty())
        m_failure += QStringLiteral("\n\n") + reply.error;
    m_worker.quit();
    return false;
}

void OfficeApp::launch(const QList<QJsonObject> &ahead)
{
    // The files opened ahead as they are now: the worker copies them at once, and the
    // width it measures is that copy's.
    for (const QJsonObject &request : ahead) {
        const QString path = request.value(Field::path).toString();
        if (request.value(kOperation).toString() == Op::load && !path.isEmpty())
            m_openedAhead.append({request, stampOf(path)});
    }
    if (m_spare && !m_launched)
        m_spare->exportBegins(m_worker, ahead);
    else
        m_worker.launch(ahead);
    m_launched = true;
}

QJsonObject OfficeApp::openRequest(const QString &path)
{
    // A text document says how wide its text is, for the pictures put into it.
    static const QStringList text = {QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("odt"),
                                     QStringLiteral("fodt"), QStringLiteral("rtf"), QStringLiteral("dot"),
                                     QStringLiteral("dotx"), QStringLiteral("ott")};
    return {{kOperation, Op::load},
            {Field::path, path},
            {Field::copy, true},
            {Field::measure, text.contains(extension(path)) && !knownTextWidth(textWidthKey(path), stampOf(path))}};
}

QJsonObject OfficeApp::newDocumentRequest(const QString &factory)
{
    // Presentations are drawn on before anything can be pasted onto them.
    return {{kOperation, Op::load},
            {Field::factory, factory},
            {Field::render, factory == QLatin1String("simpress")},
            {Field::measure, factory == kLandscapeFactory && !knownTextWidth(factory, {})}};
}

QJsonObject OfficeApp::unoRequest(const QString &command, const QJsonObject &arguments)
{
    return {{kOperation, Op::uno},
            {Field::command, command},
            {Field::arguments, arguments}};
}

bool OfficeApp::create()
{
    if (!m_launched)
        launch({});
    return check(m_worker.start(), QStringLiteral("start"));
}

bool OfficeApp::open(const QString &path)
{
    const QString key = textWidthKey(path);
    // The file as the worker copied it: as it was when the request went ahead, when
    // that request is the one answered; else as it is now. A change made since has it
    // measured again next time.
    const QJsonObject request = openRequest(path);
    FileStamp stamp = stampOf(path);
    for (const OpenedAhead &ahead : std::as_const(m_openedAhead)) {
        if (ahead.request == request)
            stamp = ahead.stamp;
    }
    const std::optional<double> known = knownTextWidth(key, stamp);
    const OfficeWorker::Reply reply = m_worker.request(request);
    m_textWidth = known ? *known : reply.data.value(Answer::textWidth).toDouble();
    if (!known && reply.ok())
        rememberTextWidth(key, stamp, m_textWidth);
    return check(reply, QStringLiteral("open ") + path);
}

bool OfficeApp::newDocument(const QString &factory)
{
    const std::optional<double> known = knownTextWidth(factory, {});
    const OfficeWorker::Reply reply = m_worker.request(newDocumentRequest(factory));
    m_textWidth = known ? *known : reply.data.value(Answer::textWidth).toDouble();
    if (!known && reply.ok() && factory == kLandscapeFactory)
        rememberTextWidth(factory, {}, m_textWidth);
    return check(reply, QStringLiteral("new document"));
}

int OfficeApp::textWidthPixels() const
{
    // The engine's pixels: 96 to the inch.
    return static_cast<int>(std::floor(m_textWidth / 25.4 * 96));
}

bool OfficeApp::pasteFile(const QString &mime, const QByteArray &data, bool replaceAll)
{
    const QString file = m_worker.privateFolder() + QStringLiteral("/paste");
    QString error;
    if (!TextFile::writeBytes(file, data, &error)) {
        m_failure = writeFailure(m_state, file, data.size());
        m_worker.quit();
        return false;
    }
    const bool pasted = check(m_worker.request({{kOperation, Op::paste},
                                                {Field::mime, mime},
                                                {Field::file, file},
                                                {Field::replace, replaceAll}}),
                              Op::paste);
    QFile::remove(file);
    return pasted;
}

bool OfficeApp::pasteHtml(const QByteArray &document, bool replaceAll)
{
    // Pasted over the whole content, the page's first paragraph would join the
    // document's own and take its style and direction (a heading or a right-to-left line
    // lost). A zero-width paragraph goes first to take that place and is removed after.
    // A table first (a right-to-left one in its division) joins nothing.
    QByteArray html = document;
    bool marked = false;
    if (replaceAll) {
        const qsizetype body = html.indexOf("<body");
        const qsizetype end = body < 0 ? -1 : html.indexOf('>', body);
        QByteArray first = html.mid(end + 1, 64).trimmed();
        if (first.startsWith("<div align=\"right\">"))
            first = first.mid(19).trimmed();
        if (end > 0 && !first.startsWith("<table")) {
            html.insert(end + 1, "<p>&#8203;</p>");
            marked = true;
        }
    }
    if (!pasteFile(QStringLiteral("text/html"), html, replaceAll))
        return false;
    return !marked
           || (uno(QStringLiteral(".uno:GoToStartOfDoc"), {}) && uno(QStringLiteral(".uno:Delete"), {})
               && uno(QStringLiteral(".uno:Delete"), {}));
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
    // A line feed alone is a paragraph break: CR LF would make two.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lines.endsWith(u'\n'))
        lines.chop(1);
    return pasteFile(QStringLiteral("text/plain;charset=utf-8"), lines.toUtf8(), true);
}

bool OfficeApp::fitPictureToSlide(const QSize &picture)
{
    const OfficeWorker::Reply size = m_worker.request({{kOperation, Op::documentSize}});
    if (!check(size, QStringLiteral("slide size")))
        return false;
    const double slideWidth = size.data.value(Answer::width).toDouble();
    const double slideHeight = size.data.value(Answer::height).toDouble();
    if (slideWidth <= 0 || slideHeight <= 0 || picture.isEmpty())
        return true; // nothing to fit to: the picture stays where the paste put it
    const double scale = std::min(slideWidth / picture.width(), slideHeight / picture.height());
    const long width = std::lround(picture.width() * scale);
    const long height = std::lround(picture.height() * scale);
    // Position and size in twips, as the document reports its size.
    const QJsonObject arguments{
        {QStringLiteral("TransformPosX"), typed("long", QString::number(std::lround((slideWidth - width) / 2)))},
        {QStringLiteral("TransformPosY"), typed("long", QString::number(std::lround((slideHeight - height) / 2)))},
        {QStringLiteral("TransformWidth"), typed("long", QString::number(width))},
        {QStringLiteral("TransformHeight"), typed("long", QString::number(height))}};
    return uno(QStringLiteral(".uno:TransformDialog"), arguments);
}

bool OfficeApp::setProperties(const QString &title, const QString &address, const QDateTime &exported)
{
    const QString date = exported.toString(Qt::ISODate);
    const QJsonObject arguments{
        {QStringLiteral("Properties.Title"), typed("string", title)},
        {QStringLiteral("Properties.Subject"), typed("string", address)},
        {QStringLiteral("Properties.Description"), typed("string", address + u'\n' + date)},
        {QStringLiteral("Properties.KeyWords"), typed("string", date)}};
    return uno(QStringLiteral(".uno:SetDocumentProperties"), arguments);
}

bool OfficeApp::saveAs(const QString &path, const QString &format, const QString &options)
{
    const QString folder = m_worker.privateFolder() + QStringLiteral("/out");
    QDir().mkpath(folder);
    const QString saved = folder + u'/' + QFileInfo(path).fileName();
    QJsonObject request{{kOperation, Op::saveAs},
                        {Field::path, saved},
                        {Field::format, format}};
    if (!options.isEmpty())
        request.insert(Field::options, options);
    const OfficeWorker::Reply reply = m_worker.request(request);
    if (!reply.ok() && reply.failure == OfficeWorker::Failure::Refused
        && FileSpace::diagnose(saved, 1 << 20) == FileSpace::Problem::DiskFull) {
        m_failure = writeFailure(m_state, saved, 1 << 20);
        m_worker.quit();
        return false;
    }
    if (!check(reply, QStringLiteral("save ") + path))
        return false;
    QFile file(saved);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    QFile::remove(saved);
    if (bytes.isEmpty() || FileSpace::write(path, bytes) != FileSpace::Problem::None) {
        m_failure = writeFailure(m_state, path, bytes.size());
        m_worker.quit();
        return false;
    }
    return true;
}

bool OfficeApp::uno(const QString &command, const QJsonObject &arguments, QJsonObject *result)
{
    const OfficeWorker::Reply reply = m_worker.request(unoRequest(command, arguments));
    if (result)
        *result = reply.data;
    return check(reply, command);
}

int OfficeApp::parts()
{
    const OfficeWorker::Reply reply = m_worker.request({{kOperation, Op::parts}});
    return check(reply, Op::parts) ? reply.data.value(Answer::parts).toInt() : -1;
}

bool OfficeApp::setPart(int part)
{
    return check(m_worker.request({{kOperation, Op::setPart}, {Field::part, part}}),
                 QStringLiteral("select part"));
}

void OfficeApp::quit()
{
    // A worker taken from the spare goes back to it, which ends it in the background or,
    // in a batch of exports, keeps the worker of one that ended well for the next.
    if (m_spare && m_launched && !m_handedBack) {
        m_handedBack = true;
        m_spare->exportEnded(m_worker, m_failure.isEmpty() && !m_worker.cancelled());
        return;
    }
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
    // document, print quality, document properties kept, no bookmarks, plain PDF (no
    // PDF/A), not opened afterwards.
    auto boolean = [](bool v) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("boolean")},
                           {QStringLiteral("value"), v ? QStringLiteral("true") : QStringLiteral("false")}};
    };
    auto number = [](int v) {
        return QJsonObject{{QStringLiteral("type"), QStringLiteral("long")},
                           {QStringLiteral("value"), QString::number(v)}};
    };
    const QJsonObject options{
        // Structure tags, for screen readers (DocStructureTags).
        {QStringLiteral("UseTaggedPDF"), boolean(true)},
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
