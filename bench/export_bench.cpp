// Times the exports on the reference article, served from loopback, from the command
// to the file being complete (the save dialog answered at once): "SAVE:WORDH",
// "SAVE:PDF" and "SAVE:EXCEL" beside LibreOffice's own conversion of the same HTML file
// in the same run, and "SAVE:PPT" and "EDIT:PICTURE", whose time is mostly the fixed
// waits of the screen picture.
#include "app/application.h"
#include "support/engineenv.h"
#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "export/exporttimings.h"
#include "platform/dialogs.h"
#include "platform/webbrowser.h"
#include "support/httpserver.h"
#include "support/programfolder.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRuns = 5;

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

double peer(const QString &folder, const QString &format, const QString &profile,
            const QString &filter = QStringLiteral("HTML (StarWriter)"))
{
    QElapsedTimer clock;
    clock.start();
    QProcess soffice;
    soffice.setWorkingDirectory(folder);
    soffice.start(QStringLiteral("soffice"),
                  {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
                   QStringLiteral("--infilter=") + filter, QStringLiteral("--convert-to"), format,
                   QStringLiteral("--outdir"), folder + QStringLiteral("/peer"), folder + QStringLiteral("/article.html")});
    soffice.waitForFinished(300000);
    return clock.elapsed() / 1000.0;
}

struct Result
{
    QList<double> times;
    QMap<QString, QList<double>> steps;
};

} // namespace

int main(int argc, char **argv)
{
    prepareEngineForTests();
    Application::prepare();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QFile page(QStringLiteral(QUORL_BENCH_DIR "/pages/article.html"));
    if (!page.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray article = page.readAll();

    HttpServer server;
    server.addPage(QStringLiteral("/article.html"), article);
    ProgramFolder folder;
    for (int n : {2, 5, 7}) {
        server.addPage(QStringLiteral("/figure%1.png").arg(n), figure(n), "image/png");
        folder.write(QStringLiteral("peer-src/figure%1.png").arg(n), figure(n));
    }
    folder.write(QStringLiteral("peer-src/article.html"), article);
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/article.html")));

    ScopedDialogs dialogs;
    MainWindow window(folder.path());
    QSignalSpy loaded(&window, &MainWindow::homePageLoaded);
    QSignalSpy ready(&window, &MainWindow::startupFinished);
    if (!window.load())
        return 1;
    window.show();
    if (!(loaded.count() || loaded.wait(30000)) || !(ready.count() || ready.wait(5000)))
        return 1;
    window.tabs()->webAttend();

    auto runExport = [&](const char *key, const QString &target, Result *result) {
        dialogs.dialogs.files = {target};
        QElapsedTimer clock;
        clock.start();
        emit window.commandClicked(3, QString::fromLatin1(key));
        // The export has returned: its file is complete (it is renamed into place whole).
        const double seconds = clock.elapsed() / 1000.0;
        if (!QFile::exists(target)) {
            fprintf(stderr, "%s wrote nothing: %s\n", key, qPrintable(dialogs.dialogs.messages.value(0).text));
            return false;
        }
        if (result) {
            result->times.append(seconds);
            for (const auto &step : ExportTimings::steps())
                result->steps[step.first].append(step.second / 1000.0);
        }
        QFile::remove(target);
        dialogs.dialogs.messages.clear();
        return true;
    };

    // Each side once before measuring: LibreOffice makes its profile on its first start.
    const QString out = folder.file(QStringLiteral("out"));
    QDir().mkpath(out);
    if (!runExport("SAVE:WORDH", out + QStringLiteral("/warm.doc"), nullptr))
        return 1;
    const QString peerProfile = folder.file(QStringLiteral("peer-profile"));
    peer(folder.file(QStringLiteral("peer-src")), QStringLiteral("doc"), peerProfile);

    Result word, pdf, excel, ppt, picture;
    QList<double> peerDoc, peerPdf, peerXls;
    const QString src = folder.file(QStringLiteral("peer-src"));
    for (int i = 0; i < kRuns; ++i) {
        if (!runExport("SAVE:WORDH", out + QStringLiteral("/article.doc"), &word)
            || !runExport("SAVE:PDF", out + QStringLiteral("/article.pdf"), &pdf)
            || !runExport("SAVE:EXCEL", out + QStringLiteral("/article.xls"), &excel)
            || !runExport("SAVE:PPT", out + QStringLiteral("/article.ppt"), &ppt))
            return 1;
        peerDoc.append(peer(src, QStringLiteral("doc"), peerProfile));
        peerPdf.append(peer(src, QStringLiteral("pdf"), peerProfile));
        peerXls.append(peer(src, QStringLiteral("xls"), peerProfile, QStringLiteral("calc_HTML_WebQuery")));
        const QString bmp = folder.file(QStringLiteral("Images/Quorl%1.bmp")).arg(i, 3, 10, QLatin1Char('0'));
        QElapsedTimer clock;
        clock.start();
        emit window.commandClicked(3, QStringLiteral("EDIT:PICTURE"));
        picture.times.append(clock.elapsed() / 1000.0);
        for (const auto &step : ExportTimings::steps())
            picture.steps[step.first].append(step.second / 1000.0);
        if (!QFile::exists(bmp))
            return 1;
    }

    auto report = [](const char *name, const Result &r, const QList<double> &peerTimes, const char *peerName) {
        const double ours = median(r.times);
        const double theirs = median(peerTimes);
        printf("%s: median %.3f s over %d runs (", name, ours, kRuns);
        for (double t : r.times)
            printf(" %.3f", t);
        printf(" )\n  %s: median %.3f s (", peerName, theirs);
        for (double t : peerTimes)
            printf(" %.3f", t);
        printf(" )\n  ratio ours/peer: %.2f\n  where the time goes (median):", ours / theirs);
        for (auto it = r.steps.cbegin(); it != r.steps.cend(); ++it)
            printf(" %s %.3f s;", qPrintable(it.key()), median(it.value()));
        printf("\n");
    };
    printf("reference page: %lld bytes of HTML, 3 pictures, a table of %d rows\n",
           static_cast<long long>(article.size()), static_cast<int>(article.count("<tr>")));
    report("SAVE:WORDH", word, peerDoc, "soffice --convert-to doc");
    report("SAVE:PDF", pdf, peerPdf, "soffice --convert-to pdf");
    report("SAVE:EXCEL", excel, peerXls, "soffice --infilter=calc_HTML_WebQuery --convert-to xls");
    auto alone = [](const char *name, const Result &r, double fixedWaits) {
        printf("%s: median %.3f s over %d runs, of which %.1f s are the fixed waits\n  where the time goes (median):",
               name, median(r.times), kRuns, fixedWaits);
        for (auto it = r.steps.cbegin(); it != r.steps.cend(); ++it)
            printf(" %s %.3f s;", qPrintable(it.key()), median(it.value()));
        printf("\n");
    };
    alone("SAVE:PPT", ppt, 3.0);
    alone("EDIT:PICTURE", picture, 3.1);
    window.goExit();
    return 0;
}
