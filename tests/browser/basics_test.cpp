// The everyday basics of a browser: its keys, the find bar, the menus, the order of the
// languages, names for a screen reader, typed addresses, Qt's own texts in the user's
// language and printing to a PDF file.
#include "browser/findbar.h"
#include "platform/commandbar.h"
#include "support/windowfixture.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QProcess>
#include <QTabBar>
#include <QToolButton>

namespace {

class BasicsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        server.addPage(QStringLiteral("/a"), "<html><head><title>Page A</title></head><body>alpha text</body></html>");
        server.addPage(QStringLiteral("/b"), "<html><head><title>Page B</title></head><body>bravo text</body></html>");
        server.addPage(QStringLiteral("/slow"), "<html><head><title>Slow</title></head><body>late</body></html>",
                       "text/html", 4000);
    }

    static QList<QToolButton *> buttonsOf(QWidget *bar)
    {
        return bar->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
    }
};

} // namespace

TEST_F(BasicsTest, TheEverydayKeys)
{
    start();
    open(url("/a"));
    open(url("/b"));
    pageKey(Qt::Key_Left, Qt::AltModifier);
    EXPECT_TRUE(loaded(0, url("/a")));
    pageKey(Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(loaded(0, url("/b")));
    const int before = server.requests(QStringLiteral("/b"));
    pageKey(Qt::Key_F5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/b")) > before; }, 5000));
    ASSERT_TRUE(loaded(0, url("/b")));

    // Escape stops a page that is loading.
    window->addressBox()->setEditText(url("/slow"));
    window->tabs()->goAddress(0);
    QTest::qWait(300);
    ASSERT_TRUE(window->browser(0)->busy());
    pageKey(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->browser(0)->busy(); }, 2000));

    // Ctrl+L: into the address box, its text selected, ready to type over.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    pageKey(Qt::Key_L, Qt::ControlModifier);
    QLineEdit *edit = window->addressBox()->lineEdit();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->selectedText(), edit->text());
}

TEST_F(BasicsTest, TheFindBarCoversNoCommandAndTakesTheKeys)
{
    start();
    open(url("/a"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    pageKey(Qt::Key_F, Qt::ControlModifier);
    QWidget *find = window->findBar();
    ASSERT_TRUE(find->isVisible());
    const QRect findRect(find->mapTo(window.get(), QPoint(0, 0)), find->size());
    for (QWidget *panel : {window->barPanel(), window->statusPanel()}) {
        const QRect panelRect(panel->mapTo(window.get(), QPoint(0, 0)), panel->size());
        EXPECT_FALSE(findRect.intersects(panelRect)) << panel->objectName().toStdString();
    }
    EXPECT_TRUE(window->rect().contains(findRect));
    EXPECT_TRUE(window->findBar()->textBox()->hasFocus());
}

TEST_F(BasicsTest, MenusShowTheirSeparatorTheirCheckMarksAndLetGoOfTheirButton)
{
    start();
    CommandBar *bar = window->commandBar(0);
    QMenu *menu = bar->buildMenu(CommandCatalogue::instance().bar(QStringLiteral("FILE")), window.get());
    EXPECT_FALSE(menu->separatorsCollapsible());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->isSeparator());
    menu->popup(window->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::qWait(200);
    if (const QString out = qEnvironmentVariable("QUORL_SCREENSHOT_DIR"); !out.isEmpty())
        menu->grab().save(out + QStringLiteral("/file-menu.png"));
    EXPECT_GT(menu->actionGeometry(menu->actions().first()).height(), 0); // shown, not collapsed

    // A checked item looks checked: its row is drawn otherwise once it is not.
    auto itemPicture = [&](QMenu *shown) {
        QAction *item = shown->findChild<QAction *>(QStringLiteral("FILE:OFFICE"));
        return shown->grab(shown->actionGeometry(item)).toImage();
    };
    QAction *office = menu->findChild<QAction *>(QStringLiteral("FILE:OFFICE"));
    ASSERT_TRUE(office && office->isChecked());
    const QImage checked = itemPicture(menu);
    menu->close();
    delete menu;
    CommandCatalogue::instance().button(QStringLiteral("FILE:OFFICE"))->setChecked(false);
    menu = bar->buildMenu(CommandCatalogue::instance().bar(QStringLiteral("FILE")), window.get());
    menu->popup(window->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::qWait(200);
    EXPECT_NE(itemPicture(menu), checked);
    menu->close();
    delete menu;

    // A drop-down's button lets go once an item is picked.
    auto *navigate = bar->findChild<QToolButton *>(QStringLiteral("NAVIGATE"));
    ASSERT_NE(navigate, nullptr);
    QTimer::singleShot(300, window.get(), [navigate] {
        if (QMenu *open = navigate->menu(); open && open->isVisible()) {
            for (QAction *a : open->actions())
                if (a->objectName() == QLatin1String("NAVIGATE:REFRESH"))
                    a->trigger();
            open->close();
        }
    });
    QTest::mouseClick(navigate, Qt::LeftButton);
    QTest::qWait(500);
    EXPECT_FALSE(navigate->isDown());
    EXPECT_FALSE(navigate->testAttribute(Qt::WA_UnderMouse) && !navigate->rect().contains(navigate->mapFromGlobal(QCursor::pos())));
}

TEST_F(BasicsTest, EveryBarButtonIsWhollyOnScreen)
{
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "0\r\n0\r\n15360\r\n19200\r\n");
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameKnown(); }, 5000));
    for (int i : {0, 2}) {
        for (QToolButton *b : buttonsOf(window->commandBar(i))) {
            const QRect r(b->mapTo(window.get(), QPoint(0, 0)), b->size());
            EXPECT_TRUE(window->rect().contains(r)) << b->objectName().toStdString() << " at " << r.right();
        }
    }
}

TEST_F(BasicsTest, LanguagesAreListedByName)
{
    for (const char *name : {"Lang_zulu.txt", "Lang_Deutsch.txt", "Lang_abc.txt"})
        folder.write(QStringLiteral("Languages/") + QString::fromLatin1(name),
                     folder.loopbackLanguage(QStringLiteral("Lang_English.txt"), folder.baseUrl));
    start();
    QStringList keys;
    for (CommandButton *b : CommandCatalogue::instance().bar(QStringLiteral("LANG"))->buttons())
        keys.append(b->key());
    EXPECT_EQ(keys, (QStringList{QStringLiteral("LANG:ABC"), QStringLiteral("LANG:DEUTSCH"), QStringLiteral("LANG:ENGLISH"),
                                 QStringLiteral("LANG:ITALIANO"), QStringLiteral("LANG:ZULU"), QStringLiteral("LANG:NEW")}));
}

TEST_F(BasicsTest, EveryButtonTabAndBoxHasANameForAScreenReader)
{
    start();
    for (int i : {0, 2}) {
        for (QToolButton *b : buttonsOf(window->commandBar(i))) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << b->objectName().toStdString();
        }
    }
    QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(window->tabBar());
    ASSERT_NE(tabs, nullptr);
    EXPECT_FALSE(tabs->text(QAccessible::Name).isEmpty());
    int named = 0;
    for (int i = 0; i < tabs->childCount(); ++i) {
        QAccessibleInterface *tab = tabs->child(i);
        if (tab && tab->role() == QAccessible::PageTab) {
            EXPECT_FALSE(tab->text(QAccessible::Name).isEmpty()) << "tab " << i;
            ++named;
        }
    }
    EXPECT_EQ(named, window->tabCount());
    for (QWidget *w : {static_cast<QWidget *>(window->addressBox()), static_cast<QWidget *>(window->statusText()),
                       static_cast<QWidget *>(window->progressBar())})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
            << w->objectName().toStdString();
    // Drop-down items say their caption.
    QMenu *menu = window->commandBar(0)->buildMenu(CommandCatalogue::instance().bar(QStringLiteral("SAVE")), window.get());
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->text().isEmpty()) << a->objectName().toStdString();
        }
    }
    delete menu;
}

TEST_F(BasicsTest, TypedAddressesOpenAndShowExactlyAsCompleted)
{
    start();
    for (const char *typed : {"javascript:alert(1)", "file:///etc/passwd"}) {
        window->addressBox()->setEditText(QString::fromLatin1(typed));
        QTest::keyClick(window->addressBox()->lineEdit(), Qt::Key_Return);
        const QString completed = QStringLiteral("http://") + QString::fromLatin1(typed);
        EXPECT_EQ(window->addressBox()->currentText(), completed);
        EXPECT_EQ(window->state().tabURL.value(0), completed);
        QTest::qWait(500);
        EXPECT_FALSE(window->addressBox()->currentText().contains(QLatin1String("http//"))) << typed;
    }
    EXPECT_TRUE(dialogs.dialogs.pageDialogs.isEmpty()); // nothing ran
}

TEST_F(BasicsTest, QtsOwnTextsSpeakTheLanguageOfTheLanguageFile)
{
    start();
    const QString english = QCoreApplication::translate("QFileDialog", "&Open");
    click(3, "LANG:ITALIANO");
    const QString italian = QCoreApplication::translate("QFileDialog", "&Open");
    EXPECT_NE(italian, english);
    EXPECT_FALSE(italian.isEmpty());
    click(3, "LANG:ENGLISH");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), english);
}

TEST_F(BasicsTest, PrintingToAPdfFileKeepsThePagesText)
{
    start();
    open(url("/a"));
    dialogs.dialogs.printTo = folder.file(QStringLiteral("printed.pdf"));
    QElapsedTimer clock;
    clock.start();
    click(0, "PRINT");
    const qint64 took = clock.elapsed();
    ASSERT_TRUE(QFile::exists(dialogs.dialogs.printTo));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {dialogs.dialogs.printTo, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    EXPECT_TRUE(text.readAllStandardOutput().contains("alpha text"));
    EXPECT_LT(took, 15000);
}
