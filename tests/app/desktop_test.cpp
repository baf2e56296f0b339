// The main window on a desktop with a window manager: frames, activation and focus,
// screens of every size, tabs that stay in step with the page on screen.
#include "browser/address.h"
#include "commands/dispatch.h"
#include "platform/commandbar.h"
#include "platform/twips.h"
#include "support/smallfilesystem.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QWheelEvent>
#include <QWindow>

#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class DesktopTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        server.addPage(QStringLiteral("/a"), "<html><head><title>Page A</title></head><body>a</body></html>");
        server.addPage(QStringLiteral("/b"), "<html><head><title>Page B</title></head><body>b</body></html>");
        server.addPage(QStringLiteral("/c"), "<html><head><title>Page C</title></head><body>c</body></html>");
    }

    // Starts the window and waits until the window manager has framed it.
    MainWindow &startFramed()
    {
        start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameKnown(); }, 5000));
        return *window;
    }

    QStringList iniLines() const
    {
        return TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini"))).value_or(QStringList());
    }

    QRect screen() const { return QGuiApplication::primaryScreen()->geometry(); }

    void clickTab(int index)
    {
        QTabBar *tabs = window->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
    }

    WebBrowser *visibleBrowser() const
    {
        WebBrowser *shown = nullptr;
        for (int i = 0; i < window->tabCount(); ++i) {
            if (window->browser(i)->widget()->isVisible()) {
                EXPECT_EQ(shown, nullptr) << "two pages on screen";
                shown = window->browser(i);
            }
        }
        return shown;
    }
};

} // namespace

TEST_F(DesktopTest, TheWindowKeepsItsRectangleStartAfterStart)
{
    // Top 100, left 200, 600 by 800 pixels, frame included.
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n3000\r\n9000\r\n12000\r\n");
    for (int run = 0; run < 4; ++run) {
        startFramed();
        const QRect frame = window->frameGeometry();
        EXPECT_NEAR(frame.top(), 100, 1) << "run " << run;
        EXPECT_NEAR(frame.left(), 200, 1) << "run " << run;
        EXPECT_NEAR(frame.height(), 600, 1) << "run " << run;
        EXPECT_NEAR(frame.width(), 800, 1) << "run " << run;
        window->goExit();
        window.reset();
        const QStringList lines = iniLines();
        ASSERT_GE(lines.size(), 4);
        EXPECT_NEAR(lines[0].toInt(), 1500, 15) << "run " << run;
        EXPECT_NEAR(lines[1].toInt(), 3000, 15) << "run " << run;
        EXPECT_NEAR(lines[2].toInt(), 9000, 15) << "run " << run;
        EXPECT_NEAR(lines[3].toInt(), 12000, 15) << "run " << run;
    }
}

TEST_F(DesktopTest, StartStateTwoFillsTheScreenWithTheFrameInside)
{
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"),
                 "1500\r\n3000\r\n9000\r\n12000\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n2\r\n");
    startFramed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() == screen(); }, 3000))
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    // F12 does the same from anywhere.
    window->setWindowRectTwips(1500, 1500, 9000, 9000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().left() == 100; }, 3000));
    QTest::keyClick(window->addressBox()->lineEdit(), Qt::Key_F12);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() == screen(); }, 3000));
}

TEST_F(DesktopTest, ARectangleOffEveryScreenComesBackOnThePrimaryScreen)
{
    // A second monitor to the right, unplugged: 4000 pixels to the right.
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n60000\r\n9000\r\n12000\r\n");
    startFramed();
    (void)QTest::qWaitFor([&] { return window->frameGeometry().width() == 800; }, 3000);
    const QRect shown = window->frameGeometry().intersected(screen());
    EXPECT_GE(shown.width(), 100);
    EXPECT_GE(shown.height(), 100);
    EXPECT_NEAR(window->frameGeometry().width(), 800, 1); // its size kept
    EXPECT_NEAR(window->frameGeometry().height(), 600, 1);
    window->goExit();

    // Larger than the screen and off it: brought back no larger than the screen.
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "90000\r\n90000\r\n90000\r\n90000\r\n");
    window.reset();
    startFramed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen().contains(window->frameGeometry()); }, 3000))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
}

TEST_F(DesktopTest, FloatingBarsHideOnceTheWindowIsActive)
{
    folder.writeOptions(server.url(QStringLiteral("/home")), 1, 1);
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n9000\r\n12000\r\n");
    startFramed();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::qWait(100); // the focus the activation gives has arrived
    // Activation gave the address box the keyboard focus; that is not the user's doing.
    EXPECT_TRUE(window->autoHideTimer()->isActive());
    Pointer::setPosition(window->frameGeometry().topLeft() + QPoint(200, 400));
    window->autoHideTick();
    EXPECT_FALSE(window->state().barsShown);

    // The user's own click into the address box holds the bars.
    Pointer::setPosition(window->frameGeometry().topLeft() + QPoint(200, 5));
    window->autoHideTick();
    ASSERT_TRUE(window->state().barsShown);
    QTest::mouseClick(window->addressBox()->lineEdit(), Qt::LeftButton);
    EXPECT_FALSE(window->autoHideTimer()->isActive());
}

TEST_F(DesktopTest, OnlyAClickOnATabChangesTheSelectedTab)
{
    startFramed();
    window->addressBox()->setEditText(url("/a"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(0, url("/a")));
    QTabBar *tabs = window->tabBar();

    // The wheel over the strip changes nothing.
    QWheelEvent wheel(QPointF(tabs->tabRect(0).center()), QPointF(tabs->mapToGlobal(tabs->tabRect(0).center())),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(tabs, &wheel);
    EXPECT_EQ(window->selectedTab(), 0);
    EXPECT_EQ(visibleBrowser(), window->browser(0));

    // A press on tab 1 released over tab 3 changes nothing either.
    QTest::mousePress(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    QTest::mouseMove(tabs, tabs->tabRect(3).center());
    QTest::mouseRelease(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(3).center());
    EXPECT_EQ(window->selectedTab(), 0);
    EXPECT_EQ(visibleBrowser(), window->browser(0));

    // A click selects the tab and shows its page; typed addresses go there.
    clickTab(1);
    EXPECT_EQ(window->selectedTab(), 1);
    EXPECT_EQ(visibleBrowser(), window->browser(1));
    ASSERT_TRUE(loaded(1, url("/a")));
    clickTab(2);
    EXPECT_EQ(window->selectedTab(), 2);
    EXPECT_EQ(visibleBrowser(), window->browser(2));
    ASSERT_TRUE(loaded(2, url("/a")));
    window->addressBox()->setEditText(url("/b"));
    window->tabs()->goAddress(1);
    ASSERT_TRUE(loaded(2, url("/b")));
    EXPECT_EQ(window->browser(0)->locationURL(), url("/a"));
    clickTab(0);
    EXPECT_EQ(visibleBrowser(), window->browser(0));
    EXPECT_EQ(window->addressBox()->currentText(), url("/a"));
    EXPECT_EQ(window->state().currentURL, url("/a"));
}

TEST_F(DesktopTest, ALanguageWithFewerTabsKeepsTheSelectedTabOnScreen)
{
    QByteArray two = folder.loopbackLanguage(QStringLiteral("Lang_English.txt"), folder.baseUrl);
    two.replace("TAB_NUMBER=5", "TAB_NUMBER=2");
    folder.write(QStringLiteral("Languages/Lang_Two.txt"), two);
    startFramed();
    clickTab(4);
    ASSERT_EQ(window->selectedTab(), 4);
    window->addressBox()->setEditText(url("/c"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(4, url("/c")));

    click(3, "LANG:TWO");
    ASSERT_EQ(window->tabCount(), 2);
    const int selected = window->selectedTab();
    ASSERT_LT(selected, 2);
    EXPECT_EQ(visibleBrowser(), window->browser(selected));
    window->addressBox()->setEditText(url("/b"));
    window->tabs()->goAddress(0);
    EXPECT_TRUE(loaded(selected, url("/b")));
    EXPECT_EQ(visibleBrowser(), window->browser(selected));
}

TEST_F(DesktopTest, ABackgroundTabChangesOnlyItselfAndNeverWhatTheUserTypes)
{
    startFramed();
    window->browser(2)->navigate(url("/b"));
    ASSERT_TRUE(loaded(2, url("/b")));
    EXPECT_EQ(window->selectedTab(), 0);
    EXPECT_EQ(window->addressBox()->currentText(), url("/home"));
    EXPECT_EQ(window->state().currentURL, url("/home"));
    EXPECT_EQ(window->state().tabURL.value(2), url("/b"));
    EXPECT_EQ(window->tabBar()->tabText(2), Address::makeTabCaption(url("/b")));
    EXPECT_EQ(window->statusText()->text(), QStringLiteral("Home"));

    // The user types while the page on screen changes: the typed text stays.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit *edit = window->addressBox()->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("half typed"));
    window->browser(0)->navigate(url("/c"));
    ASSERT_TRUE(loaded(0, url("/c")));
    EXPECT_EQ(window->addressBox()->currentText(), QStringLiteral("half typed"));
    EXPECT_EQ(window->tabBar()->tabText(0), Address::makeTabCaption(url("/c")));
}

TEST_F(DesktopTest, TheAddressBoxKeepsItsRoomInNarrowWindows)
{
    startFramed();
    const QString out = qEnvironmentVariable("QUORL_SCREENSHOT_DIR");
    for (const QSize size : {QSize(800, 600), QSize(1024, 768), QSize(1280, 1024)}) {
        window->setWindowRectTwips(0, 0, Twips::fromPixelsX(size.width()), Twips::fromPixelsY(size.height()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == size; }, 3000))
            << size.width();
        QTest::qWait(50);
        QComboBox *box = window->addressBox();
        QTabBar *tabs = window->tabBar();
        EXPECT_GE(box->width(), 240) << size.width();
        // The box lies wholly in the window, right of the tab strip and left of the bar on
        // the right.
        const QRect boxRect(box->mapTo(window.get(), QPoint(0, 0)), box->size());
        const QRect stripRect(tabs->mapTo(window.get(), QPoint(0, 0)), tabs->size());
        const QRect rightBar(window->commandBar(2)->mapTo(window.get(), QPoint(0, 0)), window->commandBar(2)->size());
        EXPECT_TRUE(window->rect().contains(boxRect)) << size.width();
        EXPECT_LE(stripRect.right(), boxRect.left()) << size.width();
        EXPECT_LE(boxRect.right(), rightBar.left() + 10) << size.width();
        EXPECT_LE(tabs->width(), window->state().langSettings.tabWidth);
        if (!out.isEmpty())
            window->grab().save(out + QStringLiteral("/window-%1.png").arg(size.width()));
    }
    // With room to spare the strip has the width the language file gives it.
    EXPECT_EQ(window->tabBar()->width(), window->state().langSettings.tabWidth);
}

TEST_F(DesktopTest, TheSavedBarStyleIsDrawnFromTheFirstPaint)
{
    for (int style : {1, 2, 3}) {
        folder.writeOptions(server.url(QStringLiteral("/home")), style, 0);
        startFramed();
        CommandBar *bar = window->commandBar(0);
        ASSERT_EQ(bar->barStyle(), style);
        const QImage first = bar->grab().toImage();
        // The same style chosen again, as the user would from the menu.
        for (int i = 0; i < 3; ++i) {
            window->commandBar(i)->setBarStyle(0);
            window->commandBar(i)->setBarStyle(style);
        }
        QTest::qWait(50);
        EXPECT_EQ(first, bar->grab().toImage()) << "style " << style;
        window->goExit();
        window.reset();
    }
}

TEST_F(DesktopTest, TheFavouritesCommandWaitsForTheStartUpTimer)
{
    window = std::make_unique<MainWindow>(folder.path());
    ASSERT_TRUE(window->load());
    EXPECT_FALSE(CommandCatalogue::instance().button(QStringLiteral("FAVORITE"))->enabled());
    window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 10000));
}

// A full disk for real: the Data folder is a small file system that fills up while
// the program runs. At exit the old files stay whole, nothing half-written is left, and
// the message names every file that could not be written.
TEST_F(DesktopTest, AFullDiskAtExitKeepsTheOldFilesAndNamesThem)
{
    const QString data = folder.file(QStringLiteral("Data"));
    const QString saved = folder.file(QStringLiteral("Data.saved"));
    ASSERT_TRUE(QDir().rename(data, saved));
    ASSERT_TRUE(QDir().mkdir(data));
    const SmallFileSystem disk(data, "8m");
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot();
    for (const QString &name : QDir(saved).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(saved + u'/' + name, data + u'/' + name));
    folder.write(QStringLiteral("Data/QuorlOffice.Hys"), "http://kept.example/\r\n");
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n9000\r\n12000\r\n");
    const QByteArray options = folder.read(QStringLiteral("Data/QuorlOffice.Opt"));
    const QByteArray history = folder.read(QStringLiteral("Data/QuorlOffice.Hys"));
    const QByteArray ini = folder.read(QStringLiteral("Data/QuorlOffice.Ini"));

    startFramed();
    window->state().options.barStyle = 3;
    window->state().currentURL = url("/a");
    window->addToHistory();
    {
        QFile filler(data + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(65536, 'f');
        while (filler.write(block) > 0) {
        }
    }
    window->goExit();
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    const QString text = dialogs.dialogs.messages[0].text;
    for (const char *name : {"QuorlOffice.Opt", "QuorlOffice.Hys", "QuorlOffice.Ini"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(name))) << str(text);
    EXPECT_EQ(folder.read(QStringLiteral("Data/QuorlOffice.Opt")), options);
    EXPECT_EQ(folder.read(QStringLiteral("Data/QuorlOffice.Hys")), history);
    EXPECT_EQ(folder.read(QStringLiteral("Data/QuorlOffice.Ini")), ini);
    for (const QString &name : QDir(data).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.contains(QStringLiteral(".Opt.")) || name.contains(QStringLiteral(".Hys."))
                     || name.contains(QStringLiteral(".Ini.")))
            << "left behind: " << str(name);
}
