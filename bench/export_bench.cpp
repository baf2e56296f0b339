// Times the exports from the command to the file being complete (the save dialog
// answered at once), with the size of what they write, beside LibreOffice's own
// conversion of the same HTML file in the same run: "SAVE:WORDH", "SAVE:PDF" and
// "SAVE:EXCEL". Two pages: the reference article and a long documentation page (a
// floated main column, long tables). "SAVE:PPT" and "EDIT:PICTURE" are timed on the
// article alone; their time is mostly the fixed waits of the screen picture.
#include "app/application.h"
#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "commands/dispatch.h"
#include "export/exports.h"
#include "export/exporttimings.h"
#include "export/officeapp.h"
#include "platform/dialogs.h"
#include "platform/webbrowser.h"
#include "support/docpage.h"
#include "support/engineenv.h"
#include "support/httpserver.h"
#include "support/pagewords.h"
#include "support/programfolder.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
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
};

// LibreOffice's own conversion of the page's HTML file: its time and the file.
struct Peer
{
    QString folder;  // holds page.html and the pictures
    QString profile;
    double run(const QString &format, const QString &filter, qint64 *size)
    {
        QElapsedTimer clock;
        clock.start();
        QProcess soffice;
        soffice.setWorkingDirectory(folder);
        soffice.start(QStringLiteral("soffice"),
                      {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                       QStringLiteral("--infilter=") + filter, QStringLiteral("--convert-to"), format,
                       QStringLiteral("--outdir"), folder + QStringLiteral("/peer"), folder + QStringLiteral("/page.html")});
        soffice.waitForFinished(600000);
        const double seconds = clock.elapsed() / 1000.0;
        const QString out = folder + QStringLiteral("/peer/page.") + format.section(u':', 0, 0);
        if (size)
            *size = QFileInfo(out).size();
        return seconds;
    }
    QString output(const QString &extension) const { return folder + QStringLiteral("/peer/page.") + extension; }
};

void printSteps(const Measured &m)
{
    printf("    where our time goes (median):");
    for (auto it = m.steps.cbegin(); it != m.steps.cend(); ++it)
        printf(" %s %.3f s;", qPrintable(it.key()), median(it.value()));
    printf("\n");
}

void compare(const char *name, const Measured &ours, const QList<double> &peerTimes, const QList<qint64> &peerSizes,
             const char *peerName)
{
    const double t = median(ours.times), pt = median(peerTimes);
    QList<double> sizes, psizes;
    for (qint64 s : ours.sizes)
        sizes.append(static_cast<double>(s));
    for (qint64 s : peerSizes)
        psizes.append(static_cast<double>(s));
    const double sz = median(sizes), psz = median(psizes);
    printf("  %-11s ours %7.3f s %10.0f bytes | %s %7.3f s %10.0f bytes | time %.2f x, size %.2f x\n", name, t, sz,
           peerName, pt, psz, t / pt, psz > 0 ? sz / psz : 0.0);
    printSteps(ours);
}

} // namespace

int main(int argc, char **argv)
{
    prepareEngineForTests();
    Application::prepare();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QFile articleFile(QStringLiteral(QUORL_BENCH_DIR "/pages/article.html"));
    if (!articleFile.open(QIODevice::ReadOnly))
        return 1;
    struct Page
    {
        const char *name;
        QByteArray html;
        int runs;
    };
    const QList<Page> pages = {{"reference article (bench/pages/article.html)", articleFile.readAll(), 5},
                               {"long documentation page (generated)", longDocumentationPage(40, 2000), 3}};

    HttpServer server;
    ProgramFolder folder;
    for (int i = 0; i < pages.size(); ++i) {
        server.addPage(QStringLiteral("/page%1.html").arg(i), pages[i].html);
        folder.write(QStringLiteral("peer%1/page.html").arg(i), pages[i].html);
        for (int n : {2, 5, 7}) {
            server.addPage(QStringLiteral("/figure%1.png").arg(n), figure(n), "image/png");
            folder.write(QStringLiteral("peer%1/figure%2.png").arg(i).arg(n), figure(n));
        }
    }
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
    window.dispatch()->exports().setScreenWait(1000);

    const QString out = folder.file(QStringLiteral("out"));
    QDir().mkpath(out);
    auto runExport = [&](const char *key, const QString &target, Measured *m, const QStringList &pageWords) {
        dialogs.dialogs.files = {target};
        QElapsedTimer clock;
        clock.start();
        emit window.commandClicked(3, QString::fromLatin1(key));
        // The export has returned: its file is complete (it is written whole).
        const double seconds = clock.elapsed() / 1000.0;
        if (!QFile::exists(target)) {
            fprintf(stderr, "%s wrote nothing: %s\n", key, qPrintable(dialogs.dialogs.messages.value(0).text));
            return false;
        }
        if (m) {
            m->times.append(seconds);
            m->sizes.append(QFileInfo(target).size());
            for (const auto &step : ExportTimings::steps())
                m->steps[step.first].append(step.second / 1000.0);
            if (m->words < 0 && !pageWords.isEmpty() && target.endsWith(QLatin1String(".pdf")))
                m->words = PageWords::inOrder(pageWords, PageWords::words(pdfText(target)));
        }
        QFile::remove(target);
        QFile::remove(Exports::sideDocumentPath(target));
        dialogs.dialogs.messages.clear();
        return true;
    };

    // Each side once before measuring: LibreOffice makes its profile on its first start.
    Peer warm{folder.file(QStringLiteral("peer0")), folder.file(QStringLiteral("peer-profile"))};
    warm.run(QStringLiteral("doc"), QStringLiteral("HTML (StarWriter)"), nullptr);
    window.addressBox()->setEditText(server.url(QStringLiteral("/page0.html")));
    window.tabs()->goAddress(0);
    window.tabs()->webAttend();
    if (!runExport("SAVE:WORDH", out + QStringLiteral("/warm.doc"), nullptr, {}))
        return 1;

    const QString taggedPdf = QStringLiteral("pdf:writer_web_pdf_Export:") + OfficeApp::pdfOptions();
    for (int i = 0; i < pages.size(); ++i) {
        const Page &page = pages[i];
        window.addressBox()->setEditText(server.url(QStringLiteral("/page%1.html").arg(i)));
        window.tabs()->goAddress(0);
        window.tabs()->webAttend();
        const auto shown = window.currentBrowser()->evaluate(QStringLiteral("document.body.innerText"), 30000);
        const QStringList pageWords = PageWords::words(shown ? shown->toString() : QString());
        Peer peer{folder.file(QStringLiteral("peer%1").arg(i)), folder.file(QStringLiteral("peer-profile"))};

        Measured word, pdf, excel;
        QList<double> peerDoc, peerPdf, peerTagged, peerXls, peerCalc;
        QList<qint64> peerDocSize, peerPdfSize, peerTaggedSize, peerXlsSize, peerCalcSize;
        for (int r = 0; r < page.runs; ++r) {
            if (!runExport("SAVE:WORDH", out + QStringLiteral("/page.doc"), &word, {})
                || !runExport("SAVE:PDF", out + QStringLiteral("/page.pdf"), &pdf, pageWords)
                || !runExport("SAVE:EXCEL", out + QStringLiteral("/page.xls"), &excel, {}))
                return 1;
            qint64 size = 0;
            peerDoc.append(peer.run(QStringLiteral("doc"), QStringLiteral("HTML (StarWriter)"), &size));
            peerDocSize.append(size);
            peerPdf.append(peer.run(QStringLiteral("pdf"), QStringLiteral("HTML (StarWriter)"), &size));
            peerPdfSize.append(size);
            peerTagged.append(peer.run(taggedPdf, QStringLiteral("HTML (StarWriter)"), &size));
            peerTaggedSize.append(size);
            peerXls.append(peer.run(QStringLiteral("xls"), QStringLiteral("calc_HTML_WebQuery"), &size));
            peerXlsSize.append(size);
            peerCalc.append(peer.run(QStringLiteral("xls"), QStringLiteral("HTML (StarCalc)"), &size));
            peerCalcSize.append(size);
        }
        peer.run(QStringLiteral("pdf"), QStringLiteral("HTML (StarWriter)"), nullptr);
        const double peerWords = PageWords::inOrder(pageWords, PageWords::words(pdfText(peer.output(QStringLiteral("pdf")))));

        printf("%s: %lld bytes of HTML, %d table rows, %lld words shown; median of %d runs\n", page.name,
               static_cast<long long>(page.html.size()), static_cast<int>(page.html.count("<tr>")),
               static_cast<long long>(pageWords.size()), page.runs);
        compare("SAVE:WORDH", word, peerDoc, peerDocSize, "soffice --convert-to doc");
        compare("SAVE:PDF", pdf, peerPdf, peerPdfSize, "soffice --convert-to pdf");
        compare("", Measured{pdf.times, pdf.sizes, {}, -1}, peerTagged, peerTaggedSize,
                "soffice --convert-to pdf with our PDF settings");
        printf("    words of the page in the PDF, in order: ours %.1f %%, soffice's %.1f %%\n", pdf.words * 100,
               peerWords * 100);
        compare("SAVE:EXCEL", excel, peerCalc, peerCalcSize, "soffice --convert-to xls, the whole page");
        compare("", Measured{excel.times, excel.sizes, {}, -1}, peerXls, peerXlsSize,
                "soffice --convert-to xls, its tables alone (web query)");
    }

    // The screen exports, on the article.
    window.addressBox()->setEditText(server.url(QStringLiteral("/page0.html")));
    window.tabs()->goAddress(0);
    window.tabs()->webAttend();
    Measured ppt, picture;
    for (int r = 0; r < 3; ++r) {
        if (!runExport("SAVE:PPT", out + QStringLiteral("/page.ppt"), &ppt, {}))
            return 1;
        QElapsedTimer clock;
        clock.start();
        emit window.commandClicked(3, QStringLiteral("EDIT:PICTURE"));
        picture.times.append(clock.elapsed() / 1000.0);
        for (const auto &step : ExportTimings::steps())
            picture.steps[step.first].append(step.second / 1000.0);
    }
    printf("SAVE:PPT: median %.3f s, %lld bytes, of which 3.0 s are the fixed waits of the screen picture\n",
           median(ppt.times), static_cast<long long>(ppt.sizes.value(0)));
    printSteps(ppt);
    printf("EDIT:PICTURE: median %.3f s, of which 3.1 s are the fixed waits\n", median(picture.times));
    printSteps(picture);
    window.goExit();
    return 0;
}
