// The office worker started ahead: the next export takes it as its own and ends it, a
// new one follows at once, so the export right after takes one too; one that dies is
// replaced without a word, one that cannot start is not started over and over, and at
// the exit nothing is left running or lying in the temporary folder.
#include "export/exportfixture.h"
#include "platform/office/officespare.h"

#include <QFile>
#include <QLabel>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace {

const QByteArray kArticle = R"(<html><head><title>Harbour news</title></head><body>
<h1>Boats in the harbour</h1><p>Seven boats came in on the morning tide.</p>
<table border="1"><tr><th>Boat</th><th>Length</th></tr><tr><td>Gull</td><td>12</td></tr></table>
</body></html>)";

class WarmWorkerTest : public ExportTest
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        server.addPage(QStringLiteral("/article"), kArticle);
        OfficeSpare::setEnabled(true);
        temporaryFilesInTmp();
    }
    void TearDown() override
    {
        ExportTest::TearDown();
        OfficeSpare::setEnabled(false);
    }

    OfficeSpare *spare() const { return window->exports().spare(); }
    // Waits for a spare (other than the one of process before) in which LibreOffice has
    // started; its process id, 0 when none came.
    qint64 readySpare(qint64 before = 0, int timeoutMs = 30000)
    {
        if (!QTest::qWaitFor([&] { return spare()->ready() && spare()->processId() != before; }, timeoutMs))
            return 0;
        return spare()->processId();
    }
    static bool alive(qint64 pid) { return pid > 0 && QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }
    // The workers' folders, which live in the program's private folder there, and
    // anything else in the temporary folder.
    QStringList temporaryFolders() const
    {
        const QString own = QStringLiteral("quorloffice-") + QString::number(::geteuid());
        const QDir tmp(folder.file(QStringLiteral("tmp")));
        QStringList found = tmp.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (found.removeAll(own) > 0)
            found += QDir(tmp.filePath(own)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        return found;
    }
};

// The worker processes the export had while it put the page into the document.
class StepWatch : public QObject
{
public:
    StepWatch(QLabel *status, const QString &step, std::function<QList<qint64>()> workers)
    {
        connect(&m_poll, &QTimer::timeout, this, [this, status, step, workers] {
            if (status->text() == step && m_seen.isEmpty())
                m_seen = workers();
        });
        m_poll.start(2);
    }
    QList<qint64> seen() const { return m_seen; }

private:
    QTimer m_poll;
    QList<qint64> m_seen;
};

} // namespace

TEST_F(WarmWorkerTest, EachExportTakesAWorkerStartedAheadAlsoRightAfterAnother)
{
    open("/article");
    // Once the program is idle after its start, a worker waits with LibreOffice started.
    const qint64 first = readySpare();
    ASSERT_GT(first, 0);
    EXPECT_EQ(workerProcesses(), QList<qint64>{first});

    // The export puts the page into the document with that very worker, which ends with
    // it; the next one has started while the export's message is still read.
    StepWatch watch(window->statusText(), lang().entry(259), [this] { return workerProcesses(); });
    qint64 second = 0;
    QList<qint64> duringMessage;
    dialogs.dialogs.duringMessage = [&] {
        second = readySpare(first);
        duringMessage = workerProcesses();
    };
    const QString target = folder.file(QStringLiteral("news.doc"));
    exportTo("SAVE:WORDH", target);
    dialogs.dialogs.duringMessage = nullptr;
    EXPECT_EQ(lastMessage(), lang().entry(108) + target);
    EXPECT_EQ(watch.seen(), QList<qint64>{first});
    ASSERT_GT(second, 0);
    EXPECT_FALSE(alive(first));
    EXPECT_EQ(duringMessage, QList<qint64>{second});
    // Its temporary folder is the only one.
    EXPECT_EQ(temporaryFolders().size(), 1) << str(temporaryFolders().join(u' '));

    // The export right after takes that one.
    StepWatch next(window->statusText(), lang().entry(259), [this] { return workerProcesses(); });
    const QString sheet = folder.file(QStringLiteral("news.xls"));
    exportTo("SAVE:EXCEL", sheet);
    EXPECT_EQ(lastMessage(), lang().entry(108) + sheet);
    EXPECT_EQ(next.seen(), QList<qint64>{second});

    // A cancelled export ends the worker it took; a new one follows.
    const qint64 third = readySpare(second);
    ASSERT_GT(third, 0);
    dialogs.dialogs.files = {QString()};
    click(3, "SAVE:PDF");
    EXPECT_FALSE(alive(third));
    const qint64 fourth = readySpare(third);
    ASSERT_GT(fourth, 0);
    EXPECT_EQ(workerProcesses(), QList<qint64>{fourth});
    EXPECT_EQ(temporaryFolders().size(), 1) << str(temporaryFolders().join(u' '));

    EXPECT_TRUE(textOf(target).contains(QStringLiteral("Seven boats came in on the morning tide.")));
    EXPECT_TRUE(flat(sheet, QStringLiteral("fods")).contains(QStringLiteral("Gull")));

    // An export that comes while the new worker is still making its first documents
    // takes it all the same, and saves its own document, not one of those.
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("again.doc")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return spare()->processId() > 0 && spare()->processId() != fourth; }, 10000));
    QTest::qWait(700);
    const QString early = folder.file(QStringLiteral("early.xls"));
    exportTo("SAVE:EXCEL", early);
    EXPECT_EQ(lastMessage(), lang().entry(108) + early);
    EXPECT_TRUE(flat(early, QStringLiteral("fods")).contains(QStringLiteral("Gull")));
}

// A batch of exports keeps its worker from one export to the next, LibreOffice started,
// until it has served its share; then a fresh one is started at once.
TEST_F(WarmWorkerTest, ABatchKeepsOneWorkerForItsShareOfExports)
{
    open("/article");
    spare()->keepWorkers(2);
    const qint64 first = readySpare();
    ASSERT_GT(first, 0);
    const QString one = folder.file(QStringLiteral("one.doc"));
    exportTo("SAVE:WORDH", one);
    EXPECT_EQ(lastMessage(), lang().entry(108) + one);
    EXPECT_EQ(workerProcesses(), QList<qint64>{first});
    EXPECT_TRUE(spare()->ready());
    EXPECT_EQ(spare()->processId(), first);

    // The next export works with it, its document in place of the one before.
    const QString two = folder.file(QStringLiteral("two.xls"));
    exportTo("SAVE:EXCEL", two);
    EXPECT_EQ(lastMessage(), lang().entry(108) + two);
    EXPECT_TRUE(flat(two, QStringLiteral("fods")).contains(QStringLiteral("Gull")));
    EXPECT_TRUE(textOf(one).contains(QStringLiteral("Seven boats came in on the morning tide.")));
    // Its share served, it has ended, and the next has started without waiting for
    // the program to be idle.
    EXPECT_FALSE(alive(first));
    const qint64 second = readySpare(first, 15000);
    EXPECT_GT(second, 0);
}

TEST_F(WarmWorkerTest, OneThatDiesIsReplacedQuietlyAndTheExitLeavesNothing)
{
    open("/article");
    const qint64 first = readySpare();
    ASSERT_GT(first, 0);
    dialogs.dialogs.messages.clear();
    ::kill(static_cast<pid_t>(first), SIGKILL);
    const qint64 second = readySpare(first);
    ASSERT_GT(second, 0);
    EXPECT_EQ(workerProcesses(), QList<qint64>{second});
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty()) << str(lastMessage());
    // The dead one's temporary folder went with it.
    EXPECT_EQ(temporaryFolders().size(), 1) << str(temporaryFolders().join(u' '));

    // The replacement serves an export like any other.
    exportTo("SAVE:EXCEL", folder.file(QStringLiteral("news.xls")));
    EXPECT_EQ(lastMessage(), lang().entry(108) + folder.file(QStringLiteral("news.xls")));
    EXPECT_TRUE(flat(folder.file(QStringLiteral("news.xls")), QStringLiteral("fods")).contains(QStringLiteral("Gull")));

    // The exit ends the spare there is: no process, no temporary folder.
    ASSERT_GT(readySpare(), 0);
    window->goExit();
    EXPECT_TRUE(workerProcesses().isEmpty());
    EXPECT_TRUE(temporaryFolders().isEmpty()) << str(temporaryFolders().join(u' '));
    // And none is started after it.
    QTest::qWait(OfficeSpare::kIdleMs + 500);
    EXPECT_TRUE(workerProcesses().isEmpty());
}

TEST_F(WarmWorkerTest, AWorkerThatCannotStartIsNotStartedOverAndOver)
{
    // A worker that ends at once, noting each start.
    const QString starts = folder.file(QStringLiteral("starts.log"));
    QFile::remove(folder.file(QStringLiteral("quorl-office")));
    folder.write(QStringLiteral("quorl-office"),
                 QStringLiteral("#!/bin/sh\necho started >> '%1'\nexit 1\n").arg(starts).toUtf8());
    QFile::setPermissions(folder.file(QStringLiteral("quorl-office")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto count = [&] { return folder.read(QStringLiteral("starts.log")).count('\n'); };
    open("/article");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count() >= 3; }, 20000));
    QTest::qWait(3 * OfficeSpare::kIdleMs);
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(spare()->processId(), 0);
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty()) << str(lastMessage());

    // An export still says that the office application cannot be used, as it always did.
    exportTo("SAVE:WORDH", folder.file(QStringLiteral("news.doc")));
    EXPECT_TRUE(lastMessage().startsWith(lang().entry(220)) || lastMessage().startsWith(lang().entry(221)))
        << str(lastMessage());
    EXPECT_FALSE(folder.exists(QStringLiteral("news.doc")));
    EXPECT_TRUE(window->isVisible());
}
