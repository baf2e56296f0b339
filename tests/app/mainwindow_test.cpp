#include "app/mainwindow.h"
#include "browser/address.h"
#include "platform/dialogs.h"
#include "platform/pointer.h"
#include "platform/twips.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "../support/httpserver.h"
#include "../support/programfolder.h"
#include "../support/scripteddialogs.h"
#include "../support/tempfolder.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kHome = "<html><head><title>Loopback home</title></head><body><h1>Home</h1></body></html>";

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.addPage(QStringLiteral("/home"), kHome);
        folder.baseUrl = server.url(QStringLiteral("/"));
    }
    void TearDown() override { Pointer::setPosition(std::nullopt); }

    // Loads and shows the window; waits for the home page to complete.
    std::unique_ptr<MainWindow> start(bool expectHome = true)
    {
        auto window = std::make_unique<MainWindow>(folder.path());
        QSignalSpy loaded(window.get(), &MainWindow::homePageLoaded);
        QSignalSpy settled(window.get(), &MainWindow::frameSettled);
        if (!window->load())
            return window;
        window->show();
        if (expectHome) {
            EXPECT_TRUE(loaded.count() > 0 || loaded.wait(20000)) << "home page did not load";
            // The home page can load before the window manager has framed the window;
            // the tests that look at its place need it put right for its frame.
            EXPECT_TRUE(settled.count() > 0 || settled.wait(5000)) << "the window was never framed";
        }
        return window;
    }

    HttpServer server;
    ProgramFolder folder;
    ScopedDialogs dialogs;
};

} // namespace

TEST_F(MainWindowTest, FirstStartInstallsTheDataAndOpensTheHomePage)
{
    const QString home = server.url(QStringLiteral("/home"));
    folder.deliver(home);
    auto window = start();
    EXPECT_FALSE(folder.exists(QStringLiteral("QuorlFirst.txt")));
    EXPECT_TRUE(folder.exists(QStringLiteral("Links/Links.Bok")));
    EXPECT_TRUE(folder.exists(QStringLiteral("Languages/Lang_English.txt")));
    EXPECT_TRUE(folder.exists(QStringLiteral("Data/TemplateH.doc")));
    EXPECT_TRUE(folder.exists(QStringLiteral("Images")));
    EXPECT_GE(server.requests(QStringLiteral("/home")), 1);

    // Five tabs from the English file, one browser for each, tab 0 showing the home page.
    ASSERT_EQ(window->tabCount(), 5);
    for (int i = 0; i < 5; ++i)
        ASSERT_NE(window->browser(i), nullptr);
    EXPECT_EQ(window->tabBar()->tabText(0), Address::makeTabCaption(home));
    EXPECT_TRUE(window->tabBar()->tabText(1).isEmpty());
    EXPECT_EQ(window->state().tabURL.value(0), home);
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Loopback home"));
    EXPECT_TRUE(window->browser(0)->widget()->isVisible());
    EXPECT_FALSE(window->browser(1)->widget()->isVisible());
    EXPECT_EQ(window->progressBar()->value(), 100);
    EXPECT_EQ(window->addressBox()->currentText(), home);
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_TRUE(window->browser(0)->silent());
    EXPECT_FALSE(window->browser(0)->registerAsBrowser());

    // The start-up timer sets the template paths 750 ms later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->state().templateHDoc.isEmpty(); }, 3000));
    EXPECT_EQ(window->state().templateDoc, folder.file(QStringLiteral("Data/Template.doc")));
    window->goExit();
}

TEST_F(MainWindowTest, MissingDeliveredFileEndsTheStartWithItsName)
{
    folder.deliver(QString());
    QFile::remove(folder.file(QStringLiteral("templateh.doc")));
    MainWindow window(folder.path());
    EXPECT_FALSE(window.load());
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].text,
              QStringLiteral("No ") + folder.path() + QStringLiteral("/templateh.doc file found!"));
    EXPECT_EQ(dialogs.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(folder.exists(QStringLiteral("QuorlFirst.txt")));
}

TEST_F(MainWindowTest, ASecondCopyOnTheSameFolderSaysSoAndALockLeftByAKilledOneIsTakenOver)
{
    folder.installed(server.url(QStringLiteral("/home")));
    {
        auto first = start();
        MainWindow second(folder.path());
        EXPECT_FALSE(second.load());
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(folder.path())) << str(dialogs.dialogs.messages[0].text);
        first->goExit();
    }
    // A copy that was killed leaves its lock, naming a process that is gone.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    folder.write(QStringLiteral("QuorlOffice.lock"),
                 QByteArray::number(gone) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n' + host + '\n');
    dialogs.dialogs.messages.clear();
    auto again = start();
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    again->goExit();
}

TEST_F(MainWindowTest, EmptyHomePageOpensTheBuiltInStartPage)
{
    folder.installed(QString());
    auto window = start();
    EXPECT_EQ(window->state().options.homePage, QStringLiteral("quorl:start"));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Welcome to QuorlOffice"));
    window->goExit();
    const auto opt = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")));
    EXPECT_EQ(opt->value(4), QStringLiteral("quorl:start"));
}

TEST_F(MainWindowTest, ExitWritesItsFilesAndRemovesTheTemporaryOnes)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.write(QStringLiteral("Data/QuorlOffice.Hys"), "http://one.example/\r\n\r\nhttp://two.example/\r\n");
    auto window = start();
    EXPECT_EQ(window->addressBox()->count(), 3);
    window->state().options.barStyle = 3;
    folder.write(QStringLiteral("html.txt"), "x");
    folder.write(QStringLiteral("DOC.TXT"), "y");
    QSignalSpy ended(window.get(), &MainWindow::ended);
    window->close(); // a close request runs the exit sequence
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(folder.exists(QStringLiteral("html.txt")));
    EXPECT_FALSE(folder.exists(QStringLiteral("DOC.TXT")));

    const auto opt = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")));
    ASSERT_EQ(opt->size(), 6);
    EXPECT_EQ(opt->at(0), QStringLiteral("3"));
    EXPECT_EQ(opt->at(5), QStringLiteral("English"));
    const auto ini = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini")));
    ASSERT_EQ(ini->size(), 13);
    EXPECT_EQ(*TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Hys"))),
              (QStringList{QStringLiteral("http://one.example/"), QStringLiteral("http://two.example/")}));
    window->goExit(); // a second exit does nothing
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(MainWindowTest, UnwritableFileAtExitIsNamedAndTheRestIsSaved)
{
    folder.installed(server.url(QStringLiteral("/home")));
    // A folder where the history file should be: nothing can be renamed over it.
    folder.write(QStringLiteral("Data/QuorlOffice.Hys/keep.txt"), "kept");
    auto window = start();
    QSignalSpy ended(window.get(), &MainWindow::ended);
    window->goExit();
    EXPECT_EQ(ended.count(), 1);
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("could not be written")));
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("QuorlOffice.Hys")));
    EXPECT_EQ(folder.read(QStringLiteral("Data/QuorlOffice.Hys/keep.txt")), QByteArray("kept"));
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini")))->size(), 13);
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
}

TEST_F(MainWindowTest, StartStateTwoFillsTheScreen)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"),
                 "300\r\n450\r\n6000\r\n8000\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n2\r\n");
    auto window = start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Under a window manager the frame comes a moment after the window is shown, and
    // the window is put right for it then.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() == screen; }, 3000))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    window->goExit();
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini")))->value(12), QStringLiteral("2"));
}

TEST_F(MainWindowTest, StoredRectangleIsUsedAndFollowsResizes)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n3000\r\n9000\r\n12000\r\n");
    auto window = start();
    const LiveWindowRect r = window->windowRectTwips();
    EXPECT_NEAR(r.top, 1500, 15);
    EXPECT_NEAR(r.left, 3000, 15);
    EXPECT_NEAR(r.height, 9000, 15);
    EXPECT_NEAR(r.width, 12000, 15);
    window->resize(700, 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->width() == 700; }, 3000));
    EXPECT_NEAR(window->state().ini.windowWidth, Twips::fromPixelsX(window->frameGeometry().width()), 1);
    // The browser fills the client area between the panels.
    QWidget *view = window->browser(0)->widget();
    EXPECT_EQ(view->width(), window->width());
    EXPECT_EQ(view->y(), window->barPanel()->height());
    EXPECT_EQ(window->statusPanel()->y() + window->statusPanel()->height(), window->height());
    window->goExit();
}

TEST_F(MainWindowTest, MinimisedCaptionAndRestore)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "3000\r\n1500\r\n9000\r\n12000\r\n");
    auto window = start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameKnown(); }, 5000));
    const LiveWindowRect before = window->windowRectTwips();
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->state().wasMinimised == 1; }, 5000));
    EXPECT_EQ(window->windowTitle(), window->state().lang.entry(179));
    // Qt says "minimised" at once; the window manager's own word comes when it has hidden
    // the window. A restore before that would be followed by its late "minimised", and
    // then by a second restore, as if the user had minimised the window twice.
    (void)QTest::qWaitFor([&] { return !window->windowHandle()->isExposed(); }, 3000);
    window->setWindowState(Qt::WindowNoState);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->state().wasMinimised == 0; }, 5000));
    EXPECT_TRUE(window->windowTitle().isEmpty());
    // The window manager shows the window again at the rectangle it was given.
    (void)QTest::qWaitFor([&] { return window->windowRectTwips().top != before.top; }, 2000);
    QTest::qWait(200);
    const LiveWindowRect after = window->windowRectTwips();
    EXPECT_NEAR(after.top, before.top - 285, 15);
    EXPECT_NEAR(after.height, before.height + 285, 15);
    window->goExit();
}

TEST_F(MainWindowTest, FloatingBarsHideAndShowWithThePointer)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.writeOptions(server.url(QStringLiteral("/home")), 1, 1);
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n9000\r\n12000\r\n");
    auto window = start();
    QTimer *timer = window->autoHideTimer();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(window->state().barsShown);

    const QPoint origin = window->frameGeometry().topLeft();
    // Near the bars: nothing changes, not even the interval.
    Pointer::setPosition(origin + QPoint(200, window->barPanel()->height() + 10));
    window->autoHideTick();
    EXPECT_TRUE(window->state().barsShown);
    EXPECT_EQ(timer->interval(), 5000);

    // Well below the bars: they hide and the browser covers them.
    Pointer::setPosition(origin + QPoint(200, 400));
    window->autoHideTick();
    EXPECT_FALSE(window->state().barsShown);
    EXPECT_FALSE(window->statusPanel()->isVisible());
    EXPECT_EQ(window->browser(0)->widget()->y(), 0);
    EXPECT_EQ(timer->interval(), 1500);

    // Still below: they stay hidden. At the top edge: they come back.
    window->autoHideTick();
    EXPECT_FALSE(window->state().barsShown);
    Pointer::setPosition(origin + QPoint(200, 5));
    window->autoHideTick();
    EXPECT_TRUE(window->state().barsShown);
    EXPECT_TRUE(window->statusPanel()->isVisible());
    EXPECT_EQ(window->browser(0)->widget()->y(), window->barPanel()->height());
    window->goExit();
}

TEST_F(MainWindowTest, MissingLanguageFallsBackToEnglish)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.writeOptions(server.url(QStringLiteral("/home")), 1, 0, QStringLiteral("Klingon"));
    auto window = start();
    EXPECT_EQ(window->state().options.langName, QStringLiteral("English"));
    EXPECT_FALSE(window->state().lang.entry(1).isEmpty());
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    window->goExit();
}

TEST_F(MainWindowTest, NoLanguageAtAllEndsTheStartWithAMessage)
{
    folder.installed(server.url(QStringLiteral("/home")));
    QFile::remove(folder.file(QStringLiteral("Languages/Lang_English.txt")));
    folder.writeOptions(server.url(QStringLiteral("/home")), 1, 0, QStringLiteral("Klingon"));
    MainWindow window(folder.path());
    EXPECT_FALSE(window.load());
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("Lang_Klingon.txt")));
}

TEST_F(MainWindowTest, ItalianOptionsLoadTheItalianFile)
{
    folder.installed(server.url(QStringLiteral("/home")));
    folder.writeOptions(server.url(QStringLiteral("/home")), 1, 0, QStringLiteral("italiano"));
    auto window = start();
    EXPECT_EQ(window->state().lang.entry(1), QStringLiteral("Esci"));
    EXPECT_EQ(window->state().langSettings.langCode, QStringLiteral("ITA"));
    window->goExit();
}

TEST_F(MainWindowTest, PagesCannotCloseTheirBrowser)
{
    server.addPage(QStringLiteral("/closer"),
                   "<html><head><title>Closer</title></head><body>x"
                   "<script>setTimeout(function(){ window.close(); }, 50);</script></body></html>");
    folder.installed(server.url(QStringLiteral("/closer")));
    auto window = start();
    QTest::qWait(500);
    EXPECT_EQ(window->browser(0)->locationURL(), server.url(QStringLiteral("/closer")));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Closer"));
    EXPECT_EQ(window->browser(0)->readyState(), QStringLiteral("complete"));
    window->goExit();
}
