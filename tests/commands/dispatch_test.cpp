#include "browser/findbar.h"
#include "browser/tabbrowsing.h"
#include "commands/dispatch.h"
#include "platform/commandbar.h"
#include "platform/dragbutton.h"
#include "support/windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTabBar>
#include <QTimer>

namespace {

CommandButton *button(const char *key)
{
    return CommandCatalogue::instance().button(QString::fromLatin1(key));
}

// The engine prints pages as pictures: count the inked pixels of the first page.
int inkedPixels(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                          QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                          QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, pdf});
    p.waitForFinished(20000);
    const QImage page(pdf + QStringLiteral(".png"));
    int inked = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            inked += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    }
    return inked;
}

class DispatchTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        server.addPage(QStringLiteral("/a"),
                       "<html><head><title>Page A</title></head><body><p>needle one, needle two, needle three</p>"
                       "</body></html>");
    }
    QStringList optionsLines() const
    {
        return TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt"))).value_or(QStringList());
    }
};

} // namespace

TEST_F(DispatchTest, LanguageSwitchChangesCaptionsAndTheOptions)
{
    start();
    EXPECT_EQ(button("EDIT:EXIT")->caption(), QStringLiteral("Exit"));
    window->tabBar()->setTabText(1, QStringLiteral("busy tab"));
    // The control checks the option item before it reports the click.
    button("LANG:ITALIANO")->setChecked(true);
    click(3, "LANG:ITALIANO");
    EXPECT_EQ(window->state().options.langName, QStringLiteral("italiano"));
    EXPECT_EQ(button("EDIT:EXIT")->caption(), QStringLiteral("Esci"));
    EXPECT_EQ(button("BACK")->toolTip(), QStringLiteral("Indietro"));
    EXPECT_EQ(button("EDIT:TXT")->caption(), QStringLiteral("Lang_italiano.txt"));
    EXPECT_EQ(window->state().groups.entry(20).title, QStringLiteral("Gruppo 20"));
    // The status panel's two drag buttons, named for a screen reader.
    EXPECT_EQ(window->moveButtonLeft()->accessibleName(), QStringLiteral("Sposta la finestra (maniglia sinistra)"));
    EXPECT_EQ(window->moveButton()->accessibleName(), QStringLiteral("Sposta la finestra (maniglia destra)"));
    EXPECT_TRUE(window->tabBar()->tabText(1).isEmpty()); // a load empties every caption
    EXPECT_EQ(optionsLines().value(5), QStringLiteral("italiano"));
}

TEST_F(DispatchTest, VanishedLanguageFileKeepsTheCurrentLanguage)
{
    start();
    QFile::remove(folder.file(QStringLiteral("Languages/Lang_Italiano.txt")));
    button("LANG:ITALIANO")->setChecked(true);
    click(3, "LANG:ITALIANO");
    EXPECT_EQ(window->state().options.langName, QStringLiteral("English"));
    EXPECT_EQ(button("EDIT:EXIT")->caption(), QStringLiteral("Exit"));
    EXPECT_EQ(window->state().lang.entry(1), QStringLiteral("Exit"));
    EXPECT_FALSE(button("LANG:ITALIANO")->checked());
    EXPECT_TRUE(button("LANG:ENGLISH")->checked());
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("Lang_italiano.txt")));
}

TEST_F(DispatchTest, StyleAndFloatingCommands)
{
    start();
    click(3, "FILE:XP");
    EXPECT_EQ(window->state().options.barStyle, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window->commandBar(i)->barStyle(), 3);
    EXPECT_TRUE(button("FILE:XP")->checked());
    click(3, "FILE:MONEY");
    EXPECT_EQ(window->state().options.barStyle, 2);
    click(3, "FILE:SYSTEM");
    EXPECT_EQ(window->commandBar(1)->barStyle(), 0);

    button("FILE:FLOATING")->setChecked(true); // the check item toggles before the click
    click(3, "FILE:FLOATING");
    EXPECT_EQ(window->state().options.floatBars, 1);
    EXPECT_FALSE(window->state().barsShown);
    EXPECT_TRUE(window->autoHideTimer()->isActive());
    EXPECT_EQ(window->autoHideTimer()->interval(), 750);
    button("FILE:FLOATING")->setChecked(false);
    click(3, "FILE:FLOATING");
    EXPECT_EQ(window->state().options.floatBars, 0);
    EXPECT_FALSE(window->autoHideTimer()->isActive());
    EXPECT_FALSE(window->state().barsShown); // the bars keep their state

    window->goExit();
    EXPECT_EQ(optionsLines().value(0), QStringLiteral("0"));
    EXPECT_EQ(optionsLines().value(2), QStringLiteral("0"));
}

TEST_F(DispatchTest, BookmarkSurvivesARestart)
{
    start();
    click(3, "NAVIGATE:GO"); // no bookmark file: nothing happens
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    window->addressBox()->setEditText(url("/a"));
    window->tabs()->goAddress(1);
    ASSERT_TRUE(loaded(0, url("/a")));
    click(3, "NAVIGATE:PICK");
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlBook.bm")))->value(0), url("/a"));
    window->goExit();
    window.reset();

    start();
    click(3, "NAVIGATE:GO");
    EXPECT_EQ(window->addressBox()->currentText(), url("/a"));
    ASSERT_TRUE(loaded(0, url("/a")));
    EXPECT_EQ(window->addressBox()->count(), 1); // from the history file, not from the bookmark
}

TEST_F(DispatchTest, ShellOpeningsPassTextAsArguments)
{
    start();
    window->addressBox()->setEditText(QStringLiteral("\"; rm -rf ~"));
    click(3, "FILE:EXPLORER");
    ASSERT_EQ(shell.shell.urls.size(), 1);
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    EXPECT_NE(shell.shell.urls[0].scheme(), QStringLiteral("file"));

    click(3, "EDIT:TXT");
    ASSERT_EQ(shell.shell.urls.size(), 2);
    EXPECT_EQ(shell.shell.urls[1], QUrl::fromLocalFile(folder.file(QStringLiteral("Languages/Lang_English.txt"))));
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());

    // No browser set up on the machine: the user is told, with the address.
    shell.shell.handOffEnd = {Shell::HandOffEnd::Kind::NothingSetUp, 3};
    window->addressBox()->setEditText(url("/a"));
    click(3, "FILE:EXPLORER");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.dialogs.messages.isEmpty(); }, 5000));
    const AppState &s = window->state();
    EXPECT_EQ(dialogs.dialogs.messages[0].text,
              s.lang.entry(304) + u'\n' + url("/a") + QStringLiteral("\nxdg-open: ") + s.lang.entry(305));
}

TEST_F(DispatchTest, SettingsItemsNeedASettingsProgram)
{
    start();
    EXPECT_FALSE(button("FILE:VOLUME")->enabled());
    click(3, "FILE:VOLUME");
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    shell.shell.available = {QStringLiteral("/usr/bin/pavucontrol")};
    window->dispatch()->disableMissingSettings();
    EXPECT_TRUE(button("FILE:VOLUME")->enabled());
    click(3, "FILE:VOLUME");
    ASSERT_EQ(shell.shell.programs.size(), 1);
    EXPECT_EQ(shell.shell.programs[0].first, QStringLiteral("/usr/bin/pavucontrol"));
}

TEST_F(DispatchTest, PrintGoesThroughThePrintDialog)
{
    start();
    window->addressBox()->setEditText(url("/a"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(0, url("/a")));
    click(0, "PRINT"); // cancelled: nothing printed
    EXPECT_EQ(dialogs.dialogs.printerDialogs, QStringList{QStringLiteral("print")});

    // A blank page prints no ink: the count below tells a page from nothing.
    window->addressBox()->setEditText(QStringLiteral("about:blank"));
    dialogs.dialogs.printTo = folder.file(QStringLiteral("blank.pdf"));
    window->browser(0)->navigate(QStringLiteral("about:blank"));
    ASSERT_TRUE(loaded(0, QStringLiteral("about:blank")));
    click(3, "EDIT:PRINT");
    EXPECT_EQ(inkedPixels(folder.file(QStringLiteral("blank.pdf"))), 0);
    click(0, "BACK");
    ASSERT_TRUE(loaded(0, url("/a")));

    dialogs.dialogs.printTo = folder.file(QStringLiteral("printed.pdf"));
    click(3, "EDIT:PRINT");
    ASSERT_TRUE(folder.exists(QStringLiteral("printed.pdf")));
    EXPECT_GT(inkedPixels(folder.file(QStringLiteral("printed.pdf"))), 50);

    dialogs.dialogs.printTo = folder.file(QStringLiteral("preview.pdf"));
    click(3, "EDIT:PREVIEW");
    EXPECT_GT(inkedPixels(folder.file(QStringLiteral("preview.pdf"))), 50);
    click(3, "EDIT:PAGESET");
    EXPECT_EQ(dialogs.dialogs.printerDialogs.last(), QStringLiteral("pagesetup"));
}

TEST_F(DispatchTest, FindBarCountsMatches)
{
    start();
    window->addressBox()->setEditText(url("/a"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(0, url("/a")));
    click(3, "EDIT:FINDDOC");
    FindBar *find = window->findBar();
    ASSERT_TRUE(find->isVisible());
    QSignalSpy searched(find, &FindBar::searched);
    find->textBox()->setText(QStringLiteral("needle"));
    ASSERT_TRUE(searched.wait(5000));
    EXPECT_EQ(find->matchCount(), 3);
    EXPECT_EQ(find->activeMatch(), 1);
    find->findNext();
    ASSERT_TRUE(searched.wait(5000));
    EXPECT_EQ(find->activeMatch(), 2);
    find->findPrevious();
    ASSERT_TRUE(searched.wait(5000));
    EXPECT_EQ(find->activeMatch(), 1);
    EXPECT_TRUE(find->matchText().contains(QStringLiteral("1/3")));
    QTest::keyClick(find->textBox(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    // Ctrl+F from anywhere in the window opens it again.
    QTest::keyClick(window->addressBox(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(find->isVisible());
}

TEST_F(DispatchTest, PropertiesHomePageAndClipboardCommands)
{
    start();
    window->addressBox()->setEditText(url("/a"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(0, url("/a")));
    click(3, "EDIT:PROPERTIES");
    ASSERT_EQ(dialogs.dialogs.shownProperties.size(), 5);
    EXPECT_EQ(dialogs.dialogs.shownProperties[0].second, QStringLiteral("Page A"));
    EXPECT_EQ(dialogs.dialogs.shownProperties[1].second, url("/a"));
    EXPECT_EQ(dialogs.dialogs.shownProperties[2].second, QStringLiteral("text/html"));
    EXPECT_GT(dialogs.dialogs.shownProperties[3].second.toInt(), 50);

    click(3, "NAVIGATE:PICKHOME");
    EXPECT_EQ(window->state().options.homePage, url("/a"));
    EXPECT_EQ(optionsLines().value(4), url("/a"));

    click(3, "EDIT:SELECT");
    click(3, "EDIT:COPY");
    click(3, "EDIT:CUT");
    click(3, "EDIT:PASTE");
    click(3, "EDIT:DELETE");
    EXPECT_TRUE(dialogs.dialogs.messages.size() == 1); // only the properties
}

TEST_F(DispatchTest, ClicksFromOtherInstancesAndTitleButtonsDoNothing)
{
    start();
    QSignalSpy ended(window.get(), &MainWindow::ended);
    click(1, "EXIT");
    click(4, "EXIT");
    click(0, "SAVE");
    click(0, "EDIT");
    click(3, "NONSENSE");
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(window->isVisible());
    click(2, "MIN");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }, 2000));
    window->showNormal();
    click(3, "EDIT:EXIT");
    EXPECT_EQ(ended.count(), 1);
}
