// The command dispatch and the exports built alone, each with a stand-in for the main
// window: which command calls what, and how the exports end early and give the window
// back as it was.
#include "commands/commandhost.h"
#include "commands/dispatch.h"
#include "export/exporthost.h"
#include "export/exportprogress.h"
#include "export/exports.h"
#include "export/mailexport.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/office/officeworker.h"
#include "platform/shell.h"
#include "platform/wait.h"
#include "settings/appstate.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Records what the window is asked to do.
class StandInWindow : public CommandHost, public ExportHost, public MailExport::Host
{
public:
    QStringList calls;
    QString address = QStringLiteral("http://typed.example/");
    bool languageLoads = true;
    bool pageReady = true;
    bool closing = false;
    QString status = QStringLiteral("before");
    QList<int> opacities;
    QList<int> progress;
    QWidget panel;

    QWidget *dialogParent() override { return nullptr; }
    WebBrowser *currentPage() override { return nullptr; }

    void exit() override { calls << QStringLiteral("exit"); }
    void minimise() override { calls << QStringLiteral("minimise"); }
    bool closeRequested() const override { return closing; }
    void cancelWait() override { calls << QStringLiteral("cancel wait"); }
    QString addressText() const override { return address; }
    void setAddressText(const QString &text) override
    {
        address = text;
        calls << QStringLiteral("address ") + text;
    }
    void openAddress(int16_t flag) override { calls << QStringLiteral("open %1").arg(flag); }
    void setBarStyle(int16_t style) override { calls << QStringLiteral("style %1").arg(style); }
    void setFloating(bool on) override { calls << (on ? QStringLiteral("floating on") : QStringLiteral("floating off")); }
    bool loadLanguage() override
    {
        calls << QStringLiteral("language");
        return languageLoads;
    }
    void openFind() override { calls << QStringLiteral("find"); }

    bool waitForPage() override { return pageReady; }
    QString chooseSaveFile(const QString &title, const QString &filter, const QString &suggestedName,
                           const QString &folder, int *filterIndex) override
    {
        return Dialogs::instance().saveFile(nullptr, title, filter, suggestedName, folder, filterIndex);
    }
    void tell(Dialogs::Icon icon, const QString &text) override
    {
        Dialogs::instance().message(nullptr, icon, QStringLiteral("QuorlOffice"), text);
    }
    void setOpacity(int alpha) override { opacities << alpha; }
    QString statusText() const override { return status; }
    void setStatusText(const QString &text) override { status = text; }
    void setProgress(int percent) override { progress << percent; }
    QWidget *statusPanel() override { return &panel; }
    int progressLeft() const override { return 300; }
    void showPageAlone() override { calls << QStringLiteral("page alone"); }
    void showBars() override { calls << QStringLiteral("bars"); }
    QImage grabScreen() override { return {}; }
    void stretchPageUnderBars() override { calls << QStringLiteral("stretch"); }
    void relayout() override { calls << QStringLiteral("relayout"); }
    void resumeAutoHide() override { calls << QStringLiteral("auto-hide"); }

    QString dialogFileName() const override { return {}; }
    void setDialogFileName(const QString &) override {}
};

class CommandTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No button of an earlier window decides here what is enabled or checked.
        CommandCatalogue::instance().clear();
        state.langSettings.searchURL = QStringLiteral("http://search.example/");
        state.langSettings.dictionaryURL = QStringLiteral("http://words.example/");
        state.langSettings.mapURL = QStringLiteral("http://maps.example/");
        state.langSettings.socialURL = QStringLiteral("http://people.example/");
        state.lang.setEntry(120, QStringLiteral("Nothing to export."));
        state.lang.setEntry(253, QStringLiteral("A folder:"));
        folder.mkdir(QStringLiteral("Data"));
    }
    // The work of one click, and what the window was asked for.
    QStringList clicked(int index, const char *key)
    {
        window.calls.clear();
        dispatch.click(index, QString::fromLatin1(key));
        return window.calls;
    }

    TempFolder folder;
    AppState state{folder.path()};
    StandInWindow window;
    ScopedDialogs dialogs;
    ScopedShell shell;
    Exports exports{state, window, nullptr};
    MailExport mail{state, window};
    Dispatch dispatch{state, window, exports, mail};
};

} // namespace

TEST_F(CommandTableTest, EachCommandCallsItsWork)
{
    const struct
    {
        int index;
        const char *key;
        QStringList calls;
    } table[] = {
        {0, "EXIT", {QStringLiteral("exit")}},
        {2, "EXIT2", {QStringLiteral("exit")}},
        {3, "EDIT:EXIT", {QStringLiteral("exit")}},
        {2, "MIN", {QStringLiteral("minimise")}},
        {2, "GO", {QStringLiteral("open 1")}},
        {2, "GOOGLE", {QStringLiteral("address http://search.example/"), QStringLiteral("open 0")}},
        {2, "WIKI", {QStringLiteral("address http://words.example/"), QStringLiteral("open 0")}},
        {2, "MAP", {QStringLiteral("address http://maps.example/"), QStringLiteral("open 0")}},
        {2, "SOCIAL", {QStringLiteral("address http://people.example/"), QStringLiteral("open 0")}},
        {3, "FILE:SYSTEM", {QStringLiteral("style 0")}},
        {3, "FILE:OFFICE", {QStringLiteral("style 1")}},
        {3, "FILE:XP", {QStringLiteral("style 3")}},
        {3, "FILE:MONEY", {QStringLiteral("style 2")}},
        {3, "EDIT:FINDDOC", {QStringLiteral("find")}},
        {3, "FILE:FLOATING", {QStringLiteral("floating off")}},
        // Clicks on the middle bar, on bars made later and on the drop-down titles do
        // nothing.
        {1, "EXIT", {}},
        {4, "EXIT", {}},
        {0, "SAVE", {}},
        {3, "SAVE", {}},
    };
    for (const auto &row : table)
        EXPECT_EQ(clicked(row.index, row.key), row.calls) << row.key << " on " << row.index;
    EXPECT_EQ(state.options.barStyle, 2);

    // The secondary windows are asked for, never opened here.
    int linkTables = 0, abouts = 0, editors = 0;
    QObject::connect(&dispatch, &Dispatch::linkTableRequested, &dispatch, [&] { ++linkTables; });
    QObject::connect(&dispatch, &Dispatch::aboutRequested, &dispatch, [&] { ++abouts; });
    QObject::connect(&dispatch, &Dispatch::languageEditorRequested, &dispatch, [&] { ++editors; });
    for (const auto &[index, key] : {std::pair{0, "FAVORITE"}, {2, "TAMBERLO"}, {3, "FILE:TAMBERLO"}, {3, "LANG:NEW"}})
        EXPECT_TRUE(clicked(index, key).isEmpty()) << key;
    EXPECT_EQ(linkTables, 1);
    EXPECT_EQ(abouts, 2);
    EXPECT_EQ(editors, 1);

    // The address in the box opens in the desktop's program, as an argument.
    window.address = QStringLiteral("  http://typed.example/a b  ");
    clicked(3, "FILE:EXPLORER");
    ASSERT_EQ(shell.shell.urls.size(), 1);
    EXPECT_EQ(shell.shell.urls[0], QUrl(QStringLiteral("http://typed.example/a%20b")));
    // The home page is the box's text, and is kept at once.
    clicked(3, "NAVIGATE:PICKHOME");
    EXPECT_EQ(state.options.homePage, window.address);
    EXPECT_TRUE(QFile::exists(state.optionsPath()));
}

TEST_F(CommandTableTest, ALanguageThatCannotBeReadLeavesTheCurrentOne)
{
    state.options.langName = QStringLiteral("english");
    EXPECT_EQ(clicked(3, "LANG:ITALIANO"), QStringList{QStringLiteral("language")});
    EXPECT_EQ(state.options.langName, QStringLiteral("italiano"));
    EXPECT_TRUE(QFile::exists(state.optionsPath()));
    QFile::remove(state.optionsPath());

    window.languageLoads = false;
    EXPECT_EQ(clicked(3, "LANG:DEUTSCH"), QStringList{QStringLiteral("language")});
    EXPECT_EQ(state.options.langName, QStringLiteral("italiano"));
    EXPECT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_FALSE(QFile::exists(state.optionsPath()));
}

TEST_F(CommandTableTest, NothingStartsWhileTheWindowClosesOrWaits)
{
    window.closing = true;
    EXPECT_TRUE(clicked(0, "EXIT").isEmpty());
    window.closing = false;
    // A command that waits for a page holds every other one; Stop ends the wait.
    QStringList during;
    QTimer::singleShot(0, &dispatch, [&] {
        during += clicked(2, "GO");
        during += clicked(3, "EDIT:STOP");
    });
    Wait::sleep(50);
    EXPECT_EQ(during, QStringList{QStringLiteral("cancel wait")});
}

TEST_F(CommandTableTest, AnExportThatEndsEarlyGivesTheWindowBack)
{
    // No page to take: the user is told, and the window is opaque again.
    dispatch.click(3, QStringLiteral("SAVE:WORDH"));
    EXPECT_EQ(window.opacities, (QList<int>{205, 255}));
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].text, QStringLiteral("Nothing to export."));
    EXPECT_EQ(window.status, QStringLiteral("before"));
    EXPECT_TRUE(dialogs.dialogs.suggestedNames.isEmpty());

    // The wait for the page cut short: nothing is said at all.
    dialogs.dialogs.messages.clear();
    window.opacities.clear();
    window.pageReady = false;
    for (const char *key : {"SAVE:PDF", "SAVE:EXCEL"})
        dispatch.click(3, QString::fromLatin1(key));
    EXPECT_EQ(window.opacities, (QList<int>{205, 255, 205, 255}));
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());

    // The slide: a cancelled dialog leaves the window as it was; a folder in the way is
    // named, and the layout runs again.
    window.calls.clear();
    dispatch.click(3, QStringLiteral("SAVE:PPT"));
    EXPECT_TRUE(window.calls.isEmpty()) << str(window.calls.join(u','));
    EXPECT_EQ(state.exportBusy, 0);
    folder.mkdir(QStringLiteral("deck.ppt"));
    dialogs.dialogs.files = {folder.file(QStringLiteral("deck.ppt"))};
    dispatch.click(3, QStringLiteral("SAVE:PPT"));
    EXPECT_EQ(window.calls, (QStringList{QStringLiteral("stretch"), QStringLiteral("relayout")}));
    EXPECT_EQ(dialogs.dialogs.messages.value(0).text, QStringLiteral("A folder:\n") + folder.file(QStringLiteral("deck.ppt")));
    EXPECT_EQ(state.exportBusy, 0);
}

TEST_F(CommandTableTest, AnExportsProgressShowsItsStepsAndCancelEndsTheWork)
{
    OfficeWorker worker(folder.file(QStringLiteral("no-worker")), folder.file(QStringLiteral("Data/Office")));
    window.progress.clear();
    {
        ExportProgress progress(window, state, 4);
        auto *cancel = window.panel.findChild<QToolButton *>(QStringLiteral("cancelExport"));
        ASSERT_NE(cancel, nullptr);
        // Left of the progress bar, and of no use before there is work to end.
        EXPECT_EQ(cancel->geometry().right(), 300 - 2 - 1);
        EXPECT_FALSE(cancel->isEnabled());
        progress.attach(worker);
        EXPECT_TRUE(cancel->isEnabled());
        progress.step(QStringLiteral("one"));
        progress.step(QStringLiteral("two"));
        EXPECT_EQ(window.status, QStringLiteral("two"));
        EXPECT_EQ(window.progress, (QList<int>{0, 25}));
        cancel->click();
        EXPECT_TRUE(worker.cancelled());
    }
    // Everything is put back.
    EXPECT_EQ(window.status, QStringLiteral("before"));
    EXPECT_EQ(window.progress.last(), 0);
    EXPECT_EQ(window.panel.findChild<QToolButton *>(QStringLiteral("cancelExport")), nullptr);

    // Escape ends the work as well, wherever the focus is.
    OfficeWorker second(folder.file(QStringLiteral("no-worker")), folder.file(QStringLiteral("Data/Office")));
    ExportProgress progress(window, state, 2);
    progress.attach(second);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.panel, &escape);
    EXPECT_TRUE(second.cancelled());
}
