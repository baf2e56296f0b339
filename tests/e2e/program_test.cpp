// The built program itself, started in a temporary program folder on the test's
// display and driven with real pointer and keyboard events.
#include "support/httpserver.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QImage screen()
{
    QProcess p;
    p.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    p.waitForFinished(20000);
    return QImage::fromData(p.readAllStandardOutput(), "PNG");
}

void xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(20000);
    EXPECT_EQ(p.exitCode(), 0) << str(arguments.join(u' '));
}

} // namespace

TEST(Program, OpensATypedAddressAndKeepsItInTheHistory)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"));
    HttpServer server;
    server.addPage(QStringLiteral("/home"), "<html><head><title>Home</title></head><body>home</body></html>");
    server.addPage(QStringLiteral("/typed"),
                   "<html><head><title>Typed page</title></head><body><h1>Typed by hand</h1></body></html>");
    ProgramFolder folder;
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/home")));
    const QString exe = folder.file(QStringLiteral("QuorlOffice"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORL_PROGRAM_DIR "/QuorlOffice"), exe));

    QProcess program;
    program.setWorkingDirectory(folder.path());
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(exe, {});
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray log;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        log += program.readAllStandardError();
        return log.contains("home page loaded");
    }, 30000)) << log.toStdString();

    const QString window = run(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--pid"),
                                QString::number(program.processId()), QStringLiteral("--name"),
                                QStringLiteral("^QuorlOffice$")})
                               .split(u'\n')
                               .value(0);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window}), QStringLiteral("QuorlOffice"));

    QTest::qWait(300);
    const QRect firstTab(330, 2, 90, 20);
    const QImage before = screen().copy(firstTab);

    // The address box starts right of the 450-pixel tab strip; click into it and type.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("820"),
             QStringLiteral("12"), QStringLiteral("click"), QStringLiteral("1")});
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
    // By another name of the loopback host, so the tab's caption must change.
    const QString typed = QStringLiteral("http://localhost:%1/typed").arg(server.port());
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), typed});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/typed")) > 0; }, 15000));
    QTest::qWait(800);
    // The tab caption changed from the home page's to the typed one's.
    EXPECT_NE(screen().copy(firstTab), before);
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window}), QStringLiteral("QuorlOffice"));

    // The exit button, first on the main toolbar.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("13"),
             QStringLiteral("12"), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitCode(), 0);
    const auto history = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Hys")));
    ASSERT_TRUE(history.has_value());
    EXPECT_EQ(*history, QStringList{typed});
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
