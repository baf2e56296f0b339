#include "app/mainwindow.h"
#include "commands/captions.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/dragbutton.h"
#include "platform/imagelist.h"
#include "platform/pointer.h"
#include "platform/twips.h"
#include "platform/webbrowser.h"
#include "support/windowfixture.h"

#include <QComboBox>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

QStringList keysOf(const QString &bar)
{
    QStringList keys;
    for (CommandButton *b : CommandCatalogue::instance().bar(bar)->buttons())
        keys.append(b->key());
    return keys;
}

QStringList split(const char *keys)
{
    return QString::fromLatin1(keys).split(u' ');
}

CommandButton *button(const char *key)
{
    return CommandCatalogue::instance().button(QString::fromLatin1(key));
}

// A catalogue made from a Languages folder of the given files.
class Catalogue : public ::testing::Test
{
protected:
    QStringList build(const QStringList &languageFiles)
    {
        CommandCatalogue::instance().clear();
        SecondaryBars::reset();
        for (const QString &f : languageFiles)
            folder.write(QStringLiteral("Languages/") + f, "\"x\"\r\n");
        const QStringList languages = MainBars::makeButtons(CommandCatalogue::instance(), folder.path(), 300, &tabs,
                                                            ImageList::main());
        MainBars::makeBars(CommandCatalogue::instance(), languages);
        return languages;
    }

    TempFolder folder;
    QTabBar tabs;
};

} // namespace

TEST_F(Catalogue, BarsFollowTheTables)
{
    build({QStringLiteral("Lang_English.txt")});
    EXPECT_EQ(keysOf(QStringLiteral("STANDARD0")),
              split("EXIT SEP13 BACK NEXT SEP10 PRINT FAVORITE SEP11 EDIT SAVE FILE LANG NAVIGATE"));
    EXPECT_EQ(keysOf(QStringLiteral("SAVE")), split("SAVE:HTML SAVE:WORDH SAVE:WORDV SAVE:EXCEL SAVE:PPT SAVE:PDF "
                                                    "SAVE:TABS SAVE:OUTLOOK SAVE:LINKS:SEPARATOR SAVE:GETLINKS"));
    EXPECT_EQ(keysOf(QStringLiteral("EDIT")),
              split("EDIT:STOP EDIT:TXT EDIT:TXT:SEPARATOR EDIT:CUT EDIT:COPY EDIT:PASTE EDIT:DELETE EDIT:SELECT "
                    "EDIT:SELECT:SEPARATOR EDIT:PAGESET EDIT:PREVIEW EDIT:PRINT EDIT:PROPERTIES EDIT:FINDDOC "
                    "EDIT:VIEW:SEPARATOR EDIT:VIEW EDIT:PICTURE EDIT:TRANS EDIT:EXIT:SEPARATOR EDIT:EXIT"));
    EXPECT_EQ(keysOf(QStringLiteral("FILE")),
              split("FILE:STYLE:SEPARATOR FILE:SYSTEM FILE:OFFICE FILE:XP FILE:MONEY FILE:FLOATING:SEPARATOR "
                    "FILE:FLOATING FILE:FISH:SEPARATOR FILE:EXPLORER FILE:SECURITY FILE:VOLUME FILE:INTERNET "
                    "FILE:INTERNET:SEPARATOR FILE:TAMBERLO FILE:HELP"));
    EXPECT_EQ(keysOf(QStringLiteral("NAVIGATE")),
              split("NAVIGATE:PICK NAVIGATE:GO NAVIGATE:GO:SEPARATOR NAVIGATE:BACK NAVIGATE:REFRESH NAVIGATE:NEXT "
                    "NAVIGATE:HOME:SEPARATOR NAVIGATE:PICKHOME NAVIGATE:HOME"));
    EXPECT_EQ(keysOf(QStringLiteral("LANG")), split("LANG:ENGLISH LANG:NEW"));
    EXPECT_EQ(keysOf(QStringLiteral("STANDARD1")), split("NIL4"));
    EXPECT_EQ(keysOf(QStringLiteral("STANDARD2")),
              split("GO SEP6 GOOGLE WIKI MAP SOCIAL SEP15 TAMBERLO SEP14 MIN EXIT2"));
    EXPECT_TRUE(keysOf(QStringLiteral("TOOLS")).isEmpty());

    // Which button drops which bar, and which show the arrow.
    for (const char *title : {"SAVE", "EDIT", "FILE", "NAVIGATE", "LANG"}) {
        ASSERT_NE(button(title)->bar(), nullptr) << title;
        EXPECT_EQ(button(title)->bar()->key(), QString::fromLatin1(title));
        EXPECT_TRUE(button(title)->dropDownArrow()) << title;
    }
    EXPECT_EQ(button("TOOLS")->bar(), nullptr);
    EXPECT_TRUE(button("TOOLS")->dropDownArrow());
    EXPECT_TRUE(button("SEARCH")->dropDownArrow());
    EXPECT_FALSE(button("BACK")->dropDownArrow());
}

TEST_F(Catalogue, ImagesStylesAndFirstTooltips)
{
    build({});
    const struct { const char *key; int image; int style; } expected[] = {
        {"EXIT", 0, 0},          {"FILE", 81, 0},       {"NAVIGATE", 73, 0},   {"LANG", 105, 0},
        {"SAVE:PDF", 32, 0},     {"SAVE:OUTLOOK", 31, 0}, {"EDIT:TRANS", 80, 0}, {"FILE:SYSTEM", 58, 6},
        {"SAVE:TABS", 33, 0},
        {"FILE:OFFICE", 9, 6},   {"FILE:XP", 75, 6},    {"FILE:MONEY", 76, 6}, {"FILE:FLOATING", 72, 4},
        {"LANG:NEW", 119, 0},    {"WIKI", 122, 0},      {"SOCIAL", 124, 0},    {"MIN", 22, 0},
        {"SORT", 6, 0},          {"CANCEL", 1, 0},      {"PICTURE", 78, 0},    {"SEP16", -1, 1},
        {"EDIT:FIND:SEPARATOR", -1, 1}, {"NIL2", -1, 3}, {"MOVE2", -1, 3},     {"NIL4", -1, 3},
    };
    for (const auto &e : expected) {
        ASSERT_NE(button(e.key), nullptr) << e.key;
        EXPECT_EQ(button(e.key)->image(), e.image) << e.key;
        EXPECT_EQ(button(e.key)->style(), e.style) << e.key;
    }
    EXPECT_EQ(button("GO")->toolTip(), QStringLiteral("go"));
    EXPECT_EQ(button("MAP")->toolTip(), QStringLiteral("\""));
    EXPECT_EQ(button("NIL2")->panelWidth(), 0);
    EXPECT_EQ(button("MOVE2")->panelWidth(), 12);
    EXPECT_EQ(button("NIL4")->panelWidth(), 300);
    EXPECT_EQ(button("NIL4")->panelControl(), &tabs);
    // No languages: the bar holds only the new-language item.
    EXPECT_EQ(keysOf(QStringLiteral("LANG")), split("LANG:NEW"));
    // Keys are unique.
    EXPECT_EQ(CommandCatalogue::instance().addButton(QStringLiteral("EXIT"), 0, QString(), 0, QString()), nullptr);
    EXPECT_EQ(ImageList::main().count(), 125);
}

TEST_F(Catalogue, LanguageDiscoveryEdgeCases)
{
    const QStringList languages = build({QStringLiteral("Lang_italiano.txt"), QStringLiteral("Lang_English.txt"),
                                         QStringLiteral("Lang_English.old.txt"), QStringLiteral("Lang_Esperanto"),
                                         QStringLiteral("lang_xx.txt"), QStringLiteral("Lang_.txt"),
                                         QStringLiteral("Readme.txt")});
    QStringList sorted = languages;
    sorted.sort();
    EXPECT_EQ(sorted, (QStringList{QStringLiteral("English"), QStringLiteral("Esperanto"),
                                   QStringLiteral("italiano"), QStringLiteral("xx")}));
    CommandButton *it = button("LANG:ITALIANO");
    ASSERT_NE(it, nullptr);
    EXPECT_EQ(it->caption(), QStringLiteral("Italiano"));
    EXPECT_EQ(it->toolTip(), QStringLiteral("Lang_italiano.txt"));
    EXPECT_EQ(it->style(), CommandButton::OptionItem);
    EXPECT_TRUE(ImageList::main().itemKey(it->image() + 1).startsWith(QLatin1String("it")));
    EXPECT_TRUE(ImageList::main().itemKey(button("LANG:ENGLISH")->image() + 1).startsWith(QLatin1String("en")));
    EXPECT_EQ(button("LANG:XX")->image(), 106);
    EXPECT_EQ(button("LANG:ESPERANTO")->caption(), QStringLiteral("Esperanto"));
    // The bar lists each language once, in the order found, then the new-language item.
    QStringList bar = keysOf(QStringLiteral("LANG"));
    EXPECT_EQ(bar.size(), 5);
    EXPECT_EQ(bar.last(), QStringLiteral("LANG:NEW"));
    EXPECT_EQ(bar.count(QStringLiteral("LANG:ENGLISH")), 1);
}

TEST_F(Catalogue, CaptionsFromFullAndShortLanguageFiles)
{
    build({QStringLiteral("Lang_English.txt")});
    AppState state(folder.path());
    LanguageFile::read(QStringLiteral(QUORL_DATA_DIR "/Lang_English.txt"), state.lang, state.langSettings, nullptr);
    state.options.langName = QStringLiteral("english");
    QToolButton move, moveLeft;
    Captions::apply(CommandCatalogue::instance(), state, state.groups, &move, &moveLeft);
    EXPECT_EQ(button("PRINT")->toolTip(), state.lang.entry(43));
    EXPECT_EQ(button("EDIT:PRINT")->caption(), state.lang.entry(43));
    EXPECT_EQ(button("EXIT")->toolTip(), button("EXIT2")->toolTip());
    EXPECT_EQ(button("EDIT:PICTURE")->caption(), button("PICTURE")->toolTip());
    EXPECT_EQ(button("SAVE")->toolTip(), state.lang.entry(128));
    EXPECT_EQ(button("SAVE:PDF")->caption(), state.lang.entry(206));
    EXPECT_EQ(button("SAVE:TABS")->caption(), state.lang.entry(340));
    EXPECT_EQ(button("SAVE:TABS")->toolTip(), state.lang.entry(341));
    EXPECT_EQ(button("GOOGLE")->toolTip(), state.langSettings.searchDescr);
    EXPECT_EQ(button("WIKI")->toolTip(), state.langSettings.dictionaryDescr);
    EXPECT_EQ(button("EDIT:TXT")->caption(), QStringLiteral("Lang_english.txt"));
    EXPECT_EQ(move.toolTip(), state.lang.entry(215));
    EXPECT_EQ(moveLeft.toolTip(), state.lang.entry(215));
    EXPECT_EQ(state.groups.entry(9).title, state.lang.entry(34) + QStringLiteral(" 9"));
    // The language items keep the texts they were made with.
    EXPECT_EQ(button("LANG:ENGLISH")->caption(), QStringLiteral("English"));
    EXPECT_EQ(button("LANG:ENGLISH")->toolTip(), QStringLiteral("Lang_English.txt"));

    // A file of 100 entries: everything above 100 goes empty.
    QStringList hundred;
    for (int i = 1; i <= 100; ++i)
        hundred.append(QStringLiteral("\"t%1\"").arg(i));
    state.groups.entry(3) = {QStringLiteral("Kept"), QStringLiteral("2")};
    state.groups.entry(4) = {QStringLiteral("Mine"), QStringLiteral("0")};
    LanguageFile::parse(hundred, state.lang, state.langSettings, nullptr);
    Captions::apply(CommandCatalogue::instance(), state, state.groups, &move, &moveLeft);
    EXPECT_TRUE(button("SAVE:PDF")->caption().isEmpty());
    EXPECT_TRUE(button("LANG")->toolTip().isEmpty());
    EXPECT_TRUE(button("TAMBERLO")->toolTip().isEmpty());
    EXPECT_EQ(button("EDIT:PRINT")->caption(), QStringLiteral("t43"));
    EXPECT_EQ(state.groups.entry(3).title, QStringLiteral("Kept"));
    EXPECT_EQ(state.groups.entry(4).title, QStringLiteral("t34 4"));
}

TEST_F(Catalogue, CheckAndOptionItemsChangeBeforeTheClickIsReported)
{
    build({QStringLiteral("Lang_English.txt"), QStringLiteral("Lang_Italiano.txt")});
    MainBars::setCheckMarks(CommandCatalogue::instance(), 1, 3);
    EXPECT_TRUE(button("FILE:FLOATING")->checked());
    EXPECT_TRUE(button("FILE:XP")->checked());
    EXPECT_FALSE(button("FILE:OFFICE")->checked());

    CommandBar bar(0, nullptr);
    bar.setToolbar(CommandCatalogue::instance().bar(QStringLiteral("STANDARD0")));
    std::unique_ptr<QMenu> menu(bar.buildMenu(CommandCatalogue::instance().bar(QStringLiteral("FILE")), nullptr));
    ASSERT_TRUE(menu->actions().first()->isSeparator()); // the FILE drop-down begins with a separator
    QList<bool> floatingSeen;
    QObject::connect(&bar, &CommandBar::buttonClick, &bar, [&](int index, CommandButton *b) {
        EXPECT_EQ(index, 0); // no other instance was offered: reported here
        if (b->key() == QLatin1String("FILE:FLOATING"))
            floatingSeen.append(b->checked());
    });
    auto trigger = [&](QMenu *m, const char *key) {
        for (QAction *a : m->actions()) {
            if (a->objectName() == QLatin1String(key))
                return a->trigger();
        }
        ADD_FAILURE() << "no item " << key;
    };
    trigger(menu.get(), "FILE:FLOATING");
    trigger(menu.get(), "FILE:FLOATING");
    EXPECT_EQ(floatingSeen, (QList<bool>{false, true}));
    trigger(menu.get(), "FILE:MONEY");
    EXPECT_TRUE(button("FILE:MONEY")->checked());
    EXPECT_FALSE(button("FILE:XP")->checked());
    EXPECT_FALSE(button("FILE:SYSTEM")->checked());

    std::unique_ptr<QMenu> lang(bar.buildMenu(CommandCatalogue::instance().bar(QStringLiteral("LANG")), nullptr));
    trigger(lang.get(), "LANG:ITALIANO");
    EXPECT_TRUE(button("LANG:ITALIANO")->checked());
    trigger(lang.get(), "LANG:ENGLISH");
    EXPECT_FALSE(button("LANG:ITALIANO")->checked());
    EXPECT_TRUE(button("FILE:MONEY")->checked()); // another bar's option items are left alone
}

TEST_F(Catalogue, FourStylesLookDifferent)
{
    build({});
    QSet<QString> sheets;
    for (int style = 0; style < 4; ++style)
        sheets.insert(CommandBar::styleSheet(style));
    EXPECT_EQ(sheets.size(), 4);
    CommandBar bar(0, nullptr);
    bar.setToolbar(CommandCatalogue::instance().bar(QStringLiteral("STANDARD0")));
    bar.setImageLists(&ImageList::main(), &ImageList::main());
    bar.resize(400, 26);
    QImage looks[4];
    for (int style = 0; style < 4; ++style) {
        bar.setBarStyle(style);
        EXPECT_EQ(bar.barStyle(), style);
        looks[style] = bar.grab().toImage();
    }
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(looks[a], looks[b]) << a << " and " << b;
    }
    // Captions and enabled states reach the drawn buttons.
    auto *favorite = bar.findChild<QToolButton *>(QStringLiteral("FAVORITE"));
    ASSERT_NE(favorite, nullptr);
    button("FAVORITE")->setEnabled(false);
    EXPECT_FALSE(favorite->isEnabled());
    button("FAVORITE")->setToolTip(QStringLiteral("Links"));
    EXPECT_EQ(favorite->toolTip(), QStringLiteral("Links"));
}

TEST_F(Catalogue, ALanguageMadeDuringTheRunJoinsTheBarBeforeNew)
{
    build({QStringLiteral("Lang_English.txt")});
    CommandCatalogue &catalogue = CommandCatalogue::instance();
    EXPECT_EQ(MainBars::offerLanguage(catalogue, QStringLiteral("Lang_Esperanto.Txt"), ImageList::main()),
              QStringLiteral("Esperanto"));
    EXPECT_EQ(keysOf(QStringLiteral("LANG")), split("LANG:ENGLISH LANG:ESPERANTO LANG:NEW"));
    EXPECT_EQ(button("LANG:ESPERANTO")->caption(), QStringLiteral("Esperanto"));
    EXPECT_EQ(button("LANG:ESPERANTO")->toolTip(), QStringLiteral("Lang_Esperanto.Txt"));
    EXPECT_EQ(button("LANG:ESPERANTO")->style(), CommandButton::OptionItem);
    // Saved again, in another case: offered already, nothing changes.
    EXPECT_TRUE(MainBars::offerLanguage(catalogue, QStringLiteral("lang_esperanto.txt"), ImageList::main()).isEmpty());
    EXPECT_EQ(keysOf(QStringLiteral("LANG")).size(), 3);
}

// ---- the bars on the main window ----------------------------------------------------

using MainWindowBars = WindowTest;

TEST_F(MainWindowBars, MountedBarsCaptionsAndTheStartupTimer)
{
    start();
    EXPECT_EQ(window->commandBar(0)->toolbar()->key(), QStringLiteral("STANDARD0"));
    EXPECT_EQ(window->commandBar(1)->toolbar()->key(), QStringLiteral("STANDARD1"));
    EXPECT_EQ(window->commandBar(2)->toolbar()->key(), QStringLiteral("STANDARD2"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window->commandBar(i)->barStyle(), 1);
    EXPECT_TRUE(button("FILE:OFFICE")->checked());
    EXPECT_FALSE(button("FILE:FLOATING")->checked());
    // The bars have their widths, or more when their buttons need it.
    EXPECT_GE(Twips::fromPixelsX(window->commandBar(0)->width()), 4560 - 15);
    EXPECT_GE(Twips::fromPixelsX(window->commandBar(2)->width()), 3400 - 15);
    EXPECT_GE(window->commandBar(0)->width(), window->commandBar(0)->contentWidth());
    EXPECT_EQ(window->tabBar()->parentWidget()->parentWidget(), window->commandBar(1)); // inside "NIL4"
    EXPECT_EQ(button("BACK")->toolTip(), window->state().lang.entry(123));
    EXPECT_EQ(window->moveButton()->toolTip(), window->state().lang.entry(215));
    EXPECT_FALSE(window->moveButton()->icon().isNull());

    // The start-up timer loads the link titles 750 ms after the start.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 10000));
    EXPECT_EQ(window->state().groups.entry(1).title, QStringLiteral("Office and documents"));
    EXPECT_EQ(window->state().groups.countOf(1), 3);
    EXPECT_EQ(window->state().groups.entry(10).title, window->state().lang.entry(34) + QStringLiteral(" 10"));
    window->goExit();
}

TEST_F(MainWindowBars, DropDownItemsAreReportedOnInstanceThree)
{
    start();
    QList<QPair<int, QString>> clicks;
    QObject::connect(window.get(), &MainWindow::commandClicked, window.get(),
                     [&](int index, const QString &key) { clicks.append({index, key}); });
    CommandBar *bar0 = window->commandBar(0);
    CommandCatalogue::instance().button(QStringLiteral("SAVE:OUTLOOK"))->setEnabled(false);
    std::unique_ptr<QMenu> menu(bar0->buildMenu(CommandCatalogue::instance().bar(QStringLiteral("SAVE")), nullptr));
    for (QAction *a : menu->actions()) {
        if (a->objectName() == QLatin1String("SAVE:OUTLOOK"))
            a->trigger(); // a disabled item reports nothing
    }
    EXPECT_TRUE(clicks.isEmpty());
    std::unique_ptr<QMenu> navigate(
        bar0->buildMenu(CommandCatalogue::instance().bar(QStringLiteral("NAVIGATE")), nullptr));
    for (QAction *a : navigate->actions()) {
        if (a->objectName() == QLatin1String("NAVIGATE:REFRESH"))
            a->trigger();
    }
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0], qMakePair(3, QStringLiteral("NAVIGATE:REFRESH")));
    EXPECT_EQ(window->commandBarCount(), 4);
    EXPECT_FALSE(window->commandBar(3)->isVisible());
    // A toolbar button reports on its own instance.
    auto *back = bar0->findChild<QToolButton *>(QStringLiteral("BACK"));
    QTest::mouseClick(back, Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[1], qMakePair(0, QStringLiteral("BACK")));
    window->goExit();
}

TEST_F(MainWindowBars, OpeningADropDownHoldsTheFloatingTimer)
{
    folder.writeOptions(server.url(QStringLiteral("/home")), 2, 1);
    start();
    EXPECT_TRUE(button("FILE:FLOATING")->checked());
    EXPECT_TRUE(button("FILE:MONEY")->checked());
    EXPECT_TRUE(window->autoHideTimer()->isActive());
    auto *edit = window->commandBar(0)->findChild<QToolButton *>(QStringLiteral("EDIT"));
    ASSERT_NE(edit, nullptr);
    QTimer::singleShot(300, window.get(), [&] {
        EXPECT_FALSE(window->autoHideTimer()->isActive());
        edit->menu()->close();
    });
    edit->showMenu(); // runs until the menu closes
    EXPECT_TRUE(window->autoHideTimer()->isActive());
    window->goExit();
}

TEST_F(MainWindowBars, F12FillsTheScreenWhateverTheModifiers)
{
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n6000\r\n9000\r\n");
    start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NE(window->frameGeometry().size(), screen.size());
    QTest::keyClick(window->addressBox(), Qt::Key_A);
    EXPECT_NE(window->frameGeometry().size(), screen.size()); // other keys do nothing here
    QTest::keyClick(window->browser(0)->widget()->focusProxy() ? window->browser(0)->widget()->focusProxy()
                                                               : window->browser(0)->widget(),
                    Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(window->frameGeometry().size(), screen.size());
    window->move(40, 40);
    QTest::keyClick(window->addressBox(), Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 0));
    window->goExit();
}

TEST_F(MainWindowBars, DragButtonsMoveTheWindowWithAnyMouseButton)
{
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "1500\r\n1500\r\n6000\r\n9000\r\n");
    start();
    for (DragButton *drag : {window->moveButton(), window->moveButtonLeft()}) {
        for (Qt::MouseButton mouse : {Qt::LeftButton, Qt::RightButton}) {
            const QPoint before = window->frameGeometry().topLeft();
            const QPoint grip(5, 5);
            QTest::mousePress(drag, mouse, Qt::NoModifier, grip);
            if (drag->systemMove()) {
                QTest::mouseRelease(drag, mouse, Qt::NoModifier, grip);
                continue; // the window system moves it; nothing for us to follow
            }
            QTest::mouseMove(drag, grip + QPoint(30, 20));
            // The window has followed: the grip is under the pointer again.
            QTest::mouseRelease(drag, mouse, Qt::NoModifier, grip);
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().topLeft() == before + QPoint(30, 20); }, 3000));
        }
    }
    window->goExit();
}

TEST_F(MainWindowBars, MouseButtonAndTheHistory)
{
    start();
    Pointer::setButtons(5);
    EXPECT_EQ(window->mouseButton(), 5);
    Pointer::setButtons(0);
    EXPECT_EQ(window->mouseButton(), 0);

    for (int i = 0; i < 20; ++i) {
        window->state().currentURL = QStringLiteral("http://site%1.example/").arg(i);
        window->addToHistory();
    }
    window->state().currentURL = QStringLiteral("http://site19.example/");
    window->addToHistory(); // the same address again is a new item
    window->goExit();
    const auto lines = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Hys")));
    ASSERT_EQ(lines->size(), 16);
    EXPECT_EQ(lines->first(), QStringLiteral("http://site5.example/"));
    EXPECT_EQ(lines->at(14), QStringLiteral("http://site19.example/"));
    EXPECT_EQ(lines->at(15), QStringLiteral("http://site19.example/"));
}

// Pictures of the bar panel in each style, for a person to look at: written only
// when a folder is named for them.
TEST_F(MainWindowBars, StylePictures)
{
    const QString out = qEnvironmentVariable("QUORL_SCREENSHOT_DIR");
    start();
    for (int style = 0; style < 4; ++style) {
        for (int i = 0; i < 3; ++i)
            window->commandBar(i)->setBarStyle(style);
        QTest::qWait(50);
        const QImage picture = window->barPanel()->grab().toImage();
        EXPECT_FALSE(picture.isNull());
        if (!out.isEmpty())
            picture.save(out + QStringLiteral("/bars-style%1.png").arg(style));
    }
    window->goExit();
}
