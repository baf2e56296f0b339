#include "browser/address.h"
#include "browser/tabbrowsing.h"
#include "support/windowfixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>

namespace {

class TabsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        server.addPage(QStringLiteral("/a"), "<html><head><title>Page A</title></head><body>a</body></html>");
        server.addPage(QStringLiteral("/b"), "<html><head><title>Page B</title></head><body>b</body></html>");
        server.addPage(QStringLiteral("/slow"), "<html><head><title>Slow</title></head><body>late</body></html>",
                       "text/html", 1500);
    }

    void clickTab(int index, Qt::MouseButton button)
    {
        QTabBar *tabs = window->tabBar();
        const QPoint centre = tabs->tabRect(index).center();
        QTest::mouseClick(tabs, button, Qt::NoModifier, centre);
    }

    void typeAndEnter(const QString &text)
    {
        QComboBox *box = window->addressBox();
        box->setEditText(text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }

    QStringList history() const
    {
        QStringList items;
        for (int i = 0; i < window->addressBox()->count(); ++i)
            items.append(window->addressBox()->itemText(i));
        return items;
    }
};

} // namespace

TEST_F(TabsTest, ABlankTabCopiesItsLeftNeighbour)
{
    start();
    const int before = server.requests(QStringLiteral("/home"));
    clickTab(1, Qt::LeftButton);
    EXPECT_EQ(window->selectedTab(), 1);
    EXPECT_EQ(window->tabBar()->tabText(1), window->tabBar()->tabText(0));
    EXPECT_EQ(window->state().tabURL.value(1), url("/home"));
    ASSERT_TRUE(loaded(1, url("/home")));
    EXPECT_GT(server.requests(QStringLiteral("/home")), before);
    EXPECT_TRUE(window->browser(1)->widget()->isVisible());
    EXPECT_FALSE(window->browser(0)->widget()->isVisible());

    // A tab that shows a page is not copied over when clicked again.
    typeAndEnter(url("/a"));
    ASSERT_TRUE(loaded(1, url("/a")));
    clickTab(0, Qt::LeftButton);
    clickTab(1, Qt::LeftButton);
    EXPECT_EQ(window->browser(1)->locationURL(), url("/a"));
    EXPECT_EQ(window->tabBar()->tabText(1), Address::makeTabCaption(url("/a")));
}

TEST_F(TabsTest, RightClickReloadsWithoutChangingVisibility)
{
    start();
    const int before = server.requests(QStringLiteral("/home"));
    clickTab(0, Qt::RightButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/home")) > before; }, 10000));
    EXPECT_TRUE(window->browser(0)->widget()->isVisible());
    EXPECT_EQ(window->tabs()->tabMouseButtons(), 2);
    // A right click on a blank tab neither selects nor copies it.
    clickTab(2, Qt::RightButton);
    EXPECT_EQ(window->selectedTab(), 0);
    EXPECT_TRUE(window->tabBar()->tabText(2).isEmpty());
}

TEST_F(TabsTest, EnterOpensTheAddressAndTheHistoryRule)
{
    start();
    window->addressBox()->clear();
    typeAndEnter(url("/a"));
    ASSERT_TRUE(loaded(0, url("/a")));
    EXPECT_EQ(window->state().currentURL, url("/a"));
    EXPECT_EQ(window->state().bookMarkURL, url("/a"));
    EXPECT_EQ(window->tabBar()->tabText(0), Address::makeTabCaption(url("/a")));
    EXPECT_EQ(window->state().pageTitle, QStringLiteral("Page A"));
    EXPECT_EQ(window->statusText()->text(), QStringLiteral("Page A"));
    EXPECT_EQ(window->progressBar()->value(), 100);
    EXPECT_EQ(history(), QStringList{url("/a")});

    // The scheme is completed; the case of what was typed stays.
    typeAndEnter(QStringLiteral("127.0.0.1:%1/b").arg(server.port()));
    ASSERT_TRUE(loaded(0, url("/b")));
    EXPECT_EQ(history().last(), QStringLiteral("http://127.0.0.1:%1/b").arg(server.port()));

    // Short addresses, ftp addresses and the search buttons stay out of the history.
    const int items = window->addressBox()->count();
    typeAndEnter(QStringLiteral("http://a"));
    typeAndEnter(QStringLiteral("ftp://files.example/pub"));
    EXPECT_EQ(window->addressBox()->count(), items);
    click(2, "GOOGLE");
    EXPECT_EQ(window->addressBox()->count(), items);
    EXPECT_EQ(window->addressBox()->currentText(), window->state().langSettings.searchURL);
    // "GO" adds like Enter does, the same address again as a new item.
    window->addressBox()->setEditText(url("/a"));
    click(2, "GO");
    window->addressBox()->setEditText(url("/a"));
    click(2, "GO");
    EXPECT_EQ(window->addressBox()->count(), items + 2);
}

TEST_F(TabsTest, EmptyAddressOpensTheStartPageAndChangesNoCaption)
{
    start();
    const QString caption = window->tabBar()->tabText(0);
    const QString bookmark = window->state().bookMarkURL;
    typeAndEnter(QString());
    // Opening it changes neither the caption nor the tab's address, nor the history.
    EXPECT_EQ(window->tabBar()->tabText(0), caption);
    EXPECT_EQ(window->state().tabURL.value(0), url("/home"));
    EXPECT_EQ(window->state().bookMarkURL, bookmark);
    EXPECT_EQ(window->addressBox()->count(), 0);
    ASSERT_TRUE(loaded(0, QStringLiteral("quorl:start")));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Welcome to QuorlOffice"));
}

TEST_F(TabsTest, AboutBlankLeavesTheAddressBoxAlone)
{
    start();
    window->addressBox()->setEditText(QStringLiteral("typed"));
    window->browser(0)->navigate(QStringLiteral("about:blank"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->browser(0)->locationURL() == QLatin1String("about:blank")
                                             && !window->browser(0)->busy(); }, 10000));
    QTest::qWait(100);
    EXPECT_EQ(window->state().tabURL.value(0), url("/home"));
    EXPECT_EQ(window->tabBar()->tabText(0), Address::makeTabCaption(url("/home")));
}

TEST_F(TabsTest, TabToolTipFollowsThePointer)
{
    start();
    window->state().tabURL[1] = QStringLiteral("http://second.example/");
    QTabBar *tabs = window->tabBar();
    const int perTab = tabs->width() / tabs->count();
    QTest::mouseMove(tabs, QPoint(perTab + perTab / 2, 5));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tabs->toolTip() == Dialogs::plainToolTip(QStringLiteral("http://second.example/")); }, 2000));
    QTest::mouseMove(tabs, QPoint(perTab / 2, 5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return tabs->toolTip() == Dialogs::plainToolTip(url("/home")); }, 2000));
}

TEST_F(TabsTest, WebAttendWaitsForTheSlowPageOnly)
{
    start();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window->tabs()->webAttend());
    EXPECT_LT(clock.elapsed(), 400); // a completed page costs no wait

    window->addressBox()->setEditText(url("/slow"));
    window->tabs()->goAddress(0);
    clock.restart();
    EXPECT_TRUE(window->tabs()->webAttend());
    EXPECT_GE(clock.elapsed(), 1300);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(window->browser(0)->readyState(), QStringLiteral("complete"));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Slow"));

    // A wait the user has ended gives no page, even a complete one: a navigation stopped
    // while the page was being asked leaves the page before it complete.
    EXPECT_FALSE(TabBrowsing::attend([this] { return window->browser(0); }, [] { return true; }, -1));
}

TEST_F(TabsTest, CloseRequestDuringAWaitEndsTheWaitThenTheProgram)
{
    start();
    window->addressBox()->setEditText(url("/slow"));
    window->tabs()->goAddress(0);
    QSignalSpy ended(window.get(), &MainWindow::ended);
    QTimer::singleShot(200, window.get(), [this] { window->close(); });
    EXPECT_FALSE(window->tabs()->webAttend());
    EXPECT_TRUE(ended.count() == 1 || ended.wait(3000));
}

TEST_F(TabsTest, NavigationCommandsAct)
{
    start();
    typeAndEnter(url("/a"));
    ASSERT_TRUE(loaded(0, url("/a")));
    typeAndEnter(url("/b"));
    ASSERT_TRUE(loaded(0, url("/b")));
    click(0, "BACK");
    ASSERT_TRUE(loaded(0, url("/a")));
    click(3, "NAVIGATE:NEXT");
    ASSERT_TRUE(loaded(0, url("/b")));
    click(3, "NAVIGATE:BACK");
    ASSERT_TRUE(loaded(0, url("/a")));
    click(0, "NEXT");
    ASSERT_TRUE(loaded(0, url("/b")));
    const int before = server.requests(QStringLiteral("/b"));
    click(3, "NAVIGATE:REFRESH");
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/b")) > before; }, 10000));

    window->addressBox()->setEditText(url("/slow"));
    window->tabs()->goAddress(0);
    QTest::qWait(200);
    EXPECT_TRUE(window->browser(0)->busy());
    click(3, "EDIT:STOP");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->browser(0)->busy(); }, 1000));
    EXPECT_NE(window->browser(0)->locationName(), QStringLiteral("Slow"));

    click(3, "NAVIGATE:HOME");
    ASSERT_TRUE(loaded(0, QStringLiteral("quorl:start")));
    click(3, "FILE:HELP");
    ASSERT_TRUE(loaded(0, QStringLiteral("quorl:help")));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("QuorlOffice help"));
    // Going back past the first page does nothing and reports nothing.
    for (int i = 0; i < 10; ++i)
        click(0, "BACK");
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(TabsTest, AddressesFromAnotherProgramOpenInTheCurrentTabThenInFreeOnes)
{
    start();
    ASSERT_EQ(window->tabCount(), 5);
    folder.write(QStringLiteral("saved.html"), "<html><head><title>Saved</title></head><body>saved</body></html>");
    const QString file = QUrl::fromLocalFile(folder.file(QStringLiteral("saved.html"))).toString();
    window->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }, 5000));
    window->openAddresses({url("/a"), url("/b"), file});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isMinimized(); }, 5000));
    EXPECT_TRUE(loaded(0, url("/a")));
    EXPECT_TRUE(loaded(1, url("/b")));
    EXPECT_TRUE(loaded(2, file));
    EXPECT_EQ(window->addressBox()->currentText(), url("/a"));
    EXPECT_EQ(window->state().tabURL.mid(0, 3), (QStringList{url("/a"), url("/b"), file}));
    EXPECT_EQ(window->tabBar()->tabText(1), Address::makeTabCaption(url("/b")));
    EXPECT_TRUE(history().isEmpty()) << "nothing handed over was typed";

    // The next ones: the current tab, then the tabs still free; one too many is said.
    window->openAddresses({url("/b"), url("/a"), url("/slow"), url("/a?left")});
    EXPECT_TRUE(loaded(0, url("/b")));
    EXPECT_TRUE(loaded(3, url("/a")));
    EXPECT_TRUE(loaded(4, url("/slow")));
    EXPECT_TRUE(loaded(1, url("/b")) && loaded(2, file));
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].text, window->state().lang.entry(356) + u'\n' + url("/a?left"));
}
