// The user's files around the exports: nothing replaced that the user did not choose,
// an old file replaced only by a complete new one, nothing left behind, failures said
// in words; and the export's progress, its cancel and a worker that hangs.
#include "export/exportfixture.h"
#include "export/exportprogress.h"
#include "export/exporttimings.h"
#include "export/pagecapture.h"
#include "support/docpage.h"

#include <QClipboard>
#include <QDirIterator>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <csignal>

namespace {

const QByteArray kArticle = R"(<html><head><title>Harbour news</title></head><body>
<h1>Boats in the harbour</h1><p>Seven boats came in on the morning tide.</p>
<table border="1"><tr><th>Boat</th><th>Length</th></tr><tr><td>Gull</td><td>12</td></tr></table>
<p><a href="http://elsewhere.example.net/a">Elsewhere</a> <a href="http://another.example.org/b">Another</a>
<a href="http://third.example.com/c">Third</a></p></body></html>)";

QStringList everythingIn(const QString &path)
{
    QStringList found;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(it.next());
    return found;
}

class UserFilesTest : public ExportTest
{
protected:
    // What the program left in its temporary folder, but for its own private folder there.
    QStringList leftInTmp()
    {
        const QString own = folder.file(QStringLiteral("tmp/quorloffice-")) + QString::number(::geteuid());
        QStringList left = everythingIn(folder.file(QStringLiteral("tmp")));
        left.removeAll(own);
        return left;
    }
    void SetUp() override
    {
        ExportTest::SetUp();
        server.addPage(QStringLiteral("/article"), kArticle);
        temporaryFilesInTmp();
    }
    void TearDown() override
    {
        OfficeWorker::setIdleLimit(30000);
        for (const QString &m : mounts)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m});
        ExportTest::TearDown();
    }
    // Runs action once, when the status panel first shows the text.
    void whenStatusShows(const QString &text, const std::function<void()> &action)
    {
        auto *poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, text, action] {
            if (window->statusText()->text() == text) {
                poll->stop();
                action();
                poll->deleteLater();
            }
        });
        poll->start(5);
    }
    // A small file system of its own at folder/name; false where this machine cannot
    // mount one.
    bool mountSmall(const QString &name, const QString &options)
    {
        folder.mkdir(name);
        const QString at = folder.file(name);
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                        QStringLiteral("-o"), options, QStringLiteral("tmpfs"), at})
            != 0)
            return false;
        mounts.append(at);
        return true;
    }

    QStringList mounts;
};

} // namespace

TEST_F(UserFilesTest, AnOldFileIsReplacedOnlyByACompleteNewOneAndNothingIsLeftBehind)
{
    open("/article");
    folder.mkdir(QStringLiteral("out"));
    folder.write(QStringLiteral("out/news.xls"), "the user's old workbook");
    // The worker is killed while it saves.
    whenStatusShows(lang().entry(260), [this] {
        for (qint64 pid : workerProcesses())
            ::kill(static_cast<pid_t>(pid), SIGKILL);
    });
    exportTo("SAVE:EXCEL", folder.file(QStringLiteral("out/news.xls")));
    EXPECT_TRUE(lastMessage().startsWith(lang().entry(221))) << str(lastMessage());
    EXPECT_EQ(folder.read(QStringLiteral("out/news.xls")), QByteArray("the user's old workbook"));
    EXPECT_EQ(everythingIn(folder.file(QStringLiteral("out"))), QStringList{folder.file(QStringLiteral("out/news.xls"))});
    EXPECT_TRUE(leftInTmp().isEmpty()) << str(leftInTmp().join(u'\n'));
    EXPECT_TRUE(workerProcesses().isEmpty());

    // Every export, run to its end: the chosen files and nothing else.
    exportTo("SAVE:EXCEL", folder.file(QStringLiteral("out/news.xls")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + folder.file(QStringLiteral("out/news.xls")));
    EXPECT_TRUE(folder.read(QStringLiteral("out/news.xls")).startsWith("\xD0\xCF\x11\xE0"));
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("out/news.doc")));
    exportTo("SAVE:PDF", folder.file(QStringLiteral("out/print.pdf")));
    exportTo("SAVE:PPT", folder.file(QStringLiteral("out/news.ppt")));
    QStringList expected;
    for (const char *name : {"out/news.doc", "out/news.ppt", "out/news.xls", "out/print.doc", "out/print.pdf"})
        expected.append(folder.file(QString::fromLatin1(name)));
    QStringList present = everythingIn(folder.file(QStringLiteral("out")));
    present.sort();
    EXPECT_EQ(present, expected);
    EXPECT_TRUE(leftInTmp().isEmpty()) << str(leftInTmp().join(u'\n'));
}

TEST_F(UserFilesTest, FilesInTheWayAreNeverReplaced)
{
    open("/article");
    // The PDF's side document takes the next free name beside a file of the user's.
    folder.mkdir(QStringLiteral("out"));
    folder.write(QStringLiteral("out/Page.doc"), "the user's own letter");
    folder.write(QStringLiteral("out/Page (2).doc"), "another of the user's files");
    const QString pdf = folder.file(QStringLiteral("out/Page.pdf"));
    exportTo("SAVE:PDF", pdf);
    EXPECT_EQ(folder.read(QStringLiteral("out/Page.doc")), QByteArray("the user's own letter"));
    EXPECT_EQ(folder.read(QStringLiteral("out/Page (2).doc")), QByteArray("another of the user's files"));
    ASSERT_TRUE(folder.exists(QStringLiteral("out/Page (3).doc")));
    EXPECT_TRUE(textOf(folder.file(QStringLiteral("out/Page (3).doc"))).contains(QStringLiteral("Seven boats")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + pdf + u'\n' + lang().entry(255) + u'\n'
                                 + folder.file(QStringLiteral("out/Page (3).doc")));

    // Page pictures skip the numbers whose files are there, whatever their spelling.
    folder.write(QStringLiteral("Images/Quorl000.bmp"), "an earlier run's picture");
    folder.write(QStringLiteral("Images/QUORL001.BMP"), "another");
    click(3, "EDIT:PICTURE");
    EXPECT_EQ(folder.read(QStringLiteral("Images/Quorl000.bmp")), QByteArray("an earlier run's picture"));
    EXPECT_EQ(folder.read(QStringLiteral("Images/QUORL001.BMP")), QByteArray("another"));
    EXPECT_EQ(lastMessage(), lang().entry(192) + QStringLiteral(": ") + folder.file(QStringLiteral("Images/Quorl002.bmp")));
    EXPECT_EQ(window->state().pictureCount, 3);

    // A name typed without an extension gets the filter's; one with a format's keeps it.
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("out/typed")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + folder.file(QStringLiteral("out/typed.doc")));
    EXPECT_TRUE(folder.read(QStringLiteral("out/typed.doc")).startsWith("\xD0\xCF\x11\xE0"));
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("out/typed.odt")));
    EXPECT_TRUE(folder.read(QStringLiteral("out/typed.odt")).startsWith("PK"));
}

TEST_F(UserFilesTest, FailuresToWriteAreSaidInWords)
{
    open("/article");
    folder.mkdir(QStringLiteral("a folder.doc"));
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("a folder.doc")));
    EXPECT_EQ(lastMessage(), lang().entry(253) + u'\n' + folder.file(QStringLiteral("a folder.doc")));
    EXPECT_TRUE(workerProcesses().isEmpty());

    if (!mountSmall(QStringLiteral("readonly"), QStringLiteral("ro,size=1m"))
        || !mountSmall(QStringLiteral("full"), QStringLiteral("size=4k")))
        GTEST_SKIP() << "this machine cannot mount a small file system";
    exportTo("SAVE:PDF", folder.file(QStringLiteral("readonly/page.pdf")));
    EXPECT_EQ(lastMessage(), lang().entry(252) + u'\n' + folder.file(QStringLiteral("readonly/page.pdf")));
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("full/page.doc")));
    EXPECT_EQ(lastMessage(), lang().entry(251) + u'\n' + folder.file(QStringLiteral("full/page.doc")));
    EXPECT_TRUE(everythingIn(folder.file(QStringLiteral("full"))).isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);

    // The slide and the saved page name the cause as well.
    for (const char *key : {"SAVE:PPT", "SAVE:HTML"}) {
        const QString inTheWay = QString::fromLatin1(key) == QLatin1String("SAVE:PPT") ? QStringLiteral("a folder.ppt")
                                                                                       : QStringLiteral("a folder.mht");
        folder.mkdir(inTheWay);
        exportTo(key, folder.file(inTheWay));
        EXPECT_EQ(lastMessage(), lang().entry(253) + u'\n' + folder.file(inTheWay)) << key;
        exportTo(key, folder.file(QStringLiteral("readonly/page.ppt")));
        EXPECT_TRUE(lastMessage().startsWith(lang().entry(252) + u'\n')) << key << str(lastMessage());
        exportTo(key, folder.file(QStringLiteral("full/page.ppt")));
        EXPECT_TRUE(lastMessage().startsWith(lang().entry(251) + u'\n')) << key << str(lastMessage());
        EXPECT_TRUE(everythingIn(folder.file(QStringLiteral("full"))).isEmpty()) << key;
    }
}

TEST_F(UserFilesTest, ASavedPageOrAPrintedPdfReplacesAnOldFileOnlyWhole)
{
    // A long page of varied words: its archive and its PDF are far larger than the room
    // left on the disk.
    QByteArray body;
    for (int i = 0; body.size() < 400000; ++i)
        body += "<p>Paragraph " + QByteArray::number(i) + " of the long report, word " + QByteArray::number(i * 7919 % 10007)
                + " and word " + QByteArray::number(i * 104729 % 99991) + ".</p>";
    server.addPage(QStringLiteral("/long"), "<html><head><title>Long report</title></head><body>" + body + "</body></html>");
    open("/long");
    if (!mountSmall(QStringLiteral("small"), QStringLiteral("size=96k")))
        GTEST_SKIP() << "this machine cannot mount a small file system";
    const QByteArray old(40000, 'o');
    struct Case
    {
        const char *name;
        int format;
    };
    for (const Case &c : {Case{"small/old.mht", 0}, Case{"small/old.html", 1}, Case{"small/old only.html", 2}}) {
        const QString name = QString::fromLatin1(c.name);
        folder.write(name, old);
        dialogs.dialogs.filterChoices = {c.format};
        exportTo("SAVE:HTML", folder.file(name));
        EXPECT_EQ(lastMessage(), lang().entry(251) + u'\n' + folder.file(name)) << c.name;
        EXPECT_EQ(folder.read(name), old) << c.name;
        EXPECT_EQ(everythingIn(folder.file(QStringLiteral("small"))), QStringList{folder.file(name)}) << c.name;
        QFile::remove(folder.file(name));
    }
    folder.write(QStringLiteral("small/old.pdf"), old);
    dialogs.dialogs.printTo = folder.file(QStringLiteral("small/old.pdf"));
    click(0, "PRINT");
    EXPECT_EQ(lastMessage(), lang().entry(251) + u'\n' + folder.file(QStringLiteral("small/old.pdf")));
    EXPECT_EQ(folder.read(QStringLiteral("small/old.pdf")), old);
    EXPECT_EQ(everythingIn(folder.file(QStringLiteral("small"))), QStringList{folder.file(QStringLiteral("small/old.pdf"))});
    // Nothing of the engine's is left in the program's working folders either.
    EXPECT_TRUE(leftInTmp().isEmpty()) << str(leftInTmp().join(u'\n'));

    // With room, the saves are whole.
    dialogs.dialogs.filterChoices = {0};
    exportTo("SAVE:HTML", folder.file(QStringLiteral("long.mht")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + folder.file(QStringLiteral("long.mht")));
    EXPECT_TRUE(PageCapture::wholeArchive(folder.read(QStringLiteral("long.mht"))));
}

TEST_F(UserFilesTest, AHungWorkerIsEndedAndAWorkingOneIsNot)
{
    // A table long enough that putting it in takes longer than the worker may stay
    // silent: it keeps saying it is alive, so it is left to finish.
    server.addPage(QStringLiteral("/long"), longDocumentationPage(2, 4000));
    open("/long");
    OfficeWorker::setIdleLimit(1500);
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("long.doc")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + folder.file(QStringLiteral("long.doc")));
    double paste = 0;
    for (const auto &step : ExportTimings::steps())
        paste = step.first == QLatin1String("paste") ? step.second : paste;
    EXPECT_GT(paste, 1500) << "the step was too short to show anything";

    // A worker that stops (here: frozen) is ended soon after it falls silent.
    open("/article");
    whenStatusShows(lang().entry(259), [this] {
        for (qint64 pid : workerProcesses())
            ::kill(static_cast<pid_t>(pid), SIGSTOP);
    });
    QElapsedTimer clock;
    clock.start();
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("hung.doc")));
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_TRUE(lastMessage().startsWith(lang().entry(221))) << str(lastMessage());
    EXPECT_FALSE(folder.exists(QStringLiteral("hung.doc")));
    EXPECT_TRUE(workerProcesses().isEmpty());
}

TEST_F(UserFilesTest, TheStatusPanelShowsTheStepsAndCancelEndsTheExport)
{
    open("/article");
    window->statusText()->setText(QStringLiteral("before"));
    QStringList steps;
    QList<int> values;
    auto *watch = new QTimer(window.get());
    QObject::connect(watch, &QTimer::timeout, watch, [&] {
        const QString text = window->statusText()->text();
        if (steps.isEmpty() || steps.last() != text) {
            steps.append(text);
            for (int n : {257, 258, 259, 260})
                values.append(text == lang().entry(n) ? window->progressBar()->value() : -1);
            values.removeAll(-1);
        }
    });
    watch->start(2);
    // The closing message shows over a status panel put back: no step, no Cancel.
    QString statusDuringMessage;
    bool cancelDuringMessage = true;
    dialogs.dialogs.duringMessage = [&] {
        watch->stop();
        statusDuringMessage = window->statusText()->text();
        cancelDuringMessage = window->findChild<QToolButton *>(QStringLiteral("cancelExport")) != nullptr;
    };
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("steps.doc")));
    dialogs.dialogs.duringMessage = nullptr;
    watch->stop();
    EXPECT_EQ(statusDuringMessage, QStringLiteral("before"));
    EXPECT_FALSE(cancelDuringMessage);
    for (int n : {257, 258, 259, 260})
        EXPECT_TRUE(steps.contains(lang().entry(n))) << n << ": " << str(steps.join(u'|'));
    // The bar moves on with each step.
    ASSERT_GE(values.size(), 4);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << str(steps.join(u'|'));
    EXPECT_GT(values.last(), values.first());
    EXPECT_EQ(window->statusText()->text(), QStringLiteral("before"));
    EXPECT_EQ(window->findChild<QToolButton *>(QStringLiteral("cancelExport")), nullptr);

    // The Cancel button in the status panel ends the export: no file, no message.
    const qsizetype shown = dialogs.dialogs.messages.size();
    whenStatusShows(lang().entry(259), [this] {
        auto *cancel = window->findChild<QToolButton *>(QStringLiteral("cancelExport"));
        ASSERT_TRUE(cancel);
        EXPECT_TRUE(cancel->isVisible());
        EXPECT_EQ(cancel->text(), lang().entry(256));
        cancel->click();
    });
    exportTo("SAVE:PDF", folder.file(QStringLiteral("cancelled.pdf")));
    EXPECT_EQ(dialogs.dialogs.messages.size(), shown);
    EXPECT_FALSE(folder.exists(QStringLiteral("cancelled.pdf")));
    EXPECT_FALSE(folder.exists(QStringLiteral("cancelled.doc")));
    EXPECT_TRUE(workerProcesses().isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);

    // Escape does the same.
    whenStatusShows(lang().entry(258), [this] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &escape);
    });
    exportTo("SAVE:EXCEL", folder.file(QStringLiteral("cancelled.xls")));
    EXPECT_EQ(dialogs.dialogs.messages.size(), shown);
    EXPECT_FALSE(folder.exists(QStringLiteral("cancelled.xls")));
}

TEST_F(UserFilesTest, PropertiesLinksPageSourceAndOpening)
{
    open("/article");
    // Document properties: the page's title, its address and the export's date.
    const QString odt = folder.file(QStringLiteral("props.odt"));
    exportTo("SAVE:WORDH", odt);
    const QString flatOdt = flat(odt, QStringLiteral("fodt"));
    EXPECT_TRUE(flatOdt.contains(QStringLiteral("<dc:title>Harbour news</dc:title>"))) << str(flatOdt.left(2000));
    EXPECT_TRUE(flatOdt.contains(QStringLiteral("<dc:subject>") + url("/article") + QStringLiteral("</dc:subject>")));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_TRUE(flatOdt.contains(QStringLiteral("<dc:date>") + today));
    const QString pdf = folder.file(QStringLiteral("props.pdf"));
    exportTo("SAVE:PDF", pdf);
    const QString info = pdfInfo(pdf);
    EXPECT_TRUE(info.contains(QStringLiteral("Harbour news"))) << str(info);
    EXPECT_TRUE(info.contains(url("/article")));
    const QString ods = folder.file(QStringLiteral("props.ods"));
    exportTo("SAVE:EXCEL", ods);
    ASSERT_EQ(lastMessage(), lang().entry(108) + ods);
    EXPECT_TRUE(flat(ods, QStringLiteral("fods")).contains(QStringLiteral("<dc:title>Harbour news</dc:title>")));

    // Links.Doc: one paragraph per link, none empty between them.
    click(3, "SAVE:GETLINKS");
    const QString links = flat(folder.file(QStringLiteral("Links.Doc")), QStringLiteral("fodt"));
    static const QRegularExpression paragraph(QStringLiteral("<text:p[^>]*?(/>|>(.*?)</text:p>)"));
    QStringList texts;
    for (auto it = paragraph.globalMatch(links); it.hasNext();)
        texts.append(it.next().captured(2));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("http://elsewhere.example.net/a"),
                                  QStringLiteral("http://another.example.org/b"),
                                  QStringLiteral("http://third.example.com/c")}));

    // Nothing can open the file: the user is told which.
    shell.shell.opens = false;
    click(3, "SAVE:GETLINKS");
    EXPECT_EQ(lastMessage(), lang().entry(254) + u'\n' + folder.file(QStringLiteral("Links.Doc")));
    click(3, "EDIT:VIEW");
    EXPECT_EQ(lastMessage(), lang().entry(254) + u'\n' + folder.file(QStringLiteral("Doc.Txt")));
}

TEST_F(UserFilesTest, PageSourceKeepsThePagesEncoding)
{
    server.addPage(QStringLiteral("/utf8"),
                   "<html><head><meta charset=\"utf-8\"><title>Caf\xc3\xa9</title></head><body>"
                   "<p>Caf\xc3\xa9 cr\xc3\xa8me</p></body></html>");
    server.addPage(QStringLiteral("/cyrillic"),
                   "<html><head><title>x</title></head><body><p>\xcf\xf0\xe8\xe2\xe5\xf2</p></body></html>",
                   "text/html; charset=windows-1251");
    open("/utf8");
    click(3, "EDIT:VIEW");
    EXPECT_TRUE(folder.read(QStringLiteral("Doc.Txt")).contains("<p>Caf\xc3\xa9 cr\xc3\xa8me</p>"));
    open("/cyrillic");
    click(3, "EDIT:VIEW");
    EXPECT_TRUE(folder.read(QStringLiteral("Doc.Txt")).contains("<p>\xcf\xf0\xe8\xe2\xe5\xf2</p>"))
        << folder.read(QStringLiteral("Doc.Txt")).toStdString();
}
