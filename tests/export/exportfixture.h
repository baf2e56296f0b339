#pragma once

#include "commands/dispatch.h"
#include "platform/office/protocol.h"
#include "export/exports.h"
#include "platform/office/officeworker.h"
#include "platform/textfile.h"
#include "support/pagewords.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

// An export test: a main window on pages from the loopback server, the scripted save
// dialog, and the documents read back through LibreOffice.
class ExportTest : public WindowTest
{
protected:
    void TearDown() override
    {
        WindowTest::TearDown();
        if (m_temporaryRedirected) {
            if (m_temporary.isEmpty())
                qunsetenv("TMPDIR");
            else
                qputenv("TMPDIR", m_temporary);
        }
    }
    // The program's temporary files (the workers' folders among them) go to folder/tmp,
    // where the test can see what is left.
    void temporaryFilesInTmp()
    {
        folder.mkdir(QStringLiteral("tmp"));
        m_temporary = qgetenv("TMPDIR");
        m_temporaryRedirected = true;
        qputenv("TMPDIR", folder.file(QStringLiteral("tmp")).toLocal8Bit());
    }

    void open(const char *path) { openUrl(url(path)); }
    void openUrl(const QString &address)
    {
        if (!window) {
            start();
            // The template paths are set by the start-up timer.
            ASSERT_TRUE(QTest::qWaitFor([this] { return !window->state().templateHDoc.isEmpty(); }, 5000));
        }
        WindowTest::open(address, 30000);
    }

    // Runs the export with the dialog answering target.
    void exportTo(const char *key, const QString &target)
    {
        dialogs.dialogs.files = {target};
        click(3, key);
    }

    static QString run(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
    {
        QProcess p;
        p.start(program, arguments);
        p.waitForFinished(timeoutMs);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // A document read back through LibreOffice, converted to format (with the filter's
    // options, if any).
    QString convert(const QString &path, const QString &format, const QString &target,
                    const QString &options = QString())
    {
        OfficeWorker worker(folder.file(QStringLiteral("quorl-office")), folder.file(QStringLiteral("readback")));
        EXPECT_TRUE(worker.start().ok());
        EXPECT_TRUE(worker.request({{OfficeProtocol::kOperation, OfficeProtocol::Op::load}, {OfficeProtocol::Field::path, path},
                                    {OfficeProtocol::Field::copy, true}})
                        .ok());
        QJsonObject save{{OfficeProtocol::kOperation, OfficeProtocol::Op::saveAs},
                         {OfficeProtocol::Field::path, target},
                         {OfficeProtocol::Field::format, format}};
        if (!options.isEmpty())
            save.insert(OfficeProtocol::Field::options, options);
        EXPECT_TRUE(worker.request(save).ok());
        worker.quit();
        return target;
    }
    QString textOf(const QString &path)
    {
        return TextFile::readText(convert(path, QStringLiteral("txt"), path + QStringLiteral(".txt"))).value_or(QString());
    }
    // The flat OpenDocument form (fodt, fods, fodp) of a document.
    QString flat(const QString &path, const QString &format)
    {
        return TextFile::readText(convert(path, format, path + u'.' + format)).value_or(QString());
    }
    QString pdfText(const QString &pdf)
    {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    }
    // A document as the user sees it printed.
    QString renderedText(const QString &document)
    {
        if (document.endsWith(QLatin1String(".pdf")))
            return pdfText(document);
        return pdfText(convert(document, QStringLiteral("pdf"), document + QStringLiteral(".pdf")));
    }
    QString pdfInfo(const QString &pdf) { return run(QStringLiteral("pdfinfo"), {pdf}); }
    QString pageSize(const QString &pdf)
    {
        const QString info = pdfInfo(pdf);
        const qsizetype at = info.indexOf(QStringLiteral("Page size:"));
        return at < 0 ? QString() : info.mid(at, info.indexOf(u'\n', at) - at);
    }
    bool landscape(const QString &doc)
    {
        const QString size = pageSize(convert(doc, QStringLiteral("pdf"), doc + QStringLiteral(".pdf")));
        const QStringList parts = size.section(u':', 1).trimmed().split(u' ');
        return parts.size() >= 3 && parts.at(0).toDouble() > parts.at(2).toDouble();
    }

    // The words the page shows, as the engine lays it out.
    QStringList pageWords(int tab = 0)
    {
        const auto text = window->browser(tab)->evaluate(QStringLiteral("document.body.innerText"), 20000);
        return words(text ? text->toString() : QString());
    }
    static QStringList words(const QString &text) { return PageWords::words(text); }
    static double inOrder(const QStringList &page, const QStringList &document)
    {
        return PageWords::inOrder(page, document);
    }

    // LibreOffice's own conversion of an HTML file, for comparison.
    QString peer(const QString &html, const QString &format, const QString &filter = QStringLiteral("HTML (StarWriter)"))
    {
        const QString out = folder.file(QStringLiteral("peer-out"));
        QDir().mkpath(out);
        run(QStringLiteral("soffice"), {QStringLiteral("-env:UserInstallation=file://") + folder.file(QStringLiteral("peer-profile")),
                                        QStringLiteral("--headless"), QStringLiteral("--infilter=") + filter,
                                        QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), out, html});
        return out + u'/' + QFileInfo(html).completeBaseName() + u'.' + format.section(u':', 0, 0);
    }

    // The office workers this test program started, by their process ids.
    QList<qint64> workerProcesses() const
    {
        const QString worker = QFileInfo(folder.file(QStringLiteral("quorl-office"))).canonicalFilePath();
        QList<qint64> pids;
        QDirIterator tasks(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (tasks.hasNext()) {
            QFile children(tasks.next() + QStringLiteral("/children"));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &pid : children.readAll().split(' ')) {
                const QString id = QString::fromLatin1(pid.trimmed());
                if (!id.isEmpty() && QFileInfo(QStringLiteral("/proc/") + id + QStringLiteral("/exe")).symLinkTarget() == worker)
                    pids.append(id.toLongLong());
            }
        }
        return pids;
    }

    QString lastMessage() const
    {
        return dialogs.dialogs.messages.isEmpty() ? QString() : dialogs.dialogs.messages.last().text;
    }
    const LangTable &lang() const { return window->state().lang; }

private:
    QByteArray m_temporary;
    bool m_temporaryRedirected = false;
};
