// The built program itself, started in a temporary program folder on a display with a
// window manager and driven with real pointer and keyboard events, as a user would.
#include "support/httpserver.h"
#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <sys/stat.h>

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
    // folder: where the executable is put; arguments: the program's command line.
    ProgramRun(TempFolder &folder, const QString &home, QStringList arguments = {})
        : arguments(std::move(arguments))
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
        program.start(exe, arguments);
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
    QStringList arguments;
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

// The installed program runs where it lies and keeps its data in the folder its launcher
// names: the user's alone, also when an earlier version left it open to others, and
// whatever the umask. Nothing lands beside the executables or below the home.
TEST(Program, KeepsItsDataInTheFolderItIsGivenForTheUserAlone)
{
    HttpServer server;
    server.addPage(QStringLiteral("/home"), "<html><head><title>Home</title></head><body>home</body></html>");
    TempFolder programs;
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORL_PROGRAM_DIR "/quorl-office"), programs.file(QStringLiteral("quorl-office"))));
    ProgramFolder data;
    data.baseUrl = server.url(QStringLiteral("/"));
    data.installed(server.url(QStringLiteral("/home")));
    QFile::remove(data.file(QStringLiteral("quorl-office")));
    // Every folder and file open to others, as an earlier version left them.
    QDirIterator all(data.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString path = all.next();
        ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0755 : 0644);
    }
    ::chmod(QFile::encodeName(data.path()).constData(), 0755);
    TempFolder home;
    ProgramRun app(programs, home.path(), {QStringLiteral("--program-folder"), data.path()});
    const mode_t umaskBefore = ::umask(022);
    const bool started = app.start();
    ::umask(umaskBefore);
    ASSERT_TRUE(started) << app.log.toStdString();
    run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), app.window});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.program.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(app.program.exitCode(), 0);

    // The options were written at the exit, with the engine's storage and everything else.
    EXPECT_EQ(TextFile::readLines(data.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
    ASSERT_TRUE(QFileInfo(data.file(QStringLiteral("Data/Engine"))).isDir());
    QStringList open;
    QDirIterator below(data.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    QStringList checked{data.path()};
    while (below.hasNext())
        checked.append(below.next());
    for (const QString &path : checked) {
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISLNK(info.st_mode)
            && (info.st_mode & 077) != 0)
            open.append(QStringLiteral("%1 %2").arg(info.st_mode & 0777, 0, 8).arg(path));
    }
    EXPECT_GT(checked.size(), 20);
    EXPECT_EQ(open, QStringList());
    QStringList beside = QDir(programs.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    beside.sort();
    EXPECT_EQ(beside, (QStringList{QStringLiteral("QuorlOffice"), QStringLiteral("quorl-office")}));
    EXPECT_EQ(filesBelow(home.path()), QStringList());
}

// A launcher that could not set up the user's folder has the program show why: in a
// window that fits on the screen, the long reason wrapped rather than cut off.
TEST(Program, ShowsTheLaunchersReasonWholeInAWindowThatFits)
{
    TempFolder programs;
    TempFolder home;
    const QString reason = QStringLiteral(
        "Cannot copy QuorlOffice's files into your folder /home/someone/.local/share/QuorlOffice: cp: error "
        "writing \u2018/home/someone/.local/share/QuorlOffice/.templateh.doc.new\u2019: No space left on device");
    ProgramRun app(programs, home.path(), {QStringLiteral("--cannot-start"), reason});
    app.program.start(app.exe, app.arguments);
    ASSERT_TRUE(app.program.waitForStarted(10000));
    QString window;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        window = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--pid"), QString::number(app.program.processId()),
                                                 QStringLiteral("--name"), QStringLiteral("^QuorlOffice$")})
                     .split(u'\n')
                     .value(0);
        return !window.isEmpty();
    }, 20000)) << app.program.readAllStandardError().toStdString();
    app.window = window;
    QTest::qWait(500);
    const QPoint origin = app.origin();
    QSize size;
    for (const QString &line : run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}).split(u'\n')) {
        if (line.trimmed().startsWith(QLatin1String("Width:")))
            size.setWidth(line.section(u':', 1).trimmed().toInt());
        else if (line.trimmed().startsWith(QLatin1String("Height:")))
            size.setHeight(line.section(u':', 1).trimmed().toInt());
    }
    // On one line the reason alone would be some 1200 pixels wide.
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(QRect(origin, size))) << origin.x() << ',' << origin.y() << ' '
                                                                     << size.width() << 'x' << size.height();
    EXPECT_LT(size.width(), 800);
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window, QStringLiteral("key"),
             QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.program.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(app.program.exitCode(), 1);
    EXPECT_EQ(filesBelow(programs.path()), QStringList{app.exe});
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Addresses given on the command line open in the window; a later start on the same
// program folder hands its address to that window and ends: one process, one window.
TEST(Program, AddressesFromTheCommandLineAndALaterStartGoToOneWindow)
{
    HttpServer server;
    for (const char *page : {"/home", "/one", "/two", "/three"})
        server.addPage(QString::fromLatin1(page), QByteArray("<html><head><title>") + page + "</title></head><body>"
                                                      + page + "</body></html>");
    ProgramFolder folder;
    folder.baseUrl = server.url(QStringLiteral("/"));
    folder.installed(server.url(QStringLiteral("/home")));
    TempFolder home;
    ProgramRun app(folder, home.path(), {server.url(QStringLiteral("/one")), server.url(QStringLiteral("/two"))});
    ASSERT_TRUE(app.start()) << app.log.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return server.requests(QStringLiteral("/one")) > 0 && server.requests(QStringLiteral("/two")) > 0;
    }, 15000));

    QProcess later;
    later.setProcessEnvironment(app.program.processEnvironment());
    later.setWorkingDirectory(folder.path());
    QElapsedTimer clock;
    clock.start();
    later.start(app.exe, {server.url(QStringLiteral("/three"))});
    ASSERT_TRUE(later.waitForFinished(20000));
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/three")) > 0; }, 15000));
    EXPECT_EQ(app.program.state(), QProcess::Running);
    // The one window there is, the first start's.
    const QStringList windows = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                                QStringLiteral("--name"), QStringLiteral("^QuorlOffice$")})
                                    .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(windows, QStringList{app.window});

    run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), app.window});
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.program.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(app.program.exitCode(), 0);
}
