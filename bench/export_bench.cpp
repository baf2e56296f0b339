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
// export's worker has started ahead; then, on the article, each export made right after
// another one, with no pause between the two. Each figure is printed beside its goal.
// "SAVE:PPT" and "EDIT:PICTURE" are timed on the article. Then LibreOffice's import
// step alone: the page as the engine's own copy gives it (inline styles) beside the
// clean capture the exports hand over, pasted into the same documents, and the same
// document loaded from LibreOffice's own flat OpenDocument file of it.
// "--article" measures the article's exports alone (with and without a pause before
// them, and the screen exports), for quick comparisons of two builds.
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
    QList<QList<QPair<QString, qint64>>> runSteps; // each run's, in order
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

// The clean capture put into the Word template, beside the same document loaded from
// LibreOffice's own flat OpenDocument file of it (what any flat file written from the
// capture with the template's styles would at best give): milliseconds, each from a
// worker just started, so both include its first document.
struct FlatImport
{
    double pasted = -1;
    double loaded = -1;
    qint64 bytes = 0;
};
FlatImport flatImport(const QString &workerPath, const QString &profile, const QJsonObject &templ,
                      const QString &htmlFile, const QString &flatFile)
{
    using namespace OfficeProtocol;
    FlatImport result;
    {
        OfficeWorker worker(workerPath, profile);
        if (!worker.start().ok())
            return result;
        QElapsedTimer clock;
        clock.start();
        const bool pasted = worker.request(templ).ok()
                            && worker.request({{kOperation, Op::paste}, {Field::mime, QStringLiteral("text/html")},
                                               {Field::file, htmlFile}, {Field::replace, true}})
                                   .ok();
        result.pasted = pasted ? static_cast<double>(clock.elapsed()) : -1;
        if (!pasted || !worker.request({{kOperation, Op::saveAs}, {Field::path, flatFile}, {Field::format, QStringLiteral("fodt")}}).ok())
            return result;
        worker.quit();
    }
    result.bytes = QFileInfo(flatFile).size();
    OfficeWorker worker(workerPath, profile);
    if (!worker.start().ok())
        return result;
    QElapsedTimer clock;
    clock.start();
    if (worker.request(OfficeApp::openRequest(flatFile)).ok())
        result.loaded = static_cast<double>(clock.elapsed());
    worker.quit();
    return result;
}

void printSteps(const Measured &m)
{
    printf("    where our time goes (median):");
    for (auto it = m.steps.cbegin(); it != m.steps.cend(); ++it)
        printf(" %s %.3f s;", qPrintable(it.key()), median(it.value()));
    printf("\n");
    // A run well above the others: where its time went, step by step.
    const double middle = median(m.times);
    const auto slowest = std::max_element(m.times.cbegin(), m.times.cend());
    if (slowest == m.times.cend() || *slowest < 1.25 * middle || *slowest - middle < 0.1)
        return;
    const auto run = slowest - m.times.cbegin();
    printf("    the slowest run, %.3f s:", *slowest);
    for (const auto &step : m.runSteps.value(run))
        printf(" %s %.3f s;", qPrintable(step.first), step.second / 1000.0);
    printf("\n");
}

void record(Measured &m, double seconds, qint64 size)
{
    m.times.append(seconds);
    m.sizes.append(size);
    const auto steps = ExportTimings::steps();
    for (const auto &step : steps)
        m.steps[step.first].append(step.second / 1000.0);
    m.runSteps.append(steps);
}

void printRuns(const QList<double> &times)
{
    for (double v : times)
        printf(" %.3f", v);
    printf(" s");
}

// An export that has its goal in seconds.
void against(const char *name, const Measured &m, double goal)
{
    const double t = median(m.times);
    printf("  %-11s ours %7.3f s  (goal <= %.1f s: %s)\n    each run:", name, t, goal, t <= goal ? "met" : "MISSED");
    printRuns(m.times);
    printf("\n");
    printSteps(m);
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
    printRuns(ours.times);
    printf("; the peer's:");
    printRuns(peerTimes);
    printf("\n");
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
    QStringList arguments;
    for (int a = 1; a < argc; ++a)
        arguments.append(QString::fromLocal8Bit(argv[a]));
    const bool articleOnly = arguments.removeAll(QStringLiteral("--article")) > 0;
    const int runs = !arguments.isEmpty() ? std::max(1, arguments.takeFirst().toInt()) : 5;

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
    QList<Page> pages = {{QStringLiteral("reference article (bench/pages/article.html)"), articleFile.readAll(), {}}};
    if (!articleOnly) {
        pages.append({QStringLiteral("long documentation page (generated)"), longDocumentationPage(40, 2000), {}});
        pages.append({QStringLiteral("ledger of 2,000 rows (generated)"), ledgerPage(2000, server.url(QStringLiteral("/item/"))), {}});
    }
    for (const QString &name : std::as_const(arguments)) {
        const QFileInfo file(name);
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
    // pause: the program idle first until the next export's worker has started ahead;
    // without it the export follows the one before at once, as a user's second click.
    auto runExport = [&](const char *key, const QString &target, Measured *m, const QStringList &pageWords,
                         bool pause = true) {
        if (pause)
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
            record(*m, seconds, QFileInfo(target).size());
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
    QMap<QString, Measured> articleAlone;
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
            articleAlone = {{QStringLiteral("SAVE:WORDH"), wordh}, {QStringLiteral("SAVE:WORDV"), wordv},
                            {QStringLiteral("SAVE:PDF"), pdf}, {QStringLiteral("SAVE:EXCEL"), excel}};
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
        compare("SAVE:WORDH", wordh, peerDoc, peerDocSize, "soffice --convert-to doc", 0.5);
        compare("SAVE:WORDV", wordv, peerDoc, peerDocSize, "soffice --convert-to doc", 0.5);
        compare("SAVE:PDF", pdf, peerPdf, peerPdfSize, "soffice --convert-to pdf, untagged", 0.5);
        compare("", Measured{pdf.times, pdf.sizes, {}, {}, -1, 0, -1}, peerTagged, peerTaggedSize,
                "soffice --convert-to pdf with our PDF settings, tagged");
        printf("    words of the page in the PDF, in order: ours %.1f %%, soffice's %.1f %%; anywhere: ours %.1f %%, "
               "soffice's %.1f %%; pictures: ours %d, soffice's %d\n",
               pdf.words * 100, peerWords * 100, pdf.kept * 100, kept(pageWords, peerPdfWords) * 100, pdf.pictures,
               peerPictures);
        compare("SAVE:EXCEL", excel, peerXls, peerXlsSize, "soffice --convert-to xls, the whole page", 0.5);
        compare("", Measured{excel.times, excel.sizes, {}, {}, -1, 0, -1}, peerWebQuery, peerWebQuerySize,
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

    // The screen exports, on the article, after a pause.
    show(0);
    Measured ppt, picture;
    for (int r = 0; r < runs; ++r) {
        if (!runExport("SAVE:PPT", out + QStringLiteral("/page.ppt"), &ppt, {})
            || !runExport("EDIT:PICTURE", out + QStringLiteral("/none"), &picture, {}))
            return 1;
    }
    printf("The screen exports, on the article; median of %d runs:\n", runs);
    against("SAVE:PPT", ppt, 0.5);
    against("EDIT:PICTURE", picture, 0.3);
    articleAlone.insert(QStringLiteral("SAVE:PPT"), ppt);
    articleAlone.insert(QStringLiteral("EDIT:PICTURE"), picture);

    // Each export right after another one, with no pause between the two: the second is
    // timed, beside the same export made after a pause.
    struct BackToBack
    {
        const char *first;
        const char *firstTarget;
        const char *second;
        const char *secondTarget;
    };
    const BackToBack pairs[] = {{"SAVE:WORDH", "/first.doc", "SAVE:WORDV", "/page.doc"},
                                {"SAVE:WORDH", "/first.doc", "SAVE:PDF", "/page.pdf"},
                                {"SAVE:PDF", "/first.pdf", "SAVE:EXCEL", "/page.xls"},
                                {"SAVE:EXCEL", "/first.xls", "SAVE:WORDH", "/page.doc"},
                                {"EDIT:PICTURE", "/none", "SAVE:PPT", "/page.ppt"},
                                {"SAVE:PPT", "/first.ppt", "EDIT:PICTURE", "/none"}};
    printf("The article's exports right after another one (no pause between the two), beside the same export "
           "after a pause; median of %d runs:\n", runs);
    for (const BackToBack &pair : pairs) {
        Measured second;
        for (int r = 0; r < runs; ++r) {
            if (!runExport(pair.first, out + QString::fromLatin1(pair.firstTarget), nullptr, {})
                || !runExport(pair.second, out + QString::fromLatin1(pair.secondTarget), &second, {}, false))
                return 1;
        }
        const QString key = QString::fromLatin1(pair.second);
        const double alone = median(articleAlone.value(key).times);
        printf("  %s right after %s: %.3f s, after a pause %.3f s (%.2f x)\n", pair.second, pair.first,
               median(second.times), alone, median(second.times) / alone);
        if (key == QLatin1String("SAVE:PPT"))
            against("", second, 0.5);
        else if (key == QLatin1String("EDIT:PICTURE"))
            against("", second, 0.3);
        else if (key == QLatin1String("SAVE:PDF"))
            compare("", second, articlePeerPdf, articlePeerPdfSize, "soffice --convert-to pdf, untagged", 0.5);
        else if (key == QLatin1String("SAVE:EXCEL"))
            compare("", second, articlePeerXls, articlePeerXlsSize, "soffice --convert-to xls, the whole page", 0.5);
        else
            compare("", second, articlePeerDoc, articlePeerDocSize, "soffice --convert-to doc", 0.5);
    }
    printf("The next export's worker, started ahead while the program is idle: ready %.2f s after the "
           "idle wait began (median), resident memory while it waits %.0f MiB (median)\n",
           median(spareReady), median(spareMemory));
    if (articleOnly) {
        window.goExit();
        return 0;
    }

    // The same exports without a worker started ahead at all: the first right after the
    // program's start.
    if (!runExport("SAVE:WORDH", out + QStringLiteral("/page.doc"), nullptr, {})) // takes the last one
        return 1;
    OfficeSpare::setEnabled(false);
    Measured coldWord, coldPdf, coldExcel;
    for (int r = 0; r < runs; ++r) {
        if (!runExport("SAVE:WORDH", out + QStringLiteral("/page.doc"), &coldWord, {}, false)
            || !runExport("SAVE:PDF", out + QStringLiteral("/page.pdf"), &coldPdf, {}, false)
            || !runExport("SAVE:EXCEL", out + QStringLiteral("/page.xls"), &coldExcel, {}, false))
            return 1;
    }
    printf("The article's exports with no worker started ahead:\n");
    compare("SAVE:WORDH", coldWord, articlePeerDoc, articlePeerDocSize, "soffice --convert-to doc");
    compare("SAVE:PDF", coldPdf, articlePeerPdf, articlePeerPdfSize, "soffice --convert-to pdf");
    compare("SAVE:EXCEL", coldExcel, articlePeerXls, articlePeerXlsSize, "soffice --convert-to xls");
    OfficeSpare::setEnabled(true);

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
    printf("The word processor's import of the clean capture beside a flat OpenDocument file of the same document "
           "(LibreOffice's own, with the template's styles), each the first document of a worker just started, "
           "median of %d:\n", runs);
    for (int i = 0; i < pages.size(); ++i) {
        QList<double> pasted, loaded;
        qint64 bytes = 0;
        for (int r = 0; r < runs; ++r) {
            const FlatImport flat = flatImport(workerPath, profile, templ, cleanCopies.value(i),
                                               folder.file(QStringLiteral("import/flat%1.fodt").arg(i)));
            pasted.append(flat.pasted);
            loaded.append(flat.loaded);
            bytes = flat.bytes;
        }
        printf("  %s\n    template opened and the capture pasted %.0f ms | the flat file (%lld bytes) loaded %.0f ms | %.2f x\n",
               qPrintable(pages[i].name), median(pasted), static_cast<long long>(bytes), median(loaded),
               median(loaded) / median(pasted));
    }
    window.goExit();
    return 0;
}
