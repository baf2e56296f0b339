#include "commands/captions.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "browser/findbar.h"
#include "dialogs/inputdialog.h"
#include "langeditor/languageeditor.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "support/filesizelimit.h"
#include "support/modalscript.h"
#include "support/secondarywindows.h"
#include "support/windowfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextBlock>
#include <QToolButton>


namespace {

// A character typed on the keyboard, also one no key of a Latin keyboard carries.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class RecordingHost : public LanguageEditorHost
{
public:
    void languageSaved(const QString &fileName) override { saved.append(fileName); }
    QStringList saved;
};

// The editor on its own: a program folder with the delivered English file, the
// catalogue and captions as the start-up makes them, scripted dialogs.
class EditorAlone : public ::testing::Test
{
protected:
    void SetUp() override
    {
        english = folder.loopbackLanguage(QStringLiteral("Lang_English.txt"), folder.baseUrl);
        folder.write(QStringLiteral("Languages/Lang_English.txt"), english);
        SecondaryBars::reset();
        catalogue().clear();
        const QStringList languages = MainBars::makeButtons(catalogue(), folder.path(), 300, &tabs, ImageList::main());
        MainBars::makeBars(catalogue(), languages);
        LanguageFile::read(folder.file(QStringLiteral("Languages/Lang_English.txt")), state.lang, state.langSettings,
                           nullptr);
        Captions::apply(catalogue(), state, state.groups, nullptr, nullptr);
    }

    std::unique_ptr<LanguageEditor> open()
    {
        auto editor = std::make_unique<LanguageEditor>(state, catalogue(), host, nullptr);
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        return editor;
    }

    QStringList languageFiles() const { return QDir(folder.file(QStringLiteral("Languages"))).entryList(QDir::Files); }

    ProgramFolder folder;
    QByteArray english;
    QTabBar tabs;
    AppState state{folder.path()};
    RecordingHost host;
    ScopedDialogs dialogs;
};

// The editor through the real main window and its drop-down.
class EditorInProgram : public WindowTest
{
protected:
    // Opens a drop-down of the main toolbar with a click and clicks one of its items.
    void choose(ModalScript &script, const char *title, const char *item)
    {
        QToolButton *button = tool(window->commandBar(0), title);
        const QString key = QString::fromLatin1(item);
        script.on("QMenu", [key](QWidget *w) {
            auto *menu = static_cast<QMenu *>(w);
            QAction *chosen = nullptr;
            for (QAction *a : menu->actions()) {
                if (a->objectName() == key)
                    chosen = a;
            }
            ASSERT_NE(chosen, nullptr) << str(key);
            const QPoint at = menu->actionGeometry(chosen).center();
            ModalScript::post(menu, [menu, at] { QTest::mouseClick(menu, Qt::LeftButton, {}, at); });
        });
        ModalScript::post(button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }

    static void press(QWidget *window, const char *key)
    {
        QToolButton *button = tool(window, key);
        ModalScript::post(button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }

    QString englishText() const { return TextFile::decode(folder.read(QStringLiteral("Languages/Lang_English.txt"))); }
};

} // namespace

TEST_F(EditorInProgram, NewLanguageIsSavedOfferedAndChosen)
{
    start();
    // The real name prompt, answered on the keyboard.
    Dialogs::setInstance(nullptr);
    QString edited;
    ModalScript script;
    choose(script, "LANG", "LANG:NEW");
    script.on("frmLang", [&](QWidget *w) {
        auto *editor = static_cast<LanguageEditor *>(w);
        EXPECT_EQ(editor->windowTitle(), window->state().lang.entry(209));
        EXPECT_EQ(editor->text(), englishText());
        // Entry 1 found with Ctrl+F and typed over; entry 2 selected with the keys and
        // typed over with a letter outside Windows-1252.
        QTest::keyClick(editor->editor(), Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(editor->findBar()->isVisible());
        QTest::keyClicks(editor->findBar()->textBox(), QStringLiteral("\"Exit\""));
        QTest::keyClick(editor->findBar()->textBox(), Qt::Key_Escape);
        EXPECT_FALSE(editor->findBar()->isVisible());
        EXPECT_TRUE(editor->entryLabel()->text().contains(QStringLiteral("Entry 1   English: \"Exit\"")))
            << str(editor->entryLabel()->text());
        QTest::keyClicks(editor->editor(), QStringLiteral("\"Eliri\""));
        QTest::keyClick(editor->editor(), Qt::Key_Down);
        QTest::keyClick(editor->editor(), Qt::Key_Home);
        QTest::keyClick(editor->editor(), Qt::Key_End, Qt::ShiftModifier);
        typeText(editor->editor(), QStringLiteral("\"Reen \u0109i tie\""));
        EXPECT_TRUE(editor->entryLabel()->text().contains(QStringLiteral("Entry 2   English: \"Back\"")));
        edited = editor->text();
        press(editor, "SAVE5");
    });
    script.on("QInputDialog", [](QWidget *w) {
        auto *name = w->findChild<QLineEdit *>();
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, QStringLiteral("Esperanto"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    script.on("frmLang", [&](QWidget *w) {
        EXPECT_TRUE(folder.exists(QStringLiteral("Languages/Lang_Esperanto.Txt")));
        press(w, "EXIT3");
    });
    script.on("frmInput", [](QWidget *w) { QTest::mouseClick(tool(w, "OKYES"), Qt::LeftButton); });
    ASSERT_TRUE(script.waitUntilDone());
    Dialogs::setInstance(&dialogs.dialogs);

    // Exactly the edited text, CR LF line ends, UTF-8 because of the letter that
    // Windows-1252 lacks.
    QString expected = englishText();
    expected.replace(expected.indexOf(QStringLiteral("\"Exit\"")), 6, QStringLiteral("\"Eliri\""));
    expected.replace(expected.indexOf(QStringLiteral("\"Back\"")), 6, QStringLiteral("\"Reen \u0109i tie\""));
    const QByteArray bytes = folder.read(QStringLiteral("Languages/Lang_Esperanto.Txt"));
    EXPECT_EQ(bytes, expected.toUtf8());
    EXPECT_EQ(edited, expected);
    LangTable table;
    LangSettings settings;
    ASSERT_TRUE(LanguageFile::read(folder.file(QStringLiteral("Languages/Lang_Esperanto.Txt")), table, settings,
                                   nullptr));
    EXPECT_EQ(table.entry(1), QStringLiteral("Eliri"));
    EXPECT_EQ(table.entry(2), QStringLiteral("Reen \u0109i tie"));
    EXPECT_EQ(table.entry(3), window->state().lang.entry(3));
    EXPECT_EQ(table.lastFilled(), window->state().lang.lastFilled());

    // Offered at once, in name order before "LANG:NEW", and chosen from the drop-down.
    const QStringList lang = keysOf("LANG");
    EXPECT_EQ(lang, (QStringList{QStringLiteral("LANG:ENGLISH"), QStringLiteral("LANG:ESPERANTO"),
                                 QStringLiteral("LANG:ITALIANO"), QStringLiteral("LANG:NEW")}));
    EXPECT_EQ(catalogue().button(QStringLiteral("LANG:ESPERANTO"))->caption(), QStringLiteral("Esperanto"));
    choose(script, "LANG", "LANG:ESPERANTO");
    ASSERT_TRUE(script.waitUntilDone());
    EXPECT_EQ(window->state().options.langName, QStringLiteral("esperanto"));
    EXPECT_EQ(catalogue().button(QStringLiteral("EDIT:EXIT"))->caption(), QStringLiteral("Eliri"));
    EXPECT_EQ(catalogue().button(QStringLiteral("NAVIGATE:BACK"))->caption(), QStringLiteral("Reen \u0109i tie"));

    // The next start finds it, and starts in it.
    window->goExit();
    window.reset();
    start();
    EXPECT_EQ(keysOf("LANG").count(QStringLiteral("LANG:ESPERANTO")), 1);
    EXPECT_EQ(keysOf("LANG").last(), QStringLiteral("LANG:NEW"));
    EXPECT_EQ(catalogue().button(QStringLiteral("EDIT:EXIT"))->caption(), QStringLiteral("Eliri"));
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(EditorInProgram, ExitAsksOnlyAfterTypingAndOnlyAButtonAnswers)
{
    start();
    AppState &state = window->state();
    ModalScript script;

    // Nothing typed: "EXIT3" closes at once, without a question.
    choose(script, "LANG", "LANG:NEW");
    script.on("frmLang", [](QWidget *w) { press(w, "EXIT3"); });
    ASSERT_TRUE(script.waitUntilDone());
    EXPECT_FALSE(state.langEditorModified);

    // Typed: the question; "OKNO" keeps the editor, a save does not make it go away,
    // "OKYES" closes.
    choose(script, "LANG", "LANG:NEW");
    script.on("frmLang", [](QWidget *w) {
        QTest::keyClicks(static_cast<LanguageEditor *>(w)->editor(), QStringLiteral("x"));
        press(w, "EXIT3");
    });
    script.on("frmInput", [&](QWidget *w) {
        EXPECT_EQ(static_cast<InputDialog *>(w)->label()->text(), state.lang.entry(213));
        QTest::mouseClick(tool(w, "OKNO"), Qt::LeftButton);
    });
    script.on("frmLang", [&](QWidget *w) {
        EXPECT_EQ(state.inputAnswer, 0);
        dialogs.dialogs.inputs << QStringLiteral("Zz");
        press(w, "SAVE5");
        press(w, "EXIT3");
    });
    script.on("frmInput", [](QWidget *w) { QTest::mouseClick(tool(w, "OKYES"), Qt::LeftButton); });
    ASSERT_TRUE(script.waitUntilDone());
    EXPECT_TRUE(folder.exists(QStringLiteral("Languages/Lang_Zz.Txt")));
    EXPECT_EQ(state.inputAnswer, 1);

    // The next editor starts again from the English file, and still asks. Closing the
    // question by the window manager leaves the earlier yes in place, and is no yes:
    // the editor stays.
    choose(script, "LANG", "LANG:NEW");
    script.on("frmLang", [&](QWidget *w) {
        EXPECT_EQ(static_cast<LanguageEditor *>(w)->text(), englishText());
        press(w, "EXIT3");
    });
    script.on("frmInput", [](QWidget *w) { ModalScript::closeByWindowManager(w); });
    script.on("frmLang", [&](QWidget *w) {
        EXPECT_EQ(state.inputAnswer, 1);
        press(w, "EXIT3");
    });
    script.on("frmInput", [](QWidget *w) { QTest::mouseClick(tool(w, "OKYES"), Qt::LeftButton); });
    ASSERT_TRUE(script.waitUntilDone());
}

TEST_F(EditorInProgram, ButtonsAndBarsAreMadeOnceAndFollowTheLanguage)
{
    start();
    // Made at start-up, before either window opened, with the captions of the language.
    const LangTable &lang = window->state().lang;
    EXPECT_EQ(catalogue().button(QStringLiteral("EXIT3"))->caption(), lang.entry(210));
    EXPECT_EQ(catalogue().button(QStringLiteral("SAVE5"))->caption(), lang.entry(128));
    EXPECT_EQ(catalogue().button(QStringLiteral("OKYES"))->caption(), lang.entry(212));
    EXPECT_EQ(catalogue().button(QStringLiteral("OKNO"))->caption(), lang.entry(214));
    EXPECT_EQ(keysOf("STANDARD5"), QString::fromLatin1("SEP1 EXIT3 SEP13 SAVE5 SEP2").split(u' '));
    EXPECT_EQ(keysOf("STANDARD6"), QString::fromLatin1("OKYES SEP13 NIL6 SEP2 OKNO").split(u' '));
    const qsizetype keys = catalogue().buttonKeys().size();

    catalogue().button(QStringLiteral("LANG:ITALIANO"))->setChecked(true);
    emit window->commandClicked(3, QStringLiteral("LANG:ITALIANO"));
    click(3, "FILE:XP");
    EXPECT_EQ(catalogue().button(QStringLiteral("EXIT3"))->caption(), QStringLiteral("Esci"));
    EXPECT_EQ(catalogue().button(QStringLiteral("OKYES"))->caption(), QStringLiteral("S\u00ec"));

    ModalScript script;
    for (int round = 0; round < 2; ++round) {
        choose(script, "LANG", "LANG:NEW");
        script.on("frmLang", [&](QWidget *w) {
            auto *editor = static_cast<LanguageEditor *>(w);
            EXPECT_EQ(editor->commandBar()->index(), 5);
            EXPECT_EQ(editor->commandBar()->barStyle(), 3);
            EXPECT_EQ(tool(w, "EXIT3")->text(), QStringLiteral("Esci"));
            // Half the screen.
            const QRect screen = w->screen()->geometry();
            EXPECT_NEAR(w->width(), screen.width() / 2, 2);
            EXPECT_NEAR(w->height(), screen.height() / 2, 2);
            QTest::keyClicks(editor->editor(), QStringLiteral("x"));
            press(w, "EXIT3");
        });
        script.on("frmInput", [&](QWidget *w) {
            auto *input = static_cast<InputDialog *>(w);
            EXPECT_EQ(input->label()->text(), QStringLiteral("Uscire senza salvare?"));
            // The question sits in the panel "NIL6", 150 wide, between the two buttons.
            QWidget *panel = input->label()->parentWidget();
            EXPECT_EQ(panel->objectName(), QStringLiteral("panel_NIL6"));
            EXPECT_EQ(panel->width(), 150);
            const int left = panel->mapTo(w, QPoint(0, 0)).x();
            EXPECT_GT(left, tool(w, "OKYES")->mapTo(w, QPoint(tool(w, "OKYES")->width(), 0)).x());
            EXPECT_LT(left + panel->width(), tool(w, "OKNO")->mapTo(w, QPoint(0, 0)).x());
            EXPECT_TRUE(input->label()->isVisible());
            EXPECT_EQ(input->commandBar()->barStyle(), 3);
            QTest::mouseClick(tool(w, "OKYES"), Qt::LeftButton);
        });
        ASSERT_TRUE(script.waitUntilDone());
    }
    EXPECT_EQ(catalogue().buttonKeys().size(), keys);
    EXPECT_EQ(catalogue().buttonKeys().count(QStringLiteral("EXIT3")), 1);
    EXPECT_EQ(keysOf("STANDARD5").size(), 5);
    EXPECT_EQ(keysOf("STANDARD6").size(), 5);
}

TEST_F(EditorAlone, NamesThatCannotMakeAFileWriteNothing)
{
    auto editor = open();
    const QStringList before = languageFiles();
    struct Case
    {
        QString name;
        int reason; // the entry of the reason, 0 when nothing is said
    };
    const Case cases[] = {
        {QString(), 0},                       // an empty answer
        {QStringLiteral("   "), 313},         // blank
        {QStringLiteral("Kl/ingon"), 314},    // a path separator
        {QStringLiteral("Kl\\ingon"), 314},
        {QStringLiteral(".hidden"), 315},     // a leading dot
        {QStringLiteral("Pt.BR"), 315},       // would be read back as "Pt"
        {QStringLiteral("Kl\tingon"), 316},   // control characters
        {QStringLiteral("K\u0085l"), 316},
        {QStringLiteral("nEw"), 318},         // the new-language command's own key
        {QString(300, u'x'), 317},            // longer than a file name may be
    };
    for (const Case &c : cases) {
        dialogs.dialogs.messages.clear();
        dialogs.dialogs.inputs << c.name;
        editor->save();
        EXPECT_EQ(languageFiles(), before) << str(c.name);
        if (c.reason == 0) {
            EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
            continue;
        }
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1) << str(c.name);
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.startsWith(state.lang.entry(312)));
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.endsWith(state.lang.entry(c.reason))) << str(c.name);
    }
    // A cancelled prompt: nothing either.
    dialogs.dialogs.messages.clear();
    editor->save();
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(languageFiles(), before);
    EXPECT_TRUE(host.saved.isEmpty());
    EXPECT_FALSE(editor->fileLabel()->isVisible());
}

TEST_F(EditorAlone, SavingReplacesTheFileOfThatNameWhateverItsCase)
{
    folder.write(QStringLiteral("Languages/lang_ESPERANTO.txt"), "\"old\"\r\n");
    auto editor = open();
    QTest::keyClicks(editor->editor(), QStringLiteral("[mine]"));
    QTest::keyClick(editor->editor(), Qt::Key_Return);
    dialogs.dialogs.inputs << QStringLiteral("  Esperanto ");
    editor->save();
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(languageFiles().count(), 2);
    EXPECT_EQ(folder.read(QStringLiteral("Languages/lang_ESPERANTO.txt")), QByteArray("[mine]\r\n") + english);
    EXPECT_EQ(host.saved, QStringList{QStringLiteral("lang_ESPERANTO.txt")});
    EXPECT_TRUE(editor->fileLabel()->text().endsWith(QStringLiteral("lang_ESPERANTO.txt")));
    // The window stays, and so does the flag.
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(state.langEditorModified);

    // A text that fits Windows-1252 is written in it, as the shipped files are.
    typeText(editor->editor(), QStringLiteral("\u00e8"));
    dialogs.dialogs.inputs << QStringLiteral("Italiano2");
    editor->save();
    const QByteArray bytes = folder.read(QStringLiteral("Languages/Lang_Italiano2.Txt"));
    EXPECT_TRUE(bytes.startsWith("[mine]\r\n\xe8"));
}

TEST_F(EditorAlone, AFailedWriteSaysSoAndKeepsTheOldFile)
{
    folder.write(QStringLiteral("Languages/Lang_Esperanto.Txt"), "\"old\"\r\n");
    auto editor = open();
    dialogs.dialogs.inputs << QStringLiteral("Esperanto");
    {
        FileSizeLimit full(1000);
        editor->save();
    }

    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.startsWith(state.lang.entry(319)));
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("Lang_Esperanto.Txt")));
    EXPECT_EQ(folder.read(QStringLiteral("Languages/Lang_Esperanto.Txt")), QByteArray("\"old\"\r\n"));
    EXPECT_EQ(languageFiles().size(), 2); // nothing half-written left beside it
    EXPECT_TRUE(host.saved.isEmpty());

    // A Languages folder that cannot be made.
    QDir(folder.file(QStringLiteral("Languages"))).removeRecursively();
    folder.write(QStringLiteral("Languages"), "a file");
    dialogs.dialogs.messages.clear();
    dialogs.dialogs.inputs << QStringLiteral("Esperanto");
    editor->save();
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.startsWith(state.lang.entry(319)));
    EXPECT_EQ(folder.read(QStringLiteral("Languages")), QByteArray("a file"));

    // A missing folder is made.
    QFile::remove(folder.file(QStringLiteral("Languages")));
    dialogs.dialogs.messages.clear();
    dialogs.dialogs.inputs << QStringLiteral("Esperanto");
    editor->save();
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("Languages/Lang_Esperanto.Txt")), english);
}

TEST_F(EditorAlone, AMissingEnglishFileOpensEmptyAndSaysSo)
{
    QFile::remove(folder.file(QStringLiteral("Languages/Lang_English.txt")));
    LanguageEditor editor(state, catalogue(), host, nullptr);
    ModalScript script;
    script.on("frmLang", [&](QWidget *) {
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.startsWith(state.lang.entry(311)));
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.endsWith(QStringLiteral("lang_english.txt"), Qt::CaseInsensitive));
        EXPECT_TRUE(editor.text().isEmpty());
        QTest::keyClicks(editor.editor(), QStringLiteral("\"x\""));
        dialogs.dialogs.inputs << QStringLiteral("Mine");
        editor.save();
        editor.close(); // a close that is not "EXIT3" asks nothing
    });
    editor.run();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(folder.read(QStringLiteral("Languages/Lang_Mine.Txt")), QByteArray("\"x\""));
}

TEST_F(EditorAlone, TheLineUnderTheCursorIsNamedAsTheReaderTakesIt)
{
    // Headings, settings, blank and stray lines between the entries; indented quotes,
    // a quote without its closing mark, a heading that holds a quote.
    const QByteArray file = "[head \"quoted\"]\r\nSTART_PAGE=x\r\n\r\n   \"one\"  \r\nstray text\r\n"
                            "TAB_WIDTH =80\r\n\"two\r\n[x]\r\n\"three\"\r\n";
    folder.write(QStringLiteral("Languages/Lang_English.txt"), file);
    auto editor = open();
    QPlainTextEdit *text = editor->editor();
    const QStringList expected = {
        QStringLiteral("Line 1   Heading"),
        QStringLiteral("Line 2   Setting START_PAGE   English: START_PAGE=x"),
        QStringLiteral("Line 3"),
        QStringLiteral("Line 4   Entry 1   English: \"one\""),
        QStringLiteral("Line 5   a line the program does not read"),
        QStringLiteral("Line 6   Setting TAB_WIDTH    English: TAB_WIDTH =80"),
        QStringLiteral("Line 7   Entry 2   English: \"tw\""), // the last character goes, whatever it is
        QStringLiteral("Line 8   Heading"),
        QStringLiteral("Line 9   Entry 3   English: \"three\""),
    };
    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    for (const QString &line : expected) {
        EXPECT_EQ(editor->entryLabel()->text(), line);
        QTest::keyClick(text, Qt::Key_Down);
    }
    // Inserting a quoted line above renumbers what follows at once.
    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(text, QStringLiteral("\"new\""));
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Up);
    EXPECT_TRUE(editor->entryLabel()->text().startsWith(QStringLiteral("Line 10   Entry 4   English: \"\"")))
        << str(editor->entryLabel()->text());
}

TEST_F(EditorAlone, EveryEntryOfTheShippedFileIsNamedWithItsEnglishText)
{
    auto editor = open();
    QTextCursor cursor(editor->editor()->document());
    int entries = 0;
    for (QTextBlock b = editor->editor()->document()->begin(); b.isValid(); b = b.next()) {
        const QString line = b.text().trimmed();
        if (!line.startsWith(u'"'))
            continue;
        ++entries;
        cursor.setPosition(b.position());
        editor->editor()->setTextCursor(cursor);
        // The number the label gives must be the one under which the reader files it.
        EXPECT_TRUE(editor->entryLabel()->text().endsWith(
            QStringLiteral("Entry %1   English: \"%2\"").arg(entries).arg(state.lang.entry(entries))))
            << str(editor->entryLabel()->text());
        EXPECT_EQ(line, u'"' + state.lang.entry(entries) + u'"');
    }
    EXPECT_EQ(entries, LangTable::kSize);
}

TEST_F(EditorAlone, UndoRedoFindAndEscape)
{
    auto editor = open();
    QPlainTextEdit *text = editor->editor();
    const QString original = editor->text();
    EXPECT_FALSE(state.langEditorModified);
    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(text, QStringLiteral("abc"));
    EXPECT_TRUE(state.langEditorModified);
    EXPECT_TRUE(editor->text().startsWith(QStringLiteral("abc[")));
    QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->text(), original);
    QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(editor->text().startsWith(QStringLiteral("abc[")));
    QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);

    // Find: every match counted, next and previous go round.
    QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
    FindBar *find = editor->findBar();
    ASSERT_TRUE(find->isVisible());
    QTest::keyClicks(find->textBox(), QStringLiteral("_descr="));
    EXPECT_EQ(find->matchCount(), 4);
    EXPECT_EQ(find->activeMatch(), 1);
    EXPECT_EQ(text->textCursor().selectedText(), QStringLiteral("_DESCR="));
    EXPECT_TRUE(editor->entryLabel()->text().contains(QStringLiteral("Setting SEARCH_DESCR")));
    QTest::keyClick(find->textBox(), Qt::Key_Return);
    EXPECT_EQ(find->activeMatch(), 2);
    find->findPrevious();
    find->findPrevious();
    EXPECT_EQ(find->activeMatch(), 4);
    EXPECT_TRUE(editor->entryLabel()->text().contains(QStringLiteral("Setting SOCIAL_DESCR")));
    QTest::keyClicks(find->textBox(), QStringLiteral("nothing like this"));
    EXPECT_EQ(find->matchCount(), 0);
    EXPECT_EQ(find->matchText(), QStringLiteral("0/0 ") + state.lang.entry(234));

    // Escape closes the find bar and gives the text back its focus; it never closes
    // the window.
    QTest::keyClick(find->textBox(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return text->hasFocus(); }, 2000));
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), original);
}
