// Times the exports from the command to the file being complete (the save dialog
// answered at once), with the size of what they write, beside LibreOffice's own warm
// conversion of the same HTML file in the same run (soffice --convert-to with the
// matching filter and a profile of its own, already made): "SAVE:WORDH", "SAVE:WORDV",
// "SAVE:PDF" and "SAVE:EXCEL", medians of 5, on the reference article, on a long
// documentation page (a floated main column, long tables), on a ledger of 2,000 rows
// and on any HTML files named after the number of runs (real pages: each served with
// the folder above its own, LibreOffice converting the file itself). The PDF is tagged;
// its size is given beside LibreOffice's own untagged PDF and beside LibreOffice's PDF
// with the same settings, with the words of the page each keeps and the pictures each
// shows. The program is left idle between two commands, as a user's is, so the next
// export's worker has started ahead.
// "SAVE:PPT" and "EDIT:PICTURE" are timed on the article. Then LibreOffice's import
// step alone: the page as the engine's own copy gives it (inline styles) beside the
// clean capture the exports hand over, pasted into the same documents.
#include "app/application.h"
#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "commands/dispatch.h"
#include "export/exports.h"
#include "export/exporttimings.h"
#include "export/officeapp.h"
#include "platform/office/officespare.h"
#include "platform/office/officeworker.h"
#include "platform/office/protocol.h"
#include "platform/webbrowser.h"
#include "support/docpage.h"
#include "support/engineenv.h"
#include "support/httpserver.h"
#include "support/pagewords.h"
#include "support/programfolder.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QHash>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QByteArray figure(int n)
{
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(n * 40 % 360, 120, 230));
    QPainter p(&image);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Figure %1").arg(n));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Measured
{
    QList<double> times;
    QList<qint64> sizes;
    QMap<QString, QList<double>> steps;
    double words = -1;
    int pictures = 0;
    double kept = -1;
};

// The share of the page's words the document has anywhere, each as often as the page
// has it: what a reader finds, whatever order a table's columns come out in.
double kept(const QStringList &page, const QStringList &document)
{
    QHash<QString, int> have;
    for (const QString &w : document)
        ++have[w];
    int found = 0;
    for (const QString &w : page) {
        int &n = have[w];
        if (n > 0) {
            --n;
            ++found;
        }
    }
    return page.isEmpty() ? 1.0 : static_cast<double>(found) / page.size();
}

// The pictures of a PDF.
int pdfPictures(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    p.waitForFinished(120000);
    static const QRegularExpression line(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+image\\s"), QRegularExpression::MultilineOption);
    return static_cast<int>(QString::fromUtf8(p.readAllStandardOutput()).count(line));
}

// LibreOffice's own conversion of the page's HTML file: its time and the file.
struct Peer
{
    QString folder;  // holds the page and its pictures
    QString profile;
    QString page = QStringLiteral("page.html");
    QString out;     // where the conversions go
    double run(const QString &format, const QString &filter, qint64 *size)
    {
        QElapsedTimer clock;
        clock.start();
        QProcess soffice;
        soffice.setWorkingDirectory(folder);
        soffice.start(QStringLiteral("soffice"),
                      {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                       QStringLiteral("--infilter=") + filter, QStringLiteral("--convert-to"), format,
                       QStringLiteral("--outdir"), out, folder + u'/' + page});
        soffice.waitForFinished(600000);
        const double seconds = clock.elapsed() / 1000.0;
        if (size)
            *size = QFileInfo(output(format.section(u':', 0, 0))).size();
        return seconds;
    }
    QString output(const QString &extension) const
    {
        return out + u'/' + QFileInfo(page).completeBaseName() + u'.' + extension;
    }
};

// The resident memory of a process, in MiB.
double residentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// LibreOffice's import of one HTML document alone, pasted into a document made as
// the export makes it; milliseconds, from a worker already started.
double importAlone(const QString &workerPath, const QString &profile, const QJsonObject &document,
                   const QString &htmlFile, bool replace)
{
    OfficeWorker worker(workerPath, profile);
    if (!worker.start().ok() || !worker.request(document).ok())
        return -1;
    QElapsedTimer clock;
    clock.start();
    const bool pasted = worker
                            .request({{OfficeProtocol::kOperation, OfficeProtocol::Op::paste},
                                      {OfficeProtocol::Field::mime, QStringLiteral("text/html")},
                                      {OfficeProtocol::Field::file, htmlFile},
                                      {OfficeProtocol::Field::replace, replace}})
                            .ok();
    const double ms = static_cast<double>(clock.elapsed());
    worker.quit();
    return pasted ? ms : -1;
}

void printSteps(const Measured &m)
{
    printf("    where our time goes (median):");
    for (auto it = m.steps.cbegin(); it != m.steps.cend(); ++it)
        printf(" %s %.3f s;", qPrintable(it.key()), median(it.value()));
    printf("\n");
}

// goal: the largest ratio to the peer's time that meets the goal (0 for none).
void compare(const char *name, const Measured &ours, const QList<double> &peerTimes, const QList<qint64> &peerSizes,
             const char *peerName, double goal = 0)
{
    const double t = median(ours.times), pt = median(peerTimes);
    QList<double> sizes, psizes;
    for (qint64 s : ours.sizes)
        sizes.append(static_cast<double>(s));
    for (qint64 s : peerSizes)
        psizes.append(static_cast<double>(s));
    const double sz = median(sizes), psz = median(psizes);
    printf("  %-11s ours %7.3f s %10.0f bytes | %s %7.3f s %10.0f bytes | time %.2f x, size %.2f x", name, t, sz,
           peerName, pt, psz, t / pt, psz > 0 ? sz / psz : 0.0);
    if (goal > 0)
        printf("  (goal <= %.2f x: %s)", goal, t / pt <= goal ? "met" : "MISSED");
    printf("\n    ours, each run:");
    for (double v : ours.times)
        printf(" %.3f", v);
    printf(" s; the peer's:");
    for (double v : peerTimes)
        printf(" %.3f", v);
    printf(" s\n");
    if (!ours.steps.isEmpty())
        printSteps(ours);
}

} // namespace

int main(int argc, char **argv)
{
    prepareEngineForTests();
    Application::prepare();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    QFile articleFile(QStringLiteral(QUORL_BENCH_DIR "/pages/article.html"));
    if (!articleFile.open(QIODevice::ReadOnly))
        return 1;
    struct Page
    {
        QString name;
        QByteArray html;
        QString file; // a page on disk, served with the folder above its own
    };
    HttpServer server;
    QList<Page> pages = {{QStringLiteral("reference article (bench/pages/article.html)"), articleFile.readAll(), {}},
                         {QStringLiteral("long documentation page (generated)"), longDocumentationPage(40, 2000), {}},
                         {QStringLiteral("ledger of 2,000 rows (generated)"), ledgerPage(2000, server.url(QStringLiteral("/item/"))), {}}};
    for (int a = 2; a < argc; ++a) {
        const QFileInfo file(QString::fromLocal8Bit(argv[a]));
        QFile html(file.absoluteFilePath());
        pages.append({file.absoluteFilePath(), html.open(QIODevice::ReadOnly) ? html.readAll() : QByteArray(),
                      file.absoluteFilePath()});
    }

    ProgramFolder folder;
    for (int i = 0; i < pages.size(); ++i) {
        if (!pages[i].file.isEmpty()) {
            const QFileInfo file(pages[i].file);
            const QDir above = QFileInfo(QFileInfo(file.canonicalFilePath()).absolutePath()).dir();
            server.serveFolder(QStringLiteral("/real%1/").arg(i), above.absolutePath());
            continue;
        }
        server.addPage(QStringLiteral("/page%1.html").arg(i), pages[i].html);
        folder.write(QStringLiteral("peer%1/page.html").arg(i), pages[i].html);
        for (int n : {2, 5, 7}) {
            server.addPage(QStringLiteral("/figure%1.png").arg(n), figure(n), "image/png");
            folder.write(QStringLiteral("peer%1/figure%2.png").arg(i).arg(n), figure(n));
        }
    }
    auto address = [&](int i) {
        if (pages[i].file.isEmpty())
            return server.url(QStringLiteral("/page%1.html").arg(i));
        const QFileInfo file(QFileInfo(pages[i].file).canonicalFilePath());
        return server.url(QStringLiteral("/real%1/").arg(i) + QFileInfo(file.absolutePath()).fileName() + u'/'
                          + file.fileName());
    };
    auto peerOf = [&](int i) {
        Peer peer{folder.file(QStringLiteral("peer%1").arg(i)), folder.file(QStringLiteral("peer-profile")), QStringLiteral("page.html"), {}};
        if (!pages[i].file.isEmpty()) {
            peer.folder = QFileInfo(pages[i].file).absolutePath();
            peer.page = QFileInfo(pages[i].file).fileName();
        }
        peer.out = folder.file(QStringLiteral("peer-out%1").arg(i));
        return peer;
    };
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/page0.html")));

    ScopedDialogs dialogs;
    MainWindow window(folder.path());
    QSignalSpy loaded(&window, &MainWindow::homePageLoaded);
    if (!window.load())
        return 1;
    window.show();
    if (!(loaded.count() || loaded.wait(30000)))
        return 1;
    if (!QTest::qWaitFor([&] { return !window.state().templateHDoc.isEmpty(); }, 5000))
        return 1;
    OfficeSpare *spare = window.exports().spare();

    // The program idle until the next export's worker has started ahead: how long that
    // took, and what it holds meanwhile.
    QList<double> spareReady, spareMemory;
    auto idle = [&](const char *key) {
        QElapsedTimer clock;
        clock.start();
        if (!QTest::qWaitFor([&] { return spare->ready(); }, 20000))
            fprintf(stderr, "no worker was started ahead of %s\n", key);
        spareReady.append(clock.elapsed() / 1000.0);
        if (spare->processId() > 0)
            spareMemory.append(residentMiB(spare->processId()));
    };

    const QString out = folder.file(QStringLiteral("out"));
    QDir().mkpath(out);
    auto runExport = [&](const char *key, const QString &target, Measured *m, const QStringList &pageWords) {
        idle(key);
        dialogs.dialogs.files = {target};
        QElapsedTimer clock;
        clock.start();
        emit window.commandClicked(3, QString::fromLatin1(key));
        // The export has returned: its file is complete (it is written whole).
        const double seconds = clock.elapsed() / 1000.0;
        if (!QFile::exists(target) && !QString::fromLatin1(key).startsWith(QLatin1String("EDIT:"))) {
            fprintf(stderr, "%s wrote nothing: %s\n", key, qPrintable(dialogs.dialogs.messages.value(0).text));
            return false;
        }
        if (m) {
            m->times.append(seconds);
            m->sizes.append(QFileInfo(target).size());
            for (const auto &step : ExportTimings::steps())
                m->steps[step.first].append(step.second / 1000.0);
            if (m->words < 0 && !pageWords.isEmpty() && target.endsWith(QLatin1String(".pdf"))) {
                const QStringList words = PageWords::words(pdfText(target));
                m->words = PageWords::inOrder(pageWords, words);
                m->kept = kept(pageWords, words);
                m->pictures = pdfPictures(target);
            }
        }
        QFile::remove(target);
        QFile::remove(Exports::sideDocumentPath(target));
        dialogs.dialogs.messages.clear();
        return true;
    };
    auto show = [&](int i) {
        window.addressBox()->setEditText(address(i));
        window.tabs()->goAddress(0);
        window.tabs()->webAttend();
    };

    // Each side once before measuring: LibreOffice makes its profile on its first start.
    Peer warm = peerOf(0);
    warm.run(QStringLiteral("doc"), QStringLiteral("HTML (StarWriter)"), nullptr);
    show(0);
    if (!runExport("SAVE:WORDH", out + QStringLiteral("/warm.doc"), nullptr, {}))
        return 1;

    const QString taggedPdf = QStringLiteral("pdf:writer_web_pdf_Export:") + OfficeApp::pdfOptions();
    const QString writer = QStringLiteral("HTML (StarWriter)"), calc = QStringLiteral("HTML (StarCalc)");
    QStringList engineCopies, cleanCopies, cleanSheets, untypedSheets;
    QList<double> articlePeerDoc, articlePeerPdf, articlePeerXls;
    QList<qint64> articlePeerDocSize, articlePeerPdfSize, articlePeerXlsSize;
    auto keep = [&](const QString &name, const QByteArray &bytes) {
        folder.write(QStringLiteral("import/") + name, bytes);
        return folder.file(QStringLiteral("import/") + name);
    };
    for (int i = 0; i < pages.size(); ++i) {
        const Page &page = pages[i];
        show(i);
        const auto shown = window.currentBrowser()->evaluate(QStringLiteral("document.body.innerText"), 30000);
        const QStringList pageWords = PageWords::words(shown ? shown->toString() : QString());
        Peer peer = peerOf(i);

        Measured wordh, wordv, pdf, excel;
        QList<double> peerDoc, peerPdf, peerTagged, peerXls, peerWebQuery;
        QList<qint64> peerDocSize, peerPdfSize, peerTaggedSize, peerXlsSize, peerWebQuerySize;
        for (int r = 0; r < runs; ++r) {
            if (!runExport("SAVE:WORDH", out + QStringLiteral("/page.doc"), &wordh, {})
                || !runExport("SAVE:WORDV", out + QStringLiteral("/page.doc"), &wordv, {})
                || !runExport("SAVE:PDF", out + QStringLiteral("/page.pdf"), &pdf, pageWords)
                || !runExport("SAVE:EXCEL", out + QStringLiteral("/page.xls"), &excel, {}))
                return 1;
            qint64 size = 0;
            peerDoc.append(peer.run(QStringLiteral("doc"), writer, &size));
            peerDocSize.append(size);
            peerPdf.append(peer.run(QStringLiteral("pdf"), writer, &size));
            peerPdfSize.append(size);
            peerTagged.append(peer.run(taggedPdf, writer, &size));
            peerTaggedSize.append(size);
            peerXls.append(peer.run(QStringLiteral("xls"), calc, &size));
            peerXlsSize.append(size);
            peerWebQuery.append(peer.run(QStringLiteral("xls"), QStringLiteral("calc_HTML_WebQuery"), &size));
            peerWebQuerySize.append(size);
        }
        if (i == 0) {
            articlePeerDoc = peerDoc;
            articlePeerPdf = peerPdf;
            articlePeerXls = peerXls;
            articlePeerDocSize = peerDocSize;
            articlePeerPdfSize = peerPdfSize;
            articlePeerXlsSize = peerXlsSize;
        }
        peer.run(QStringLiteral("pdf"), writer, nullptr);
        const QStringList peerPdfWords = PageWords::words(pdfText(peer.output(QStringLiteral("pdf"))));
        const double peerWords = PageWords::inOrder(pageWords, peerPdfWords);
        const int peerPictures = pdfPictures(peer.output(QStringLiteral("pdf")));

        printf("%s: %lld bytes of HTML, %d table rows, %lld words shown; median of %d runs\n", qPrintable(page.name),
               static_cast<long long>(page.html.size()), static_cast<int>(page.html.count("<tr")),
               static_cast<long long>(pageWords.size()), runs);
        compare("SAVE:WORDH", wordh, peerDoc, peerDocSize, "soffice --convert-to doc", 0.7);
        compare("SAVE:WORDV", wordv, peerDoc, peerDocSize, "soffice --convert-to doc", 0.7);
        compare("SAVE:PDF", pdf, peerPdf, peerPdfSize, "soffice --convert-to pdf, untagged", 0.7);
        compare("", Measured{pdf.times, pdf.sizes, {}, -1, 0, -1}, peerTagged, peerTaggedSize,
                "soffice --convert-to pdf with our PDF settings, tagged");
        printf("    words of the page in the PDF, in order: ours %.1f %%, soffice's %.1f %%; anywhere: ours %.1f %%, "
               "soffice's %.1f %%; pictures: ours %d, soffice's %d\n",
               pdf.words * 100, peerWords * 100, pdf.kept * 100, kept(pageWords, peerPdfWords) * 100, pdf.pictures,
               peerPictures);
        compare("SAVE:EXCEL", excel, peerXls, peerXlsSize, "soffice --convert-to xls, the whole page", 0.7);
        compare("", Measured{excel.times, excel.sizes, {}, -1, 0, -1}, peerWebQuery, peerWebQuerySize,
                "soffice --convert-to xls, its tables alone (web query)");

        // What LibreOffice is handed: the engine's own copy of the page and the clean capture.
        auto &capture = window.exports().capture();
        capture.copyPage(true, true);
        cleanCopies.append(keep(QStringLiteral("clean%1.html").arg(i),
                                        capture.page().document(true, QDateTime::currentDateTime())));
        const QByteArray sheet = capture.page().sheet(QDateTime::currentDateTime());
        cleanSheets.append(keep(QStringLiteral("sheet%1.html").arg(i), sheet));
        // The same without the cells' values and formats, for what they cost.
        static const QRegularExpression typed(QStringLiteral(" sd(val|num)=\"[^\"]*\""));
        untypedSheets.append(keep(QStringLiteral("untyped%1.html").arg(i), QString::fromUtf8(sheet).remove(typed).toUtf8()));
        QGuiApplication::clipboard()->clear();
        window.currentBrowser()->setFocus();
        window.currentBrowser()->selectAll();
        QTest::qWait(200);
        window.currentBrowser()->copy();
        if (!QTest::qWaitFor([] { return QGuiApplication::clipboard()->mimeData()->hasHtml(); }, 10000))
            fprintf(stderr, "the engine copied nothing\n");
        engineCopies.append(keep(QStringLiteral("engine%1.html").arg(i),
                                         QGuiApplication::clipboard()->mimeData()->html().toUtf8()));
    }

    // The same exports without a worker started ahead: one command right after another,
    // or the first right after the program's start.
    show(0);
    if (!runExport("SAVE:WORDH", out + QStringLiteral("/page.doc"), nullptr, {})) // takes the last one
        return 1;
    OfficeSpare::setEnabled(false);
    Measured coldWord, coldPdf, coldExcel;
    for (int r = 0; r < runs; ++r) {
        for (auto [key, target, m] : {std::tuple{"SAVE:WORDH", QStringLiteral("/page.doc"), &coldWord},
                                      std::tuple{"SAVE:PDF", QStringLiteral("/page.pdf"), &coldPdf},
                                      std::tuple{"SAVE:EXCEL", QStringLiteral("/page.xls"), &coldExcel}}) {
            dialogs.dialogs.files = {out + target};
            QElapsedTimer clock;
            clock.start();
            emit window.commandClicked(3, QString::fromLatin1(key));
            m->times.append(clock.elapsed() / 1000.0);
            m->sizes.append(QFileInfo(out + target).size());
            for (const auto &step : ExportTimings::steps())
                m->steps[step.first].append(step.second / 1000.0);
            QFile::remove(out + target);
            QFile::remove(Exports::sideDocumentPath(out + target));
        }
    }
    printf("The article's exports with no worker started ahead (a command right after another):\n");
    compare("SAVE:WORDH", coldWord, articlePeerDoc, articlePeerDocSize, "soffice --convert-to doc");
    compare("SAVE:PDF", coldPdf, articlePeerPdf, articlePeerPdfSize, "soffice --convert-to pdf");
    compare("SAVE:EXCEL", coldExcel, articlePeerXls, articlePeerXlsSize, "soffice --convert-to xls");
    OfficeSpare::setEnabled(true);
    spare->prepareWhenIdle();

    // The screen exports, on the article.
    Measured ppt, picture;
    for (int r = 0; r < runs; ++r) {
        if (!runExport("SAVE:PPT", out + QStringLiteral("/page.ppt"), &ppt, {})
            || !runExport("EDIT:PICTURE", out + QStringLiteral("/none"), &picture, {}))
            return 1;
    }
    auto goal = [](double seconds, double limit) { return seconds <= limit ? "met" : "MISSED"; };
    printf("SAVE:PPT: median %.3f s (goal <= 0.6 s: %s), %lld bytes\n    each run:", median(ppt.times),
           goal(median(ppt.times), 0.6), static_cast<long long>(ppt.sizes.value(0)));
    for (double v : ppt.times)
        printf(" %.3f", v);
    printf(" s\n");
    printSteps(ppt);
    printf("EDIT:PICTURE: median %.3f s (goal <= 0.6 s: %s)\n    each run:", median(picture.times),
           goal(median(picture.times), 0.6));
    for (double v : picture.times)
        printf(" %.3f", v);
    printf(" s\n");
    printSteps(picture);
    printf("The next export's worker, started ahead while the program is idle: ready %.2f s after the "
           "idle wait began (median), resident memory while it waits %.0f MiB (median)\n",
           median(spareReady), median(spareMemory));

    // LibreOffice's import step alone, before (the engine's own copy) and after (the clean
    // capture), pasted into the Word template and into a new workbook.
    const QString workerPath = OfficeApp::workerPath(window.state());
    const QString profile = folder.file(QStringLiteral("import-profile"));
    const QJsonObject templ = OfficeApp::openRequest(window.state().templateDoc);
    const QJsonObject workbook = OfficeApp::newDocumentRequest(QStringLiteral("scalc"));
    importAlone(workerPath, profile, templ, cleanCopies.value(0), true); // LibreOffice makes its profile
    printf("LibreOffice's import step alone, median of %d (paste of the page into the document):\n", runs);
    for (int i = 0; i < pages.size(); ++i) {
        QList<double> engineWriter, cleanWriter, engineCalc, cleanCalc, untypedCalc;
        for (int r = 0; r < runs; ++r) {
            engineWriter.append(importAlone(workerPath, profile, templ, engineCopies.value(i), true));
            cleanWriter.append(importAlone(workerPath, profile, templ, cleanCopies.value(i), true));
            engineCalc.append(importAlone(workerPath, profile, workbook, engineCopies.value(i), false));
            cleanCalc.append(importAlone(workerPath, profile, workbook, cleanSheets.value(i), false));
            untypedCalc.append(importAlone(workerPath, profile, workbook, untypedSheets.value(i), false));
        }
        printf("  %s\n", qPrintable(pages[i].name));
        printf("    word processor: the engine's copy %lld bytes %.0f ms | the clean capture %lld bytes %.0f ms | %.2f x\n",
               static_cast<long long>(QFileInfo(engineCopies.value(i)).size()), median(engineWriter),
               static_cast<long long>(QFileInfo(cleanCopies.value(i)).size()), median(cleanWriter),
               median(cleanWriter) / median(engineWriter));
        printf("    spreadsheet:    the engine's copy %lld bytes %.0f ms | the clean capture %lld bytes %.0f ms | %.2f x\n",
               static_cast<long long>(QFileInfo(engineCopies.value(i)).size()), median(engineCalc),
               static_cast<long long>(QFileInfo(cleanSheets.value(i)).size()), median(cleanCalc),
               median(cleanCalc) / median(engineCalc));
        printf("    spreadsheet, the clean capture without the cells' values and formats: %.0f ms; with them %.2f x\n",
               median(untypedCalc), median(cleanCalc) / median(untypedCalc));
    }
    window.goExit();
    return 0;
}
