// The built program's exports with no window, run as from a shell over SSH or from
// cron: no display, no session bus, no runtime folder. Pages come from a loopback
// server; every document is read back by LibreOffice or pdftotext, the pictures looked at.
#include "platform/office/officeworker.h"
#include "platform/office/protocol.h"
#include "platform/textfile.h"
#include "support/httpserver.h"
#include "support/pagewords.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTest>

namespace {

using namespace OfficeProtocol;

// A page as sites make them: a coloured banner, a heading, a table, a link to another
// site and one to its own, and words that a script writes only once the page is drawn
// (a page that is never shown never gets them).
const QByteArray kArticle = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Quarterly Harvest Report</title></head>
<body style="margin:0;font-family:sans-serif">
<div style="background:#d01010;height:160px"></div>
<h1>Harvest of the orchard</h1>
<p>Pomegranates ripened beside the quince trees.</p>
<table border="1"><tr><th>Fruit</th><th>Crates</th></tr><tr><td>Quince</td><td>42</td></tr>
<tr><td>Medlar</td><td>17</td></tr></table>
<p><a href="http://elsewhere.example/almanac">The almanac</a> and <a href="/same">our own page</a>.</p>
<p id="drawn"></p>
<script>requestAnimationFrame(function () {
  document.getElementById('drawn').textContent = 'Zucchini flourished visibly';
});</script>
</body></html>)";

QByteArray simplePage(const char *title, const char *words)
{
    return QByteArray("<html><head><title>") + title + "</title></head><body><h1>" + title + "</h1><p>" + words
           + "</p></body></html>";
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

class Batch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.addPage(QStringLiteral("/article"), kArticle);
        folder.baseUrl = server.url(QStringLiteral("/"));
        folder.installed(server.url(QStringLiteral("/article")));
        tmp.mkdir(QStringLiteral("t"));
    }

    struct Result
    {
        int status = -1;
        QStringList lines; // standard error
    };

    // The program with --export and these arguments, in a session that has nothing: no
    // display, no session bus, no runtime folder, a home of its own.
    Result exportPages(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *key : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS",
                                "XDG_RUNTIME_DIR", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            env.remove(QString::fromLatin1(key));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("TMPDIR"), tmp.file(QStringLiteral("t")));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(out.path());
        program.start(QStringLiteral(QUORL_PROGRAM_DIR "/QuorlOffice"),
                      QStringList{QStringLiteral("--program-folder"), folder.path()} + arguments);
        EXPECT_TRUE(program.waitForStarted(10000));
        if (!input.isEmpty())
            program.write(input);
        program.closeWriteChannel();
        // The loopback server answers from this process's event loop meanwhile.
        EXPECT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 240000));
        Result result;
        result.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        result.lines = err.split(u'\n', Qt::SkipEmptyParts);
        // Nothing of the run is left behind in the temporary folder, and nothing is
        // written below the home.
        EXPECT_EQ(filesBelow(tmp.file(QStringLiteral("t"))), QStringList()) << str(err);
        EXPECT_EQ(filesBelow(home.path()), QStringList()) << str(err);
        return result;
    }

    // A document converted by LibreOffice, on a profile of the test's own.
    QString convert(const QString &path, const QString &format)
    {
        const QString target = path + u'.' + format;
        OfficeWorker worker(QStringLiteral(QUORL_PROGRAM_DIR "/quorl-office"), readback.file(QStringLiteral("profile")));
        EXPECT_TRUE(worker.start().ok());
        EXPECT_TRUE(worker.request({{kOperation, Op::load}, {Field::path, path}, {Field::copy, true}}).ok()) << str(path);
        EXPECT_TRUE(
            worker.request({{kOperation, Op::saveAs}, {Field::path, target}, {Field::format, format}}).ok());
        worker.quit();
        return target;
    }
    QStringList wordsOf(const QString &path, const QString &format = QStringLiteral("txt"))
    {
        if (path.endsWith(QLatin1String(".pdf")))
            return PageWords::words(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}));
        return PageWords::words(TextFile::readText(convert(path, format)).value_or(QString()));
    }

    HttpServer server;
    ProgramFolder folder;
    TempFolder out;
    TempFolder home;
    TempFolder tmp;
    TempFolder readback;
};

bool reddish(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// The share of a picture's rows that hold the banner's red across their middle.
double redRows(const QImage &picture)
{
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        red += reddish(picture.pixel(picture.width() / 2, y)) ? 1 : 0;
    return picture.height() > 0 ? double(red) / picture.height() : 0;
}

} // namespace

// Each family of exports, with nothing of a desktop session: the words, the table, the
// links and the picture of the page arrive, as the window exports it, the page drawn
// as if on a screen.
TEST_F(Batch, ExportsEveryFamilyWithNoDisplay)
{
    const QString page = server.url(QStringLiteral("/article"));
    const QString name = out.file(QStringLiteral("QuarterlyHarvestRepo."));
    const QStringList article = {QStringLiteral("Harvest"), QStringLiteral("of"), QStringLiteral("the"),
                                 QStringLiteral("orchard"), QStringLiteral("Pomegranates"), QStringLiteral("ripened"),
                                 QStringLiteral("beside"), QStringLiteral("the"), QStringLiteral("quince"),
                                 QStringLiteral("trees"), QStringLiteral("Fruit"), QStringLiteral("Crates"),
                                 QStringLiteral("Quince"), QStringLiteral("42"), QStringLiteral("Medlar"),
                                 QStringLiteral("17"), QStringLiteral("Zucchini"), QStringLiteral("flourished"),
                                 QStringLiteral("visibly")};

    for (const char *format : {"docx", "pdf", "ods"}) {
        const Result result = exportPages({QStringLiteral("--export=") + QString::fromLatin1(format), page});
        ASSERT_EQ(result.status, 0) << format << ' ' << str(result.lines.join(u'\n'));
        const QString file = name + QString::fromLatin1(format);
        EXPECT_EQ(result.lines, QStringList{QStringLiteral("quorloffice: [1/1] ") + page + QStringLiteral(" -> ") + file});
        const QStringList words = wordsOf(file, format == QByteArray("ods") ? QStringLiteral("csv") : QStringLiteral("txt"));
        EXPECT_EQ(PageWords::inOrder(article, words), 1.0) << format << ' ' << str(words.join(u' '));
    }
    // The PDF export keeps its word-processor document beside the PDF, as in the window.
    EXPECT_TRUE(QFileInfo::exists(name + QStringLiteral("doc")));

    // The slide shows the page as it was drawn: the banner across its top.
    ASSERT_EQ(exportPages({QStringLiteral("--export=pptx"), page}).status, 0);
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), name + QStringLiteral("pptx"), QStringLiteral("ppt/media/*")});
    unzip.waitForFinished(30000);
    const QImage slide = QImage::fromData(unzip.readAllStandardOutput());
    ASSERT_FALSE(slide.isNull());
    EXPECT_NEAR(redRows(slide), 160.0 / 768, 0.03);

    const Result picture = exportPages({QStringLiteral("--export=png"), QStringLiteral("--quiet"), page});
    ASSERT_EQ(picture.status, 0);
    EXPECT_EQ(picture.lines, QStringList());
    const QImage png(name + QStringLiteral("png"));
    EXPECT_EQ(png.size(), QSize(1366, 768));
    EXPECT_NEAR(redRows(png), 160.0 / 768, 0.01);

    // The links to other sites only, in a document named apart from the page's own.
    ASSERT_EQ(exportPages({QStringLiteral("--export=links"), page}).status, 0);
    const QString links =
        TextFile::readText(convert(out.file(QStringLiteral("QuarterlyHarvestRepoLinks.doc")), QStringLiteral("txt")))
            .value_or(QString());
    EXPECT_EQ(links.trimmed(), QStringLiteral("http://elsewhere.example/almanac"));

    ASSERT_EQ(exportPages({QStringLiteral("--export=mht"), page}).status, 0);
    const QByteArray archive = out.read(QStringLiteral("QuarterlyHarvestRepo.mht"));
    EXPECT_TRUE(archive.contains("multipart/related")) << archive.left(300).toStdString();
    EXPECT_TRUE(archive.contains("Pomegranates ripened"));
}

// A list of pages, some on the command line, the rest read from standard input: a page
// that cannot be reached and one that never arrives are each said in one line that names
// them, the others are written, and the status says that not all went.
TEST_F(Batch, GoesOnPastPagesThatFailAndSaysWhich)
{
    server.addPage(QStringLiteral("/first"), simplePage("First page", "Artichokes grow in rows"));
    server.addPage(QStringLiteral("/second"), simplePage("Second page", "Beetroot keeps all winter"));
    server.addPage(QStringLiteral("/slow"), simplePage("Slow page", "never seen"), "text/html", 15000);
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString gone = QStringLiteral("http://127.0.0.1:%1/gone").arg(closed.serverPort());
    closed.close();
    // Typed as a user types it, without the scheme.
    const QString first = QStringLiteral("127.0.0.1:%1/first").arg(server.port());
    const QString slow = server.url(QStringLiteral("/slow"));
    const QString second = server.url(QStringLiteral("/second"));
    const QByteArray list = "# this week's pages\n\n" + gone.toUtf8() + "\r\n  " + slow.toUtf8() + "\n" + second.toUtf8();

    const Result result = exportPages({QStringLiteral("--export=odt"), QStringLiteral("--output=") + out.file(QStringLiteral("week/")),
                                       QStringLiteral("--wait=4"), QStringLiteral("--urls-file=-"), first},
                                      list);
    EXPECT_EQ(result.status, 1);
    const QString firstFile = out.file(QStringLiteral("week/Firstpage.odt"));
    const QString secondFile = out.file(QStringLiteral("week/Secondpage.odt"));
    ASSERT_EQ(result.lines.size(), 5) << str(result.lines.join(u'\n'));
    EXPECT_EQ(result.lines.at(0), QStringLiteral("quorloffice: [1/4] ") + first + QStringLiteral(" -> ") + firstFile);
    EXPECT_TRUE(result.lines.at(1).startsWith(QStringLiteral("quorloffice: [2/4] ") + gone
                                              + QStringLiteral(": The page could not be loaded: ")))
        << str(result.lines.at(1));
    EXPECT_EQ(result.lines.at(2), QStringLiteral("quorloffice: [3/4] ") + slow
                                      + QStringLiteral(": The page did not load in the time allowed, in seconds: 4"));
    EXPECT_EQ(result.lines.at(3), QStringLiteral("quorloffice: [4/4] ") + second + QStringLiteral(" -> ") + secondFile);
    EXPECT_EQ(result.lines.at(4), QStringLiteral("quorloffice: Pages not exported: 2/4"));
    EXPECT_EQ(QDir(out.file(QStringLiteral("week"))).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(PageWords::inOrder(PageWords::words(QStringLiteral("First page Artichokes grow in rows")), wordsOf(firstFile)), 1.0);
    EXPECT_EQ(PageWords::inOrder(PageWords::words(QStringLiteral("Second page Beetroot keeps all winter")), wordsOf(secondFile)),
              1.0);
}

// A name the program derives never replaces a file that is there: the next free one is
// taken, and said, also for the PDF's word-processor document beside it. A file the user
// names is replaced, by a complete new one.
TEST_F(Batch, KeepsAFileInTheWayOfADerivedNameAndReplacesANamedOne)
{
    out.write(QStringLiteral("QuarterlyHarvestRepo.pdf"), "the user's own PDF");
    out.write(QStringLiteral("QuarterlyHarvestRepo (2).doc"), "the user's own document");
    const QString page = server.url(QStringLiteral("/article"));
    const Result derived = exportPages({QStringLiteral("--export=pdf"), QStringLiteral("--quiet"), page});
    ASSERT_EQ(derived.status, 0) << str(derived.lines.join(u'\n'));
    const QString said = QStringLiteral(": A file of this name is there already, so this one was saved as: ");
    EXPECT_EQ(derived.lines,
              (QStringList{QStringLiteral("quorloffice: ") + out.file(QStringLiteral("QuarterlyHarvestRepo.pdf")) + said
                               + out.file(QStringLiteral("QuarterlyHarvestRepo (2).pdf")),
                           QStringLiteral("quorloffice: ") + out.file(QStringLiteral("QuarterlyHarvestRepo (2).doc")) + said
                               + out.file(QStringLiteral("QuarterlyHarvestRepo (2) (2).doc"))}));
    EXPECT_EQ(out.read(QStringLiteral("QuarterlyHarvestRepo.pdf")), "the user's own PDF");
    EXPECT_EQ(out.read(QStringLiteral("QuarterlyHarvestRepo (2).doc")), "the user's own document");
    EXPECT_TRUE(wordsOf(out.file(QStringLiteral("QuarterlyHarvestRepo (2).pdf"))).contains(QStringLiteral("Pomegranates")));
    EXPECT_TRUE(QFileInfo::exists(out.file(QStringLiteral("QuarterlyHarvestRepo (2) (2).doc"))));

    // Named by the user, without its extension: the file is the export's, in place of
    // the one that was there.
    out.write(QStringLiteral("mine.png"), "old");
    const Result named = exportPages({QStringLiteral("--export=png"), QStringLiteral("--output=mine"), page});
    ASSERT_EQ(named.status, 0);
    EXPECT_EQ(named.lines, QStringList{QStringLiteral("quorloffice: [1/1] ") + page + QStringLiteral(" -> ")
                                       + out.file(QStringLiteral("mine.png"))});
    EXPECT_EQ(QImage(out.file(QStringLiteral("mine.png"))).size(), QSize(1366, 768));
}

// The exports load pages as the user's window does, logged in where the user is; they
// change nothing of the window's files, its engine storage least of all; and they work
// with the window open on the same folder, which goes on undisturbed.
TEST_F(Batch, ExportsAsTheUserIsLoggedInAndLeavesTheWindowsFilesAlone)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    server.addPage(QStringLiteral("/login"), simplePage("Welcome", "You are logged in"));
    server.addHeader(QStringLiteral("/login"), "Set-Cookie: member=turnip; Max-Age=86400; Path=/");
    server.addPage(QStringLiteral("/ledger"), simplePage("Members ledger", "Secret turnips for members only"));
    server.requireCookie(QStringLiteral("/ledger"), "member=turnip");
    QFile::remove(folder.file(QStringLiteral("Data/QuorlOffice.Opt")));
    folder.writeOptions(server.url(QStringLiteral("/login")));

    // The user logs in in the window, which keeps the cookie in its storage.
    TempFolder windowHome;
    QProcess window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), windowHome.path());
    window.setProcessEnvironment(env);
    window.setProcessChannelMode(QProcess::MergedChannels);
    auto startWindow = [&] {
        window.start(QStringLiteral(QUORL_PROGRAM_DIR "/QuorlOffice"), {QStringLiteral("--program-folder"), folder.path()});
        QByteArray log;
        return QTest::qWaitFor([&] {
            log += window.readAll();
            return log.contains("home page loaded");
        }, 30000);
    };
    auto closeWindow = [&] {
        const QString id = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--pid"), QString::number(window.processId()),
                                                           QStringLiteral("--name"), QStringLiteral("^QuorlOffice$")})
                               .split(u'\n')
                               .value(0);
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), id});
        return QTest::qWaitFor([&] { return window.state() == QProcess::NotRunning; }, 20000) && window.exitCode() == 0;
    };
    ASSERT_TRUE(startWindow());
    ASSERT_TRUE(closeWindow());

    auto snapshot = [&] {
        QStringList files;
        for (const QString &file : filesBelow(folder.path())) {
            const QFileInfo info(file);
            files.append(file + QStringLiteral(" %1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
        }
        return files;
    };
    const QStringList before = snapshot();
    ASSERT_TRUE(before.join(u'\n').contains(QStringLiteral("/Data/Engine/Cookies ")));
    const QString ledger = server.url(QStringLiteral("/ledger"));
    const QStringList words = PageWords::words(QStringLiteral("Members ledger Secret turnips for members only"));
    const Result alone = exportPages({QStringLiteral("--export=doc"), ledger});
    EXPECT_EQ(alone.status, 0) << str(alone.lines.join(u'\n'));
    EXPECT_EQ(PageWords::inOrder(words, wordsOf(out.file(QStringLiteral("Membersledger.doc")))), 1.0);
    EXPECT_EQ(snapshot(), before);

    // With the window open on the folder.
    ASSERT_TRUE(startWindow());
    const Result beside = exportPages({QStringLiteral("--export=doc"), QStringLiteral("--output=beside.doc"), ledger});
    EXPECT_EQ(beside.status, 0) << str(beside.lines.join(u'\n'));
    EXPECT_EQ(PageWords::inOrder(words, wordsOf(out.file(QStringLiteral("beside.doc")))), 1.0);
    EXPECT_EQ(window.state(), QProcess::Running);
    EXPECT_TRUE(closeWindow());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
