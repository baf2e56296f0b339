// Each window built alone, with a stand-in for the main window: the link table window
// against a host that only answers what it is asked, the record editor against a bare
// link table.
#include "settings/appstate.h"
#include "commands/mainbars.h"
#include "linkdriver.h"
#include "linktable/linktablehost.h"
#include "platform/imagelist.h"
#include "support/scripteddialogs.h"

#include <QSignalSpy>

using namespace LinkDriver;

namespace {

class StandInHost : public LinkTableHost
{
public:
    QString pageTitle() const override { return title; }
    QString pageAddress() const override { return address; }
    QString addressBoxText() const override { return box; }
    void chooseLink(const QString &link) override { chosen.append(link); }

    QString title;
    QString address;
    QString box;
    QStringList chosen;
};

class LinkWindowAlone : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.write(QStringLiteral("Links/Links.Bok"), "Mine,3\r\n");
        folder.write(QStringLiteral("Links/Links.000"),
                     "Alpha;-;http://a/;-;;-;pa;-;a;-;2026-01-01\r\nBeta;-;http://b/;-;;-;;-;b;-;2026-01-02\r\n"
                     "Gamma;-;http://g/;-;;-;;-;g;-;2026-01-03\r\n");
        folder.mkdir(QStringLiteral("Data"));
        state = std::make_unique<AppState>(folder.path());
        ASSERT_TRUE(LanguageFile::read(QStringLiteral(QUORL_DATA_DIR "/Lang_English.txt"), state->lang,
                                       state->langSettings, nullptr));
        state->linkBase = LinkFiles::baseName(folder.path());
        state->todayText = QStringLiteral("2026-12-08");
        MainBars::makeButtons(catalogue, folder.path(), 450, &tabs, ImageList::main());
        MainBars::makeBars(catalogue, {});
        ASSERT_TRUE(LinkFiles::readTitles(state->linkBase, state->groups, state->lang.entry(34)));
    }

    LinkTableWindow *open()
    {
        window = std::make_unique<LinkTableWindow>(*state, catalogue, dialogs, host);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window.get();
    }

    QStringList links() const
    {
        return TextFile::readLines(folder.file(QStringLiteral("Links/Links.000"))).value_or(QStringList());
    }

    TempFolder folder;
    std::unique_ptr<AppState> state;
    QTabBar tabs;
    CommandCatalogue catalogue;
    ScriptedDialogs dialogs;
    StandInHost host;
    std::unique_ptr<LinkTableWindow> window;
};

} // namespace

TEST_F(LinkWindowAlone, UntitledOrKnownPagesAddNothingButTheGroupIsSavedAndRead)
{
    LinkTableWindow *table = open();
    const QStringList before = links();
    host.address = QStringLiteral("http://new/");
    host.box = QStringLiteral("http://new/");

    QFile::remove(folder.file(QStringLiteral("Links/Links.000")));
    press(table->commandBar(0), "ADDURL"); // the page has no title
    EXPECT_EQ(links(), before);
    host.title = QStringLiteral("Beta");
    QFile::remove(folder.file(QStringLiteral("Links/Links.000")));
    press(table->commandBar(0), "ADDURL");
    EXPECT_EQ(links(), before);
    EXPECT_EQ(state->groups.entry(1).count, QStringLiteral("3"));

    host.title = QStringLiteral("Able");
    press(table->commandBar(0), "ADDURL");
    ASSERT_EQ(links().size(), 4);
    EXPECT_EQ(links().value(0), QStringLiteral("Able;-;http://new/;-;;-;;-;http://new/;-;2026-12-08"));
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("Able"));
    EXPECT_EQ(table->table()->concealed(2), QStringLiteral("pa"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LinkWindowAlone, AFailedWriteIsToldAndTheLinksWaitInTheWindow)
{
    LinkTableWindow *table = open();
    host.title = QStringLiteral("Delta");
    host.address = QStringLiteral("http://d/");
    // The group's file cannot be replaced while a folder stands in its place.
    QFile::remove(folder.file(QStringLiteral("Links/Links.000")));
    folder.mkdir(QStringLiteral("Links/Links.000"));
    press(table->commandBar(0), "ADDURL");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(state->lang.entry(291)));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String("Links.000")));
    EXPECT_EQ(table->table()->count(), 4);
    EXPECT_EQ(table->table()->cell(3, 1), QStringLiteral("Delta")); // sorted in by the save
    EXPECT_EQ(table->table()->cell(1, 4), LinkTable::kMask);
    EXPECT_TRUE(table->grid()->isVisible());
    EXPECT_GE(table->table()->rows(), table->table()->minimumRows());

    // Closing asks; the disk has room again, and Yes writes what waited.
    QDir(folder.file(QStringLiteral("Links/Links.000"))).removeRecursively();
    dialogs.answers = {true};
    QSignalSpy finished(table, &QDialog::finished);
    press(table->commandBar(0), "EXIT5");
    ASSERT_EQ(finished.count(), 1);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].icon, Dialogs::Icon::Question);
    EXPECT_EQ(dialogs.messages[1].text, state->lang.entry(101));
    EXPECT_EQ(dialogs.messages[1].title, QStringLiteral("QuorlOffice"));
    EXPECT_EQ(links(), (QStringList{QStringLiteral("Alpha;-;http://a/;-;;-;pa;-;a;-;2026-01-01"),
                                    QStringLiteral("Beta;-;http://b/;-;;-;;-;b;-;2026-01-02"),
                                    QStringLiteral("Delta;-;http://d/;-;;-;;-;;-;2026-12-08"),
                                    QStringLiteral("Gamma;-;http://g/;-;;-;;-;g;-;2026-01-03")}));
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Links/Links.Bok")))->value(0), QStringLiteral("Mine, 4"));
}

TEST_F(LinkWindowAlone, OpeningALinkHandsItBackAndCloses)
{
    LinkTableWindow *table = open();
    QSignalSpy finished(table, &QDialog::finished);
    doubleClickCell(table->grid(), 2, 5);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(host.chosen, QStringList{QStringLiteral("http://b/")});
    EXPECT_FALSE(table->isVisible());
    EXPECT_GT(state->ini.tabWinWidth, 0);
}

TEST_F(LinkWindowAlone, TheEditorAloneStoresItsBoxesIntoTheRow)
{
    LinkTable rows(state->linkBase, &state->groups);
    rows.setMinimumRows(10);
    rows.readTable();
    {
        LinkEditor editor(*state, catalogue, rows, 1, nullptr);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        EXPECT_EQ(editor.box(4)->text(), QStringLiteral("pa"));
        EXPECT_EQ(editor.box(6)->text(), QStringLiteral("2026-01-01"));
        retype(editor.box(1), QStringLiteral("Zed"));
        retype(editor.box(4), QString::fromUtf8("mot de passe, ŝlosilo"));
        QSignalSpy finished(&editor, &QDialog::finished);
        press(editor.commandBar(), "SAVE3");
        EXPECT_EQ(finished.count(), 1);
    }
    EXPECT_EQ(links().value(2), QString::fromUtf8("Zed;-;http://a/;-;;-;mot de passe, ŝlosilo;-;a;-;2026-01-01"));

    // A filler row can be edited, but what is typed there is not kept.
    rows.readTable();
    {
        LinkEditor editor(*state, catalogue, rows, 6, nullptr);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        EXPECT_TRUE(editor.box(1)->text().isEmpty());
        retype(editor.box(1), QStringLiteral("Ghost"));
        press(editor.commandBar(), "SAVE3");
    }
    EXPECT_EQ(links().size(), 3);
    EXPECT_FALSE(links().join(u'\n').contains(QLatin1String("Ghost")));
    EXPECT_EQ(state->groups.countOf(1), 3);
}

TEST_F(LinkWindowAlone, BarsAreDrawnInTheirFixedLookFromTheFirstPaint)
{
    LinkTableWindow *table = open();
    QWidget reference;
    auto *plain = new CommandBar(5, &reference);
    plain->setBarStyle(1);
    auto colourAt = [](QWidget *bar, int y) { return bar->grab().toImage().pixelColor(bar->width() - 4, y).name(); };

    CommandBar *bar = table->commandBar(0);
    plain->resize(bar->size());
    for (int y : {3, bar->height() / 2, bar->height() - 3})
        EXPECT_EQ(colourAt(bar, y), colourAt(plain, y)) << y;

    table->editLink();
    LinkEditor *editor = table->editor();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    plain->resize(editor->commandBar()->size());
    EXPECT_EQ(colourAt(editor->commandBar(), 4), colourAt(plain, 4));
    editor->leave();
}
