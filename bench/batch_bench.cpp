// Times the exports of the command line on a batch of 20 real pages (the manual pages
// of git's most used commands, from Debian's git-doc, served on the loopback) beside one
// LibreOffice call that converts the same pages, the files themselves, in one go
// (soffice --headless --convert-to with a profile of its own, made beforehand, so
// LibreOffice starts warm; the program's exports make a profile of their own each run).
// The runs alternate; the medians are printed, with the share of each page's words (as
// the engine lays the page out) that each document keeps in order.
//   ninja -C build batch_bench && build/bench/batch_bench [runs] [format] [FILE...]
// HTML files named after the format are the batch instead (each served with its own
// folder, LibreOffice converting the files themselves). Without git-doc (apt-get
// install git-doc, for measuring only) the pages are generated documentation pages.
#include "platform/office/officeworker.h"
#include "platform/office/protocol.h"
#include "platform/textfile.h"
#include "support/docpage.h"
#include "support/engineenv.h"
#include "support/httpserver.h"
#include "support/pagewords.h"
#include "support/programfolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>

namespace {

using namespace OfficeProtocol;

const char *const kGitPages[] = {"add", "branch", "checkout", "clone", "commit", "diff", "fetch", "grep", "init", "log",
                                 "merge", "pull", "push", "rebase", "remote", "reset", "show", "stash", "status", "tag"};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// The program's environment as a job of cron has it: no display, no session bus.
QProcessEnvironment bare(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *key : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(key));
    env.insert(QStringLiteral("HOME"), home);
    return env;
}

// Runs a program to its end with the loopback server answering; the seconds it took.
// errors receives what it wrote on standard error.
double timed(const QString &program, const QStringList &arguments, const QProcessEnvironment &env, int *status,
             QString *errors = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    p.waitForStarted(10000);
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 1800000))
        p.kill();
    const double seconds = clock.elapsed() / 1000.0;
    *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return seconds;
}

// The words of a page as the engine lays it out.
QStringList pageWords(const QString &url)
{
    QWebEnginePage page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &page, [&] { loaded = true; });
    page.load(QUrl(url));
    if (!QTest::qWaitFor([&] { return loaded; }, 60000))
        return {};
    QString text;
    bool done = false;
    page.runJavaScript(QStringLiteral("document.body.innerText"), [&](const QVariant &v) {
        text = v.toString();
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 30000))
        return {};
    return PageWords::words(text);
}

// The words of a document, converted to text by LibreOffice.
QStringList documentWords(const QString &path, const QString &profile)
{
    if (!QFileInfo::exists(path))
        return {};
    OfficeWorker worker(QStringLiteral(QUORL_PROGRAM_DIR "/quorl-office"), profile);
    const QString text = path + QStringLiteral(".txt");
    if (!worker.start().ok() || !worker.request({{kOperation, Op::load}, {Field::path, path}, {Field::copy, true}}).ok()
        || !worker.request({{kOperation, Op::saveAs}, {Field::path, text}, {Field::format, QStringLiteral("txt")}}).ok())
        return {};
    worker.quit();
    return PageWords::words(TextFile::readText(text).value_or(QString()));
}

} // namespace

int main(int argc, char **argv)
{
    prepareEngineForTests();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    const QString format = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("doc");
    const QString peerFormat = format == QLatin1String("pdf") ? QStringLiteral("pdf:writer_pdf_Export")
                                                               : format;

    TempFolder work;
    HttpServer server;
    QStringList files;
    QStringList urls;
    QStringList named;
    for (int i = 3; i < argc; ++i)
        named.append(QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath());
    const bool real = !named.isEmpty() || QFileInfo::exists(QStringLiteral("/usr/share/doc/git-doc/git-add.html"));
    QString kind = QStringLiteral("git-doc's manual pages");
    if (!named.isEmpty()) {
        kind = QStringLiteral("the files named");
        for (qsizetype i = 0; i < named.size(); ++i) {
            const QString prefix = QStringLiteral("/f%1/").arg(i);
            server.serveFolder(prefix, QFileInfo(named.at(i)).absolutePath());
            files.append(named.at(i));
            urls.append(server.url(prefix + QFileInfo(named.at(i)).fileName()));
        }
    } else if (real) {
        server.serveFolder(QStringLiteral("/git/"), QStringLiteral("/usr/share/doc/git-doc"));
        for (const char *name : kGitPages) {
            const QString file = QStringLiteral("git-") + QString::fromLatin1(name) + QStringLiteral(".html");
            files.append(QStringLiteral("/usr/share/doc/git-doc/") + file);
            urls.append(server.url(QStringLiteral("/git/") + file));
        }
    } else {
        kind = QStringLiteral("generated documentation pages");
        work.mkdir(QStringLiteral("pages"));
        for (int i = 0; i < 20; ++i) {
            const QString file = QStringLiteral("pages/page%1.html").arg(i);
            work.write(file, longDocumentationPage(4 + i % 5, 20 + 10 * (i % 4)));
            files.append(work.file(file));
            server.addPage(u'/' + file, longDocumentationPage(4 + i % 5, 20 + 10 * (i % 4)));
            urls.append(server.url(u'/' + file));
        }
    }
    work.write(QStringLiteral("pages.txt"), urls.join(u'\n').toUtf8() + '\n');
    ProgramFolder folder;
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(urls.value(0));
    TempFolder home;
    const QProcessEnvironment env = bare(home.path());

    // LibreOffice's profile, made before anything is timed.
    const QString peerProfile = QStringLiteral("-env:UserInstallation=file://") + work.file(QStringLiteral("peer-profile"));
    int status = 0;
    timed(QStringLiteral("soffice"), {peerProfile, QStringLiteral("--headless"), QStringLiteral("--terminate_after_init")}, env,
          &status);

    std::printf("%d pages (%s), --export=%s, %d runs, medians\n", int(urls.size()), qPrintable(kind),
                qPrintable(format), runs);
    QList<double> ours;
    QList<double> peers;
    bool allOk = true;
    QStringList written; // the first run's file of each page
    for (int run = 0; run < runs; ++run) {
        const QString out = work.file(QStringLiteral("out%1/").arg(run));
        QString lines;
        ours.append(timed(QStringLiteral(QUORL_PROGRAM_DIR "/QuorlOffice"),
                          {QStringLiteral("--program-folder"), folder.path(), QStringLiteral("--export=") + format,
                           QStringLiteral("--output=") + out,
                           QStringLiteral("--urls-file=") + work.file(QStringLiteral("pages.txt"))},
                          env, &status, &lines));
        allOk = allOk && status == 0;
        if (status != 0)
            std::printf("%s", qPrintable(lines));
        for (const QString &line : lines.split(u'\n')) {
            if (run == 0 && line.contains(QLatin1String(" -> ")))
                written.append(line.section(QStringLiteral(" -> "), 1));
        }
        const QString peerOut = work.file(QStringLiteral("peer%1").arg(run));
        peers.append(timed(QStringLiteral("soffice"),
                           QStringList{peerProfile, QStringLiteral("--headless"),
                                       QStringLiteral("--infilter=HTML (StarWriter)"), QStringLiteral("--convert-to"),
                                       peerFormat, QStringLiteral("--outdir"), peerOut}
                               + files,
                           env, &status));
        std::printf("  run %d: --export %.2f s, soffice --convert-to %.2f s\n", run + 1, ours.last(), peers.last());
        std::fflush(stdout);
    }
    const double ratio = median(ours) / median(peers);
    std::printf("batch of %d pages: --export %.2f s, soffice --convert-to %.2f s: %.2f x (goal at most 0.60)%s\n",
                int(urls.size()), median(ours), median(peers), ratio, allOk ? "" : "; some page was NOT exported");

    // Every page's words, in the page's order, in each document of the first run.
    double leastOurs = 1;
    double leastPeer = 1;
    for (qsizetype i = 0; i < urls.size(); ++i) {
        const QStringList page = pageWords(urls.at(i));
        const QString mine = written.value(i);
        const double share = PageWords::inOrder(page, documentWords(mine, work.file(QStringLiteral("readback"))));
        const QString theirs = work.file(QStringLiteral("peer0/") + QFileInfo(files.at(i)).completeBaseName() + u'.'
                                         + format);
        const double peerShare = PageWords::inOrder(page, documentWords(theirs, work.file(QStringLiteral("readback"))));
        leastOurs = std::min(leastOurs, share);
        leastPeer = std::min(leastPeer, peerShare);
        std::printf("  %-28s %5d words: --export keeps %5.1f %%, soffice %5.1f %%\n",
                    qPrintable(QFileInfo(files.at(i)).fileName()), int(page.size()), share * 100, peerShare * 100);
    }
    std::printf("least share of a page's words kept in order: --export %.1f %%, soffice %.1f %%\n", leastOurs * 100,
                leastPeer * 100);
    return 0;
}
