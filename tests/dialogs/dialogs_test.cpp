#include "commands/captions.h"
#include "commands/mainbars.h"
#include "commands/secondarybars.h"
#include "dialogs/aboutwindow.h"
#include "dialogs/inputdialog.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "support/modalscript.h"
#include "support/secondarywindows.h"
#include "support/windowfixture.h"

#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTabBar>
#include <QToolButton>

namespace {

// The release as the build knows it: the version of the top-level CMake project.
QString projectVersion()
{
    QFile cmake(QStringLiteral(QUORL_DATA_DIR "/../CMakeLists.txt"));
    EXPECT_TRUE(cmake.open(QIODevice::ReadOnly));
    const QRegularExpression project(QStringLiteral("project\\(QuorlOffice VERSION ([0-9]+)\\.([0-9]+)\\.([0-9]+)"));
    const auto match = project.match(QString::fromUtf8(cmake.readAll()));
    EXPECT_TRUE(match.hasMatch());
    // Written without leading zeros.
    return QStringLiteral("%1.%2.%3")
        .arg(match.captured(1).toInt())
        .arg(match.captured(2).toInt())
        .arg(match.captured(3).toInt());
}

class RecordingAboutHost : public AboutHost
{
public:
    void showHelp() override
    {
        ++helpShown;
        windowOpenAtHelp = about && about->isVisible();
    }
    QWidget *about = nullptr;
    int helpShown = 0;
    bool windowOpenAtHelp = false;
};

// The two dialogs on their own, over the catalogue and captions the start-up makes.
class DialogsAlone : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.write(QStringLiteral("Languages/Lang_English.txt"),
                     folder.loopbackLanguage(QStringLiteral("Lang_English.txt"), folder.baseUrl));
        SecondaryBars::reset();
        catalogue().clear();
        MainBars::makeBars(catalogue(), MainBars::makeButtons(catalogue(), folder.path(), 300, &tabs,
                                                              ImageList::main()));
        LanguageFile::read(folder.file(QStringLiteral("Languages/Lang_English.txt")), state.lang, state.langSettings,
                           nullptr);
        state.options.barStyle = 2;
        Captions::apply(catalogue(), state, state.groups, nullptr, nullptr);
    }

    ProgramFolder folder;
    QTabBar tabs;
    AppState state{folder.path()};
    ScopedShell shell;
};

class AboutInProgram : public WindowTest
{
};

} // namespace

TEST_F(DialogsAlone, InputDialogAnswersOnlyThroughItsButtons)
{
    struct Case
    {
        const char *press; // a button, or nullptr for the window manager's close
        int16_t before;
        int16_t after;
        bool answered;
    };
    const Case cases[] = {
        {"OKYES", 0, 1, true},
        {"OKNO", 1, 0, true},
        {nullptr, 1, 1, false},
        {nullptr, 0, 0, false},
    };
    for (const Case &c : cases) {
        state.inputAnswer = c.before;
        InputDialog dialog(state, catalogue(), nullptr);
        EXPECT_EQ(dialog.label()->text(), state.lang.entry(213));
        EXPECT_EQ(dialog.commandBar()->barStyle(), 2);
        ModalScript script;
        script.on("frmInput", [&c](QWidget *w) {
            if (c.press)
                QTest::mouseClick(tool(w, c.press), Qt::LeftButton);
            else
                ModalScript::closeByWindowManager(w);
        });
        EXPECT_EQ(dialog.ask(), c.answered) << (c.press ? c.press : "closed");
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(state.inputAnswer, c.after) << (c.press ? c.press : "closed");
    }
    // Four dialogs, one set of buttons and one bar.
    EXPECT_EQ(catalogue().buttonKeys().count(QStringLiteral("OKYES")), 1);
    EXPECT_EQ(keysOf("STANDARD6"), QString::fromLatin1("OKYES SEP13 NIL6 SEP2 OKNO").split(u' '));
}

TEST_F(DialogsAlone, AboutWindowShowsTheReleaseAndClosesOnAnyBarClick)
{
    RecordingAboutHost host;
    const qsizetype keysBefore = catalogue().buttonKeys().size();
    for (const char *key : {"ABOUTOK", "ABOUTHELP", "SEP13"}) {
        AboutWindow about(state, catalogue(), host, nullptr);
        host.about = &about;
        EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                  state.lang.entry(198) + u' ' + projectVersion());
        EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("QuorlOffice"));
        EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text(), state.lang.entry(202));
        EXPECT_EQ(about.commandBar()->index(), 7);
        EXPECT_EQ(about.commandBar()->barStyle(), 2);
        EXPECT_EQ(about.palette().color(QPalette::Window), QColor(132, 171, 227));
        ModalScript script;
        script.on("frmAbout", [&](QWidget *w) {
            EXPECT_EQ(tool(w, "ABOUTOK")->text(), state.lang.entry(204));
            EXPECT_EQ(tool(w, "ABOUTHELP")->text(), state.lang.entry(205));
            // Centred on the screen at its design size (the window manager's caption
            // comes on top of that size).
            const QRect screen = w->screen()->geometry();
            const int caption = w->frameGeometry().height() - w->height();
            EXPECT_NEAR(w->geometry().center().x(), screen.center().x(), 2);
            EXPECT_NEAR(w->frameGeometry().center().y(), screen.center().y(), caption / 2 + 2);
            // A separator cannot be clicked; the bar reports it like any other key.
            if (QLatin1String(key) == QLatin1String("SEP13"))
                about.commandBar()->reportClick(catalogue().button(QStringLiteral("SEP13")));
            else
                QTest::mouseClick(tool(w, key), Qt::LeftButton);
        });
        about.exec();
        EXPECT_TRUE(script.finished());
        EXPECT_FALSE(about.isVisible()) << key;
    }
    // Only "ABOUTHELP" shows the help, while the window is still open.
    EXPECT_EQ(host.helpShown, 1);
    EXPECT_TRUE(host.windowOpenAtHelp);
    // The first opening made two buttons and one bar; the later ones nothing.
    EXPECT_EQ(catalogue().buttonKeys().size(), keysBefore + 2);
    EXPECT_EQ(keysOf("STANDARD7"), QString::fromLatin1("ABOUTOK SEP13 ABOUTHELP SEP2").split(u' '));
}

TEST_F(DialogsAlone, AboutWindowOpensTheSitesAndTheMailWithoutAShell)
{
    RecordingAboutHost host;
    AboutWindow about(state, catalogue(), host, nullptr);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    for (const char *label : {"lbSite", "lblDescription", "Label3", "Label1", "lbVisit2", "lbDescr"})
        QTest::mouseClick(about.findChild<QLabel *>(QString::fromLatin1(label)), Qt::LeftButton);
    EXPECT_EQ(shell.shell.urls, (QList<QUrl>{AboutWindow::firstSite(), AboutWindow::firstSite(),
                                             AboutWindow::secondSite(), AboutWindow::mailAddress()}));
    EXPECT_EQ(AboutWindow::mailAddress().scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    EXPECT_EQ(host.helpShown, 0);
    EXPECT_TRUE(about.isVisible());
}

TEST_F(AboutInProgram, BothAboutCommandsOpenItAndHelpShowsTheHelpPage)
{
    start();
    EXPECT_TRUE(catalogue().button(QStringLiteral("TAMBERLO"))->enabled());
    EXPECT_TRUE(catalogue().button(QStringLiteral("FILE:TAMBERLO"))->enabled());
    EXPECT_TRUE(catalogue().button(QStringLiteral("LANG:NEW"))->enabled());

    ModalScript script;
    QToolButton *about = tool(window->commandBar(2), "TAMBERLO");
    ModalScript::post(about, [about] { QTest::mouseClick(about, Qt::LeftButton); });
    script.on("frmAbout", [&](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), window->state().lang.entry(196));
        EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                  window->state().lang.entry(198) + u' ' + projectVersion());
        QTest::mouseClick(tool(w, "ABOUTOK"), Qt::LeftButton);
    });
    ASSERT_TRUE(script.waitUntilDone());
    const qsizetype keys = catalogue().buttonKeys().size();

    // From the File drop-down; "ABOUTHELP" shows the program's own help page.
    QToolButton *file = tool(window->commandBar(0), "FILE");
    script.on("QMenu", [](QWidget *w) {
        auto *menu = static_cast<QMenu *>(w);
        for (QAction *a : menu->actions()) {
            if (a->objectName() == QLatin1String("FILE:TAMBERLO")) {
                const QPoint at = menu->actionGeometry(a).center();
                ModalScript::post(menu, [menu, at] { QTest::mouseClick(menu, Qt::LeftButton, {}, at); });
            }
        }
    });
    script.on("frmAbout", [](QWidget *w) { QTest::mouseClick(tool(w, "ABOUTHELP"), Qt::LeftButton); });
    ModalScript::post(file, [file] { QTest::mouseClick(file, Qt::LeftButton); });
    ASSERT_TRUE(script.waitUntilDone());
    EXPECT_TRUE(loaded(0, QStringLiteral("quorl:help")));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("QuorlOffice help"));
    EXPECT_EQ(catalogue().buttonKeys().size(), keys);
    EXPECT_EQ(keysOf("STANDARD7").size(), 4);
    EXPECT_TRUE(shell.shell.urls.isEmpty());
}
