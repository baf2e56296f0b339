// The built program itself, started in a temporary program folder on a display with a
// window manager and driven with real pointer and keyboard events, as a user would.
#include "support/httpserver.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
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

// Every file below a folder.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

// The program as a user starts it: a home folder of its own with nothing in it.
class ProgramRun
{
public:
    ProgramRun(ProgramFolder &folder, const QString &home)
    {
        exe = folder.file(QStringLiteral("QuorlOffice"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(QUORL_PROGRAM_DIR "/QuorlOffice"), exe));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *key : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
            env.remove(QString::fromLatin1(key));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder.path());
        program.setProcessChannelMode(QProcess::SeparateChannels);
    }

    bool start()
    {
        program.start(exe, {});
        if (!program.waitForStarted(10000))
            return false;
        const bool loaded = QTest::qWaitFor([&] {
            log += program.readAllStandardError();
            return log.contains("home page loaded");
        }, 30000);
        if (!loaded)
            return false;
        // The window of the program that the window manager shows.
        window = run(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                      QString::number(program.processId()), QStringLiteral("--name"), QStringLiteral("^QuorlOffice$")})
                     .split(u'\n')
                     .value(0);
        return !window.isEmpty();
    }

    // Where the window's inside is on the screen (inside the window manager's frame).
    QPoint origin() const
    {
        const QStringList lines = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}).split(u'\n');
        QPoint p;
        for (const QString &line : lines) {
            const QString value = line.section(u':', 1).trimmed();
            if (line.contains(QLatin1String("Absolute upper-left X")))
                p.setX(value.toInt());
            else if (line.contains(QLatin1String("Absolute upper-left Y")))
                p.setY(value.toInt());
        }
        return p;
    }

    QString exe;
    QProcess program;
    QByteArray log;
    QString window;
};

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
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n12000\r\n15000\r\n");
    TempFolder home;
    ProgramRun app(folder, home.path());
    ASSERT_TRUE(app.start()) << app.log.toStdString();
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), app.window}), QStringLiteral("QuorlOffice"));

    // The tab strip starts right of the main toolbar (304 pixels); its first tab shows
    // the home page's caption.
    const QPoint origin = app.origin();
    const QRect firstTab = QRect(330, 2, 90, 20).translated(origin);
    QTest::qWait(300);
    const QImage before = screen().copy(firstTab);

    // The address box lies right of the tab strip, which gives way to it in a window
    // this narrow; click into it and type.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), app.window, QStringLiteral("700"),
             QStringLiteral("12"), QStringLiteral("click"), QStringLiteral("1")});
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
    // By another name of the loopback host, so the tab's caption must change.
    const QString typed = QStringLiteral("http://localhost:%1/typed").arg(server.port());
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), typed});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/typed")) > 0; }, 15000));
    // The tab caption changes from the home page's to the typed one's.
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen().copy(firstTab) != before; }, 10000));
    EXPECT_EQ(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), app.window}), QStringLiteral("QuorlOffice"));

    // The exit button, first on the main toolbar.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), app.window, QStringLiteral("13"),
             QStringLiteral("12"), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.program.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(app.program.exitCode(), 0);
    const auto history = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Hys")));
    ASSERT_TRUE(history.has_value());
    EXPECT_EQ(*history, QStringList{typed});
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
    // The window came back where it was, frame included.
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini")))->mid(0, 4),
              (QStringList{QStringLiteral("1500"), QStringLiteral("1500"), QStringLiteral("12000"),
                           QStringLiteral("15000")}));
    // All of the program's data stays below its own folder: nothing in the home folder.
    EXPECT_EQ(filesBelow(home.path()), QStringList());
}

// A page that shows one dialog after another: the window manager's close of the main
// window still ends the program, normally, its files written.
TEST(Program, ClosesWhileAPageShowsDialogAfterDialog)
{
    HttpServer server;
    server.addPage(QStringLiteral("/home"),
                   "<html><head><title>Trap</title></head><body>trap<script>"
                   "setTimeout(function(){ for (;;) alert('trapped'); }, 300);</script></body></html>");
    ProgramFolder folder;
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/home")));
    QFile::remove(folder.file(QStringLiteral("Data/QuorlOffice.Opt")));
    folder.writeOptions(server.url(QStringLiteral("/home")), 2);
    TempFolder home;
    ProgramRun app(folder, home.path());
    ASSERT_TRUE(app.start()) << app.log.toStdString();
    // The page's first dialog is up.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                               QStringLiteral("--pid"), QString::number(app.program.processId())})
                   .split(u'\n')
                   .size()
               >= 2;
    }, 10000));
    run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), app.window});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.program.state() == QProcess::NotRunning; }, 15000))
        << "the program is held by the page's dialogs";
    EXPECT_EQ(app.program.exitCode(), 0);
    // The exit sequence ran: the options were written with the style the run had.
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->value(0), QStringLiteral("2"));
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
}

// A screen wider than 2184 pixels: with no settings file the window fills it, and the
// settings file holds the whole width.
TEST(Program, FillsAWideScreenAndKeepsItsWidth)
{
    HttpServer server;
    server.addPage(QStringLiteral("/home"), "<html><head><title>Home</title></head><body>home</body></html>");
    ProgramFolder folder;
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/home")));
    TempFolder home;
    ProgramRun app(folder, home.path());

    // A display of its own, 2560 by 1440, with its window manager: the program runs there
    // and is closed with the window manager's own close key.
    const QString script = QStringLiteral(R"(
        "$1" > "$2/log.txt" 2>&1 &
        pid=$!
        for i in $(seq 1 300); do grep -q "home page loaded" "$2/log.txt" && break; sleep 0.1; done
        xdotool search --sync --onlyvisible --pid $pid --name '^QuorlOffice$' getwindowgeometry > "$2/geometry.txt"
        win=$(xdotool search --onlyvisible --pid $pid --name '^QuorlOffice$' | head -1)
        # The close key goes to the active window; it is pressed again until the
        # program has gone, in case the window was not yet active.
        for attempt in $(seq 1 10); do
            xdotool windowactivate --sync $win key --clearmodifiers alt+F4
            for i in $(seq 1 20); do kill -0 $pid 2>/dev/null || break 2; sleep 0.1; done
        done
        wait $pid
    )");
    QProcess display;
    display.setProcessEnvironment(app.program.processEnvironment());
    display.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 2560x1440x24"),
                   QStringLiteral(QUORL_SOURCE_DIR "/scripts/desktop-session.sh"), QStringLiteral("bash"),
                   QStringLiteral("-c"), script, QStringLiteral("_"), app.exe, home.path()});
    // The loopback server answers from this process's event loop meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return display.state() == QProcess::NotRunning; }, 90000));
    const auto ini = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini")));
    ASSERT_TRUE(ini.has_value()) << home.read(QStringLiteral("geometry.txt")).toStdString()
                                 << home.read(QStringLiteral("log.txt")).toStdString();
    EXPECT_EQ(ini->value(3).toInt(), 2560 * 15);
    EXPECT_EQ(ini->value(2).toInt(), 1440 * 15);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
