// quorl-office: the program's office worker. One worker runs per export; it drives
// LibreOffice through LibreOfficeKit and answers the main program's requests, one JSON
// object per line on standard input, one reply per line on its own channel.
//
// LibreOffice may write to standard output itself, so the replies go to a copy of the
// original standard output and fd 1 is pointed at standard error.
//
// While a request runs, the worker also says that it is alive: a "beat" line whenever
// the process has used processor time since the last one (a worker that hangs uses
// none and falls silent), and a "progress" line with LibreOffice's own progress.
#define LOK_USE_UNSTABLE_API
#include <LibreOfficeKit/LibreOfficeKit.hxx>

#include "platform/office/protocol.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>

using namespace OfficeProtocol;

namespace {

FILE *g_replies = nullptr;
std::mutex g_replyMutex;

void writeLine(const QJsonObject &object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::lock_guard<std::mutex> lock(g_replyMutex);
    fwrite(line.constData(), 1, line.size(), g_replies);
    fflush(g_replies);
}

void reply(bool ok, const QString &error = QString(), const QJsonObject &extra = QJsonObject())
{
    QJsonObject answer = extra;
    answer.insert(Answer::ok, ok);
    if (!error.isEmpty())
        answer.insert(Answer::error, error);
    writeLine(answer);
}

qint64 cpuMicroseconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// Beats while the rest of the process works. Its own processor time does not count,
// and neither does a trickle below 1 %: LibreOffice's idle timers are not work.
void beat()
{
    qint64 last = cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID);
    while (true) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const qint64 now = cpuMicroseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuMicroseconds(CLOCK_THREAD_CPUTIME_ID);
        if (now - last >= 2500)
            writeLine({{Answer::beat, static_cast<double>(now / 1000)}});
        last = now;
    }
}

void officeCallback(int type, const char *payload, void *)
{
    if (type == LOK_CALLBACK_STATUS_INDICATOR_SET_VALUE && payload)
        writeLine({{Answer::progress, QString::fromUtf8(payload).toInt()}});
}

// Results of asynchronous UNO commands arrive through the document callback.
struct CommandResults
{
    std::mutex mutex;
    std::condition_variable changed;
    int results = 0;
    bool lastSuccess = false;
};

void documentCallback(int type, const char *payload, void *data)
{
    if (type != LOK_CALLBACK_UNO_COMMAND_RESULT)
        return;
    auto *results = static_cast<CommandResults *>(data);
    std::lock_guard<std::mutex> lock(results->mutex);
    ++results->results;
    const QJsonObject result = QJsonDocument::fromJson(QByteArray(payload)).object();
    results->lastSuccess = result.value(QStringLiteral("success")).toBool();
    results->changed.notify_all();
}

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(path))).toString(QUrl::FullyEncoded);
}

// A new landscape text document: a minimal flat document with a landscape page.
const char *kLandscape = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:automatic-styles>
  <style:page-layout style:name="pm1">
   <style:page-layout-properties fo:page-width="29.7cm" fo:page-height="21cm" style:print-orientation="landscape"
    fo:margin-top="2cm" fo:margin-bottom="2cm" fo:margin-left="2cm" fo:margin-right="2cm"/>
  </style:page-layout>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1"/></office:master-styles>
 <office:body><office:text><text:p/></office:text></office:body>
</office:document>
)";

class Worker
{
public:
    void run()
    {
        std::string line;
        while (std::getline(std::cin, line)) {
            const QJsonObject request = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
            handle(request);
        }
        finish(0);
    }

private:
    [[noreturn]] void finish(int code)
    {
        // Ending LibreOffice's own way after several documents can abort with heap
        // corruption; everything it wrote has been written by now.
        fflush(nullptr);
        _exit(code);
    }

    QString lastError()
    {
        if (!m_office)
            return QStringLiteral("LibreOffice is not running");
        char *error = m_office->getError();
        const QString text = error ? QString::fromUtf8(error) : QString();
        free(error);
        return text;
    }

    bool unoCommand(const char *command, const char *arguments = nullptr, int timeoutMs = 15000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int before;
        {
            std::lock_guard<std::mutex> lock(m_results.mutex);
            before = m_results.results;
        }
        // Right after a load the document's frame may not take commands yet: the command
        // was not dispatched at all (it did nothing, and no result will come), and it is
        // sent again until it is, as a paste is.
        m_document->postUnoCommand(command, arguments, true);
        while (!lastError().isEmpty()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            m_document->postUnoCommand(command, arguments, true);
        }
        std::unique_lock<std::mutex> lock(m_results.mutex);
        return m_results.changed.wait_until(lock, until, [&] { return m_results.results > before; })
               && m_results.lastSuccess;
    }

    void handle(const QJsonObject &request)
    {
        const QString op = request.value(kOperation).toString();
        if (op == Op::init)
            return init(request);
        if (op == Op::quit) {
            reply(true);
            finish(0);
        }
        if (!m_office)
            return reply(false, QStringLiteral("LibreOffice is not running"));
        if (op == Op::load)
            return load(request);
        if (!m_document)
            return reply(false, QStringLiteral("no document is open"));
        if (op == Op::paste)
            return paste(request);
        if (op == Op::saveAs)
            return saveAs(request);
        if (op == Op::documentSize) {
            long width = 0, height = 0;
            m_document->getDocumentSize(&width, &height);
            return reply(true, QString(), {{Answer::width, static_cast<double>(width)},
                                           {Answer::height, static_cast<double>(height)}});
        }
        if (op == Op::parts)
            return reply(true, QString(), {{Answer::parts, m_document->getParts()}});
        if (op == Op::setPart) {
            m_document->setPart(request.value(Field::part).toInt());
            return reply(true, QString(), {{Answer::parts, m_document->getParts()}});
        }
        if (op == Op::uno) {
            const QByteArray command = request.value(Field::command).toString().toUtf8();
            const QByteArray args = QJsonDocument(request.value(Field::arguments).toObject())
                                        .toJson(QJsonDocument::Compact);
            const bool ok = unoCommand(command.constData(), args == "{}" ? nullptr : args.constData());
            // Some commands report failure although they acted; the caller checks parts.
            return reply(true, QString(),
                         {{Answer::success, ok}, {Answer::parts, m_document->getParts()}});
        }
        reply(false, QStringLiteral("unknown request ") + op);
    }

    void init(const QJsonObject &request)
    {
        if (m_office)
            return reply(true);
        const QByteArray install = request.value(Field::install).toString().toUtf8();
        const QByteArray profile = request.value(Field::profile).toString().toUtf8();
        m_office.reset(lok::lok_cpp_init(install.constData(), profile.isEmpty() ? nullptr : profile.constData()));
        if (!m_office)
            return reply(false, QStringLiteral("LibreOffice could not be started from ") + QString::fromUtf8(install));
        m_office->registerCallback(officeCallback, nullptr);
        reply(true);
    }

    void load(const QJsonObject &request)
    {
        m_document.reset();
        QString url;
        const QString factory = request.value(Field::factory).toString();
        if (factory == kLandscapeFactory) {
            QFile file(m_temp.filePath(QStringLiteral("landscape.fodt")));
            if (!file.open(QIODevice::WriteOnly) || file.write(kLandscape) < 0)
                return reply(false, QStringLiteral("cannot make a new document"));
            file.close();
            url = fileUrl(file.fileName());
        } else if (!factory.isEmpty()) {
            url = QStringLiteral("private:factory/") + factory;
        } else {
            QString path = request.value(Field::path).toString();
            if (!QFile::exists(path))
                return reply(false, QStringLiteral("no such file: ") + path);
            // A template is opened from a copy: neither the file nor a lock file
            // beside it is ever written.
            if (request.value(Field::copy).toBool()) {
                const QString copy = m_temp.filePath(QStringLiteral("source-") + QFileInfo(path).fileName());
                QFile::remove(copy);
                if (!QFile::copy(path, copy))
                    return reply(false, QStringLiteral("cannot read ") + path);
                path = copy;
            }
            url = fileUrl(path);
        }
        lok::Document *document = m_office->documentLoad(url.toUtf8().constData(), "Language=en-US");
        if (!document)
            return reply(false, lastError());
        m_document.reset(document);
        m_document->registerCallback(documentCallback, &m_results);
        if (request.value(Field::render).toBool())
            m_document->initializeForRendering();
        QJsonObject answer{{Answer::parts, m_document->getParts()}};
        if (request.value(Field::measure).toBool())
            answer.insert(Answer::textWidth, textWidth());
        reply(true, QString(), answer);
    }

    // A length of the document's own styles in millimetres ("2cm", "0.7874in", "72pt").
    static double millimetres(const QString &length)
    {
        static const QRegularExpression pattern(QStringLiteral("^\\s*([0-9.]+)\\s*(cm|mm|in|pt|pc)\\s*$"));
        const QRegularExpressionMatch m = pattern.match(length);
        if (!m.hasMatch())
            return 0;
        const double value = m.captured(1).toDouble();
        const QString unit = m.captured(2);
        if (unit == QLatin1String("cm"))
            return value * 10;
        if (unit == QLatin1String("in"))
            return value * 25.4;
        if (unit == QLatin1String("pt"))
            return value * 25.4 / 72;
        if (unit == QLatin1String("pc"))
            return value * 25.4 / 6;
        return value;
    }

    // The width between the margins of the document's first page, in millimetres (0
    // when it cannot be told): what a picture may take at most. The document's own flat
    // form says it whatever made the file.
    double textWidth()
    {
        const QString flat = m_temp.filePath(QStringLiteral("measure.fodt"));
        if (!m_document->saveAs(fileUrl(flat).toUtf8().constData(), "fodt", nullptr))
            return 0;
        QFile file(flat);
        const QString xml = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        file.close();
        QFile::remove(flat);
        static const QRegularExpression master(
            QStringLiteral("<style:master-page [^>]*style:page-layout-name=\"([^\"]+)\""));
        const QString layoutName = master.match(xml).captured(1);
        if (layoutName.isEmpty())
            return 0;
        const qsizetype layout = xml.indexOf(QStringLiteral("<style:page-layout style:name=\"") + layoutName + u'"');
        const qsizetype properties = layout < 0 ? -1 : xml.indexOf(QStringLiteral("<style:page-layout-properties"), layout);
        if (properties < 0)
            return 0;
        const QString tag = xml.mid(properties, xml.indexOf(u'>', properties) - properties);
        auto attribute = [&tag](const char *name) {
            const QRegularExpression value(QString::fromLatin1(name) + QStringLiteral("=\"([^\"]*)\""));
            return millimetres(value.match(tag).captured(1));
        };
        const double width = attribute("fo:page-width") - attribute("fo:margin-left") - attribute("fo:margin-right");
        return width > 0 ? width : 0;
    }

    void paste(const QJsonObject &request)
    {
        QFile file(request.value(Field::file).toString());
        if (!file.open(QIODevice::ReadOnly))
            return reply(false, QStringLiteral("cannot read ") + file.fileName());
        const QByteArray data = file.readAll();
        const QByteArray mime = request.value(Field::mime).toString().toUtf8();
        if (request.value(Field::replace).toBool() && !unoCommand(".uno:SelectAll"))
            return reply(false, QStringLiteral("the document's content could not be selected"));
        if (data.isEmpty()) {
            // Nothing to paste: a replaced content is simply emptied.
            if (request.value(Field::replace).toBool())
                unoCommand(".uno:Delete");
            return reply(true);
        }
        // Right after a load the paste may not be dispatched yet: it is tried again for
        // a while.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!m_document->paste(mime.constData(), data.constData(), data.size())) {
            if (std::chrono::steady_clock::now() > until)
                return reply(false, QStringLiteral("the paste failed: ") + lastError());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        reply(true);
    }

    void saveAs(const QJsonObject &request)
    {
        const QString path = request.value(Field::path).toString();
        const QByteArray format = request.value(Field::format).toString().toUtf8();
        const QByteArray options = request.value(Field::options).toString().toUtf8();
        const bool ok = m_document->saveAs(fileUrl(path).toUtf8().constData(), format.constData(),
                                           options.isEmpty() ? nullptr : options.constData());
        if (!ok || !QFile::exists(path))
            return reply(false, QStringLiteral("the document could not be saved: ") + lastError());
        reply(true);
    }

    std::unique_ptr<lok::Office> m_office;
    std::unique_ptr<lok::Document> m_document;
    CommandResults m_results;
    QTemporaryDir m_temp;
};

} // namespace

int main()
{
    // What LibreOffice writes here (its profile, with the documents it opened, and the
    // documents before the program moves them into place) is the user's alone.
    umask(077);
    const int replies = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    g_replies = fdopen(replies, "w");
    if (!g_replies)
        return 2;
    std::thread(beat).detach();
    Worker worker;
    worker.run();
}
