// Hostile pages, served on the loopback: pages that open windows, flood them, trap the
// user in dialogs, write the clipboard, put markup where the program shows text, start
// downloads, lie about their state, never finish or never stop running a script. Each
// is driven through the real main window and the real engine under the window manager.
#include "export/exports.h"
#include "platform/downloads.h"
#include "support/modalscript.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

namespace {

// The resident memory of this process and of every process it started (the engine's).
qint64 residentKiB()
{
    QMap<qint64, qint64> parentOf;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        parentOf.insert(pid, fields.value(1).toLongLong());
    }
    QSet<qint64> ours{QCoreApplication::applicationPid()};
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
            if (ours.contains(it.value()) && !ours.contains(it.key())) {
                ours.insert(it.key());
                grew = true;
            }
        }
    }
    qint64 total = 0;
    for (qint64 pid : ours) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

class HostileTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        server.addPage(QStringLiteral("/target"), "<html><head><title>Target</title></head><body>target</body></html>");
        server.addPage(QStringLiteral("/b"), "<html><head><title>Page B</title></head><body>b</body></html>");
    }

    // The same server under another name: a site of its own for the engine.
    QString otherSite(const char *path) const
    {
        return QStringLiteral("http://localhost:%1%2").arg(server.port()).arg(QString::fromLatin1(path));
    }

    static QByteArray fullPageButton(const char *onclick)
    {
        return QByteArray("<html><head><title>Button</title><style>button{position:fixed;left:0;top:0;"
                          "width:400px;height:300px}</style></head><body><button onclick=\"")
               + onclick + "\">press</button></body></html>";
    }
};

} // namespace

TEST_F(HostileTest, APageOpensNoWindowWithoutTheUsersClick)
{
    server.addPage(QStringLiteral("/popper"),
                   "<html><head><title>Popper</title></head><body>x<script>"
                   "setTimeout(function(){ window.open('/target'); }, 50);"
                   "setTimeout(function(){ window.open('/target', '_blank'); }, 300);"
                   "</script></body></html>");
    start();
    open(url("/popper"));
    QTest::qWait(1500);
    EXPECT_EQ(window->browser(0)->locationURL(), url("/popper"));
    EXPECT_EQ(server.requests(QStringLiteral("/target")), 0);
}

TEST_F(HostileTest, AClickOnThePageOpensItsWindowInTheSameTab)
{
    server.addPage(QStringLiteral("/button"), fullPageButton("window.open('/target')"));
    start();
    open(url("/button"));
    clickPage(QPoint(100, 100));
    EXPECT_TRUE(loaded(0, url("/target")));
}

TEST_F(HostileTest, AFrameOfAnotherSiteNeverMovesTheTab)
{
    // The advertising frame fills the page; even a click into it opens nothing.
    server.addPage(QStringLiteral("/ad"), fullPageButton("window.open('http://localhost:1/elsewhere')"));
    server.addPage(QStringLiteral("/framed"),
                   "<html><head><title>Framed</title><style>iframe{position:fixed;left:0;top:0;width:600px;"
                   "height:400px;border:0}</style></head><body><iframe src=\""
                       + otherSite("/ad").toUtf8() + "\"></iframe></body></html>");
    start();
    open(url("/framed"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/ad")) > 0; }, 5000));
    QTest::qWait(300);
    clickPage(QPoint(100, 100));
    QTest::qWait(1500);
    EXPECT_EQ(window->browser(0)->locationURL(), url("/framed"));
    EXPECT_EQ(window->statusText()->text(), window->state().lang.entry(279));
}

TEST_F(HostileTest, AFloodOfWindowsFreesEverythingItMade)
{
    server.addPage(QStringLiteral("/flood"),
                   fullPageButton("for (var i = 0; i < 440; i++) { var w = window.open(''); }"));
    start();
    open(url("/flood"));
    QTest::qWait(1000);
    const qint64 before = residentKiB();
    for (int round = 0; round < 3; ++round) {
        clickPage(QPoint(100, 100));
        QTest::qWait(300);
    }
    // The flood makes nothing that stays: leaving the page gives the memory back.
    EXPECT_EQ(window->browser(0)->locationURL(), url("/flood"));
    open(url("/b"));
    QTest::qWait(1500);
    const qint64 after = residentKiB();
    std::fprintf(stderr, "pop-up flood: %lld KiB before, %lld KiB after leaving the page\n",
                 static_cast<long long>(before), static_cast<long long>(after));
    EXPECT_LT(after, before * 11 / 10);
}

TEST_F(HostileTest, AnAlertLoopCanBeStoppedAndItsTextIsPlain)
{
    server.addPage(QStringLiteral("/alerts"),
                   "<html><head><title>Alerts</title></head><body>x<script>"
                   "function f(){ alert('trap <b>bold</b> <img src=file:///etc/passwd>'); setTimeout(f, 10); }"
                   "setTimeout(f, 100);</script></body></html>");
    // The first dialog is simply answered; the second offers to stop the page's dialogs.
    dialogs.dialogs.pageAnswers = {{true, QString(), false}, {true, QString(), true}};
    start();
    open(url("/alerts"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.dialogs.pageDialogs.size() >= 2; }, 5000));
    QTest::qWait(1000);
    ASSERT_EQ(dialogs.dialogs.pageDialogs.size(), 2);
    EXPECT_FALSE(dialogs.dialogs.pageDialogs[0].offeredStop);
    EXPECT_TRUE(dialogs.dialogs.pageDialogs[1].offeredStop);
    EXPECT_EQ(dialogs.dialogs.pageDialogs[0].title, window->state().lang.entry(277));
    EXPECT_EQ(dialogs.dialogs.pageDialogs[0].text, QStringLiteral("trap <b>bold</b> <img src=file:///etc/passwd>"));
    // The user is free again: another address opens, and its page may ask again.
    open(url("/b"));
}

TEST_F(HostileTest, AClosingDuringAPagesDialogEndsTheProgram)
{
    server.addPage(QStringLiteral("/alert"),
                   "<html><head><title>Alert</title></head><body>x<script>"
                   "setTimeout(function(){ for(;;) alert('again'); }, 100);</script></body></html>");
    start();
    QSignalSpy ended(window.get(), &MainWindow::ended);
    // While the page's dialog is open, the window manager asks the window to close.
    dialogs.dialogs.duringPageDialog = [this] {
        QCloseEvent close;
        QApplication::sendEvent(window.get(), &close);
    };
    window->addressBox()->setEditText(url("/alert"));
    window->tabs()->goAddress(0);
    EXPECT_TRUE(ended.count() > 0 || ended.wait(15000));
    EXPECT_TRUE(window->exiting());
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Opt")))->size(), 6);
}

TEST_F(HostileTest, APageCannotWriteTheClipboard)
{
    server.addPage(QStringLiteral("/writer"),
                   "<html><head><title>Writer</title></head><body><p id=p>INJECTED-BY-PAGE</p><script>"
                   "setTimeout(function(){"
                   " var r = document.createRange(); r.selectNodeContents(document.getElementById('p'));"
                   " getSelection().removeAllRanges(); getSelection().addRange(r);"
                   " try { document.execCommand('copy'); } catch (e) {}"
                   " try { navigator.clipboard.writeText('INJECTED-BY-PAGE'); } catch (e) {}"
                   " document.title = 'Tried'; }, 100);</script></body></html>");
    start();
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's secret"));
    open(url("/writer"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->browser(0)->locationName() == QLatin1String("Tried"); }, 5000));
    QTest::qWait(500);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's secret"));
}

TEST_F(HostileTest, MarkupInATitleIsShownAsText)
{
    const QString title = QStringLiteral("<b>Bold</b><img src=file:///etc/passwd>");
    server.addPage(QStringLiteral("/markup"),
                   "<html><head><title>&lt;b&gt;Bold&lt;/b&gt;&lt;img src=file:///etc/passwd&gt;</title></head>"
                   "<body>x</body></html>");
    start();
    open(url("/markup"));
    EXPECT_EQ(window->browser(0)->locationName(), title);
    EXPECT_EQ(window->statusText()->textFormat(), Qt::PlainText);
    EXPECT_EQ(window->statusText()->text(), title);

    // The real message box of the program, as the exports' closing message shows a title.
    Dialogs::setInstance(nullptr);
    ModalScript script;
    script.on("QMessageBox", [&](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), title);
        box->accept();
    });
    ModalScript::post(window.get(), [&] {
        Dialogs::instance().message(window.get(), Dialogs::Icon::Information, QStringLiteral("QuorlOffice"), title);
    });
    EXPECT_TRUE(script.waitUntilDone());
    Dialogs::setInstance(&dialogs.dialogs);
    // A tooltip with a page's address shows it as it is.
    EXPECT_EQ(Dialogs::plainToolTip(title).contains(QStringLiteral("&lt;b&gt;")), true);
}

TEST_F(HostileTest, ADownloadStartsOnlyFromTheUsersAction)
{
    server.addPage(QStringLiteral("/file.bin"), QByteArray(2000, 'z'), "application/octet-stream");
    server.addPage(QStringLiteral("/pusher"),
                   "<html><head><title>Pusher</title></head><body>x<script>"
                   "setTimeout(function(){ location.href = '/file.bin'; }, 200);</script></body></html>");
    server.addPage(QStringLiteral("/offer"), fullPageButton("location.href = '/file.bin'"));
    start();
    open(url("/pusher"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(QStringLiteral("/file.bin")) > 0; }, 5000));
    QTest::qWait(500);
    EXPECT_TRUE(dialogs.dialogs.suggestedNames.isEmpty()) << "a save dialog was offered without a click";
    EXPECT_EQ(window->statusText()->text(), window->state().lang.entry(278));

    // The user clicks: the save dialog comes, in the user's downloads folder, never in
    // the program's own.
    open(url("/offer"));
    QTest::qWait(1200); // the user's click comes a while after the last one
    clickPage(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.dialogs.suggestedNames.isEmpty(); }, 5000));
    ASSERT_EQ(dialogs.dialogs.folders.size(), 1);
    EXPECT_FALSE(QDir::cleanPath(dialogs.dialogs.folders[0]).startsWith(QDir::cleanPath(folder.path())))
        << str(dialogs.dialogs.folders[0]);

    // An address the user types that is a download is theirs too.
    dialogs.dialogs.suggestedNames.clear();
    QTest::qWait(10500); // long after the click
    window->addressBox()->setEditText(url("/file.bin"));
    window->tabs()->goAddress(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.dialogs.suggestedNames.isEmpty(); }, 5000));
}

TEST_F(HostileTest, APageThatLiesAboutItsStateIsStillWaitedForRightly)
{
    server.addPage(QStringLiteral("/liar"),
                   "<html><head><title>Liar</title><script>"
                   "Object.defineProperty(document, 'readyState', { get: function(){ return 'loading'; } });"
                   "</script></head><body>x</body></html>");
    start();
    open(url("/liar"));
    EXPECT_EQ(window->browser(0)->evaluate(QStringLiteral("document.readyState"))->toString(),
              QStringLiteral("complete"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window->tabs()->webAttend());
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST_F(HostileTest, PicturesThatNeverComeHoldTheWaitTwentySecondsAtMost)
{
    server.addPage(QStringLiteral("/stall.png"), "never", "image/png", 120000);
    server.addPage(QStringLiteral("/stalled"),
                   "<html><head><title>Stalled</title></head><body>text<img src=\"/stall.png\"></body></html>");
    start();
    window->addressBox()->setEditText(url("/stalled"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->browser(0)->readyState() == QLatin1String("interactive"); },
                                10000));
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window->tabs()->webAttend());
    EXPECT_GE(clock.elapsed(), TabBrowsing::kPicturesWaitMs - 1000);
    EXPECT_LT(clock.elapsed(), TabBrowsing::kPicturesWaitMs + 5000);
}

TEST_F(HostileTest, StopEscapeAndANewAddressEndAnExportThatWaitsForThePage)
{
    server.addPage(QStringLiteral("/never"), "<html><head><title>Never</title></head><body>x</body></html>",
                   "text/html", 120000);
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 10000));
    const QString target = folder.file(QStringLiteral("never.doc"));
    for (int way = 0; way < 3; ++way) {
        window->addressBox()->setEditText(url("/never"));
        window->tabs()->goAddress(0);
        dialogs.dialogs.files = {target};
        // While the export waits for the page, the user ends it one of three ways.
        QTimer::singleShot(1000, window.get(), [&, way] {
            if (way == 0)
                emit window->commandClicked(3, QStringLiteral("EDIT:STOP"));
            else if (way == 1)
                QTest::keyClick(window->addressBox()->lineEdit(), Qt::Key_Escape);
            else {
                window->addressBox()->setEditText(url("/b"));
                QTest::keyClick(window->addressBox()->lineEdit(), Qt::Key_Return);
            }
        });
        QElapsedTimer clock;
        clock.start();
        click(3, "SAVE:WORDH");
        EXPECT_LT(clock.elapsed(), 10000) << "way " << way;
        EXPECT_EQ(window->windowOpacity(), 1.0) << "way " << way;
        EXPECT_TRUE(dialogs.dialogs.messages.isEmpty()) << "way " << way;
        EXPECT_TRUE(dialogs.dialogs.suggestedNames.isEmpty()) << "way " << way;
        EXPECT_FALSE(QFile::exists(target)) << "way " << way;
    }
    // The new address was opened, not exported.
    EXPECT_TRUE(loaded(0, url("/b")));
}

TEST_F(HostileTest, ANewAddressIsShownInATabStuckInAScript)
{
    server.addPage(QStringLiteral("/spin"),
                   "<html><head><title>Spin</title></head><body>x<script>"
                   "setTimeout(function(){ for(;;){} }, 100);</script></body></html>");
    start();
    window->addressBox()->setEditText(url("/spin"));
    window->tabs()->goAddress(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->browser(0)->lastCompleted() == url("/spin"); }, 10000));
    QTest::qWait(500);
    QElapsedTimer clock;
    clock.start();
    window->addressBox()->setEditText(url("/b"));
    window->tabs()->goAddress(1);
    EXPECT_TRUE(loaded(0, url("/b"), 15000));
    EXPECT_LT(clock.elapsed(), 5000 + 3000); // the page's load itself after the renderer went
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Page B"));
}

TEST_F(HostileTest, APageNamesItsDownloadButNeverItsFolderAndNothingIsReplacedUnasked)
{
    const QByteArray payload(3000, 'p');
    server.addPage(QStringLiteral("/file.bin"), payload, "application/octet-stream");
    server.addPage(QStringLiteral("/logout"), payload, "application/octet-stream");
    server.addHeader(QStringLiteral("/logout"), "Content-Disposition: attachment; filename=\"../.bash_logout\"");
    auto fullPageLink = [](const char *attributes) -> QByteArray {
        return QByteArray("<html><head><title>Link</title><style>a{position:fixed;left:0;top:0;width:400px;"
                          "height:300px;display:block}</style></head><body><a ")
               + attributes + ">get it</a></body></html>";
    };
    server.addPage(QStringLiteral("/aliases"), fullPageLink("href=\"/file.bin\" download=\"../.bash_aliases\""));
    server.addPage(QStringLiteral("/autostart"),
                   fullPageLink("href=\"/file.bin\" download=\"../.config/autostart/invoice.desktop\""));
    server.addPage(QStringLiteral("/header"), fullPageLink("href=\"/logout\""));
    start();
    const QString downloads = Downloads::folder(folder.path());
    struct Case
    {
        const char *page;
        const char *offered;
    };
    for (const Case &c : {Case{"/aliases", "bash_aliases"}, Case{"/autostart", "invoice.desktop"},
                          Case{"/header", "bash_logout"}}) {
        dialogs.dialogs.suggestedNames.clear();
        dialogs.dialogs.folders.clear();
        open(url(c.page));
        QTest::qWait(1200);
        clickPage(QPoint(100, 100));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.dialogs.suggestedNames.isEmpty(); }, 5000)) << c.page;
        EXPECT_EQ(dialogs.dialogs.suggestedNames.value(0), QString::fromLatin1(c.offered)) << c.page;
        EXPECT_EQ(dialogs.dialogs.folders.value(0), downloads) << c.page;
    }

    // A file the user picks that is there already is replaced only when they say so: No
    // offers the dialog again, and the file stays as it was.
    folder.write(QStringLiteral("mine.bin"), "the user's own file");
    dialogs.dialogs.files = {folder.file(QStringLiteral("mine.bin")), folder.file(QStringLiteral("other.bin"))};
    dialogs.dialogs.answers = {false};
    dialogs.dialogs.suggestedNames.clear();
    open(url("/aliases"));
    QTest::qWait(1200);
    clickPage(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitFor([&] { return folder.exists(QStringLiteral("other.bin")); }, 10000));
    EXPECT_EQ(dialogs.dialogs.suggestedNames.size(), 2);
    EXPECT_EQ(folder.read(QStringLiteral("mine.bin")), QByteArray("the user's own file"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return folder.read(QStringLiteral("other.bin")) == payload; }, 5000));
    // Yes replaces it, whole, and nothing of the download is left beside it.
    dialogs.dialogs.files = {folder.file(QStringLiteral("mine.bin"))};
    dialogs.dialogs.answers = {true};
    open(url("/aliases"));
    QTest::qWait(1200);
    clickPage(QPoint(100, 100));
    EXPECT_TRUE(QTest::qWaitFor([&] { return folder.read(QStringLiteral("mine.bin")) == payload; }, 10000));
    EXPECT_TRUE(QDir(folder.path())
                    .entryList({QStringLiteral("*.part"), QStringLiteral(".org.chromium*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

TEST_F(HostileTest, ATitleThatKeepsChangingNeverGluesOntoWhatTheUserTypes)
{
    server.addPage(QStringLiteral("/renamer"),
                   "<html><head><title>Renamer</title></head><body>x<script>var n = 0;"
                   "setInterval(function(){ document.title = 'Renamer ' + (++n); }, 40);</script></body></html>");
    start();
    open(url("/renamer"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    for (int i = 0; i < 6; ++i) {
        const QString typed = url("/b") + QStringLiteral("?typed=") + QString::number(i);
        QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
        QTest::qWait(60); // a title change or two while the box is selected
        QTest::keyClicks(window->addressBox()->lineEdit(), typed, Qt::NoModifier, 5);
        QTest::keyClick(window->addressBox()->lineEdit(), Qt::Key_Return);
        EXPECT_TRUE(loaded(0, typed)) << i;
        EXPECT_EQ(window->addressBox()->currentText(), typed) << i;
        open(url("/renamer"));
    }
    EXPECT_EQ(server.totalRequests() - server.requests(QStringLiteral("/renamer")) - server.requests(QStringLiteral("/b"))
                  - server.requests(QStringLiteral("/home")) - server.requests(QStringLiteral("/favicon.ico")),
              0)
        << "the page's server received an address glued onto its own";
}

TEST_F(HostileTest, StayingOnAPageThatAsksKeepsItAndItsText)
{
    server.addPage(QStringLiteral("/form"),
                   "<html><head><title>Form</title></head><body><textarea id=t style=\"position:fixed;left:0;"
                   "top:0;width:400px;height:300px\"></textarea><script>"
                   "addEventListener('beforeunload', function(e){ if (t.value) { e.preventDefault(); "
                   "e.returnValue = ''; } });</script></body></html>");
    start();
    open(url("/form"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    clickPage(QPoint(100, 100));
    QTest::keyClicks(pageInput(), QStringLiteral("unsaved words"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->browser(0)->evaluate(QStringLiteral("document.getElementById('t').value"))->toString() == QLatin1String("unsaved words"); },
        5000));

    // The user types a new address; the page asks whether to leave; the user takes their
    // time (the page is not stuck meanwhile) and stays.
    dialogs.dialogs.pageAnswers = {Dialogs::PageDialogAnswer{false, QString(), false}};
    dialogs.dialogs.pageAnswerDelayMs = 5000;
    window->addressBox()->setEditText(url("/b"));
    window->tabs()->goAddress(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.dialogs.pageDialogs.isEmpty(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Dialogs::pageDialogsOpen() == 0; }, 10000));
    QTest::qWait(3000);
    EXPECT_EQ(window->browser(0)->locationURL(), url("/form"));
    const auto text = window->browser(0)->evaluate(QStringLiteral("document.getElementById('t').value"));
    ASSERT_TRUE(text.has_value()) << "the page no longer answers";
    EXPECT_EQ(text->toString(), QStringLiteral("unsaved words"));
    EXPECT_EQ(server.requests(QStringLiteral("/b")), 0);
    EXPECT_NE(window->statusText()->text(), window->state().lang.entry(280));
    EXPECT_EQ(window->addressBox()->currentText(), url("/form"));
    EXPECT_EQ(window->state().tabURL.value(0), url("/form"));
}

TEST_F(HostileTest, APageWhoseRendererDiedSaysSoAndIsNotWaitedFor)
{
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 10000));
    open(url("/target"));
    WebBrowser *web = window->browser(0);
    ASSERT_TRUE(endRenderer(0));
    auto *text = web->widget()->findChild<QLabel *>(QStringLiteral("deadPageText"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    EXPECT_EQ(text->text(), window->state().lang.entry(282));
    EXPECT_EQ(window->statusText()->text(), window->state().lang.entry(282));

    // Exports end at once with a word, and leave the window as it was.
    for (const char *command : {"SAVE:WORDH", "SAVE:PDF", "SAVE:EXCEL", "EDIT:PICTURE", "SAVE:HTML"}) {
        dialogs.dialogs.messages.clear();
        dialogs.dialogs.files = {folder.file(QStringLiteral("dead.out"))};
        QElapsedTimer clock;
        clock.start();
        click(3, command);
        EXPECT_LT(clock.elapsed(), 5000) << command;
        EXPECT_EQ(window->windowOpacity(), 1.0) << command;
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1) << command;
        EXPECT_EQ(dialogs.dialogs.messages[0].text, window->state().lang.entry(285)) << command;
    }
    EXPECT_FALSE(folder.exists(QStringLiteral("dead.out")));

    // Reload brings the page back.
    auto *reload = web->widget()->findChild<QPushButton *>(QStringLiteral("deadPageReload"));
    ASSERT_NE(reload, nullptr);
    EXPECT_EQ(reload->text(), window->state().lang.entry(284));
    QTest::mouseClick(reload, Qt::LeftButton);
    EXPECT_TRUE(loaded(0, url("/target")));
    EXPECT_FALSE(web->dead());
    EXPECT_FALSE(text->isVisible());
}

TEST_F(HostileTest, ALinkOrAFileDroppedOnThePageOpensInTheTab)
{
    start();
    open(url("/b"));
    QWidget *target = pageInput();
    auto drop = [&](const QUrl &address) {
        QMimeData data;
        data.setUrls({address});
        const QPoint at(100, 100);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QTest::qWait(100);
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
    };
    drop(QUrl(url("/target")));
    EXPECT_TRUE(loaded(0, url("/target")));
    EXPECT_EQ(window->addressBox()->currentText(), url("/target"));
    EXPECT_NE(window->statusText()->text(), window->state().lang.entry(279));

    folder.write(QStringLiteral("dropped.html"), "<html><head><title>Dropped</title></head><body>dropped file</body></html>");
    const QUrl file = QUrl::fromLocalFile(folder.file(QStringLiteral("dropped.html")));
    drop(file);
    EXPECT_TRUE(loaded(0, file.toString()));
    EXPECT_EQ(window->browser(0)->locationName(), QStringLiteral("Dropped"));
    EXPECT_NE(window->statusText()->text(), window->state().lang.entry(279));
}

TEST_F(HostileTest, APageOfTheWebReachesNoneOfTheProgramsOwnPagesAndIsRefusedItsRequestsAtOnce)
{
    server.addPage(QStringLiteral("/own"), fullPageButton("location.href = 'qrc:/pages/start.html'"));
    server.addPage(QStringLiteral("/ownscheme"), fullPageButton("location.href = 'quorl:help'"));
    start();
    for (const char *page : {"/own", "/ownscheme"}) {
        open(url(page));
        QTest::qWait(1200);
        clickPage(QPoint(100, 100));
        QTest::qWait(1500);
        EXPECT_EQ(window->browser(0)->locationURL(), url(page)) << page;
    }
    // The user still reaches them.
    window->addressBox()->setEditText(QStringLiteral("quorl:help"));
    window->tabs()->open(QStringLiteral("quorl:help"), 0);
    EXPECT_TRUE(loaded(0, QStringLiteral("quorl:help")));

    // Asked for the machine's place or for notifications, a page is told no at once.
    server.addPage(QStringLiteral("/asker"),
                   "<html><head><title>Asking</title></head><body><script>"
                   "var answers = [];"
                   "function say(a){ answers.push(a); document.title = answers.sort().join(','); }"
                   "navigator.geolocation.getCurrentPosition(function(){ say('place'); },"
                   " function(){ say('no place'); });"
                   "Notification.requestPermission().then(function(p){ say(p); });"
                   "</script><img src=\"qrc:/icons/quorloffice.svg\" onload=\"say('own picture')\""
                   " onerror=\"say('no own picture')\"></body></html>");
    open(url("/asker"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->browser(0)->title() == QLatin1String("denied,no own picture,no place"); }, 5000))
        << str(window->browser(0)->title());
}
