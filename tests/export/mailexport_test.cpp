#include "commands/dispatch.h"
#include "platform/commandbar.h"
#include "platform/privatefolder.h"
#include "support/windowfixture.h"
#include "support/zipreader.h"

#include <QLabel>

#include <unistd.h>

namespace {

// Records the status text each time it is painted: what the user saw.
class PaintedTexts : public QObject
{
public:
    explicit PaintedTexts(QLabel *label)
        : m_label(label)
    {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint)
            texts.append(m_label->text());
        return false;
    }
    QStringList texts;

private:
    QLabel *m_label;
};

// A stand-in mail program: it writes down its arguments, one a line, and the names in
// the archive it was handed, as unzip lists them.
const char *kMailer = R"sh(#!/bin/sh
here="$(dirname "$0")"
for a in "$@"; do printf '%s\n' "$a"; done > "$here/args.tmp"
unzip -Z1 "$2" > "$here/listing.tmp" 2>&1
mv "$here/listing.tmp" "$here/listing"
mv "$here/args.tmp" "$here/args"
)sh";

class MailWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // The system's temporary folder, with a space in its path.
        PrivateFolder::setSystemTemp(folder.file(QStringLiteral("system temp")));
        folder.mkdir(QStringLiteral("system temp"));
        folder.write(QStringLiteral("mail stand-in/xdg-email"), kMailer);
        QFile(mailer()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The test's language file names the stand-in.
        QByteArray language = folder.read(QStringLiteral("Languages/Lang_English.txt"));
        language.replace(QByteArray("PROGRAM_MAIL=xdg-email"), QByteArray("PROGRAM_MAIL=").append(mailer().toUtf8()));
        folder.write(QStringLiteral("Languages/Lang_English.txt"), language);
        folder.write(QStringLiteral("exports/Page one.doc"), "the page, as exported");
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        PrivateFolder::setSystemTemp(std::nullopt);
    }

    QString mailer() const { return folder.file(QStringLiteral("mail stand-in/xdg-email")); }
    QString archive() const
    {
        return folder.file(QStringLiteral("system temp/quorloffice-") + QString::number(geteuid())
                           + QStringLiteral("/Page_one.zip"));
    }
};

} // namespace

TEST_F(MailWindowTest, TheChosenFileReachesTheMailProgramInAnArchive)
{
    start();
    ASSERT_EQ(window->state().langSettings.programMail, mailer());
    ASSERT_TRUE(CommandCatalogue::instance().button(QStringLiteral("SAVE:OUTLOOK"))->enabled());
    // The mail program really starts here.
    Shell::setInstance(nullptr);
    PaintedTexts painted(window->statusText());
    const QString chosen = folder.file(QStringLiteral("exports/Page one.doc"));
    dialogs.dialogs.files = {chosen};

    click(3, "SAVE:OUTLOOK");
    EXPECT_EQ(dialogs.dialogs.titles, QStringList{window->state().lang.entry(171)});
    EXPECT_EQ(dialogs.dialogs.filters, QStringList{QStringLiteral("All files (*.*)|*.*")});
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);
    EXPECT_TRUE(painted.texts.contains(QStringLiteral("adding: Page one.doc"))) << str(painted.texts.join(u'|'));

    const QString args = folder.file(QStringLiteral("mail stand-in/args"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(args); }, 15000)) << "the mail program did not run";
    EXPECT_EQ(TextFile::readLines(args).value_or(QStringList()),
              (QStringList{QStringLiteral("--attach"), archive()}));
    EXPECT_EQ(TextFile::readLines(folder.file(QStringLiteral("mail stand-in/listing"))).value_or(QStringList()),
              QStringList{QStringLiteral("Page one.doc")});
    const ZipListing listing = readZip(archive());
    ASSERT_TRUE(listing.ok) << str(listing.error);
    EXPECT_EQ(listing.entries.value(QStringLiteral("Page one.doc")).data, QByteArray("the page, as exported"));
}

TEST_F(MailWindowTest, AMissingMailProgramIsNamedAndACancelSaysNothing)
{
    start();
    click(3, "SAVE:OUTLOOK"); // the dialog is cancelled
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);

    window->state().langSettings.programMail = QStringLiteral("no-such-mailer-13");
    dialogs.dialogs.files = {folder.file(QStringLiteral("exports/Page one.doc"))};
    click(3, "SAVE:OUTLOOK");
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages[0].text.contains(QStringLiteral("PROGRAM_MAIL=no-such-mailer-13")));
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    EXPECT_FALSE(QFile::exists(archive()));

    // An archive that cannot be made: entry 207, and the program goes on.
    window->state().langSettings.programMail = mailer();
    dialogs.dialogs.files = {QStringLiteral("/proc/self/mem")};
    click(3, "SAVE:OUTLOOK");
    ASSERT_EQ(dialogs.dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.dialogs.messages[1].text, window->state().lang.entry(207));
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);
}

// The mail program of the shipped languages finds no mail client set up and ends with 3
// (as xdg-email does): the window is not held while it runs, and then the user hears
// what failed and where the archive is, to attach it by hand.
TEST_F(MailWindowTest, AMailProgramThatFailsIsToldWithTheArchive)
{
    folder.write(QStringLiteral("on the path/xdg-email"),
                 "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\nsleep 1\nexit 3\n");
    QFile(folder.file(QStringLiteral("on the path/xdg-email")))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder.file(QStringLiteral("on the path"))) + ':' + path);
    start();
    window->state().langSettings.programMail = QStringLiteral("xdg-email");
    Shell::setInstance(nullptr);
    dialogs.dialogs.files = {folder.file(QStringLiteral("exports/Page one.doc"))};

    click(3, "SAVE:OUTLOOK");
    const bool started = QTest::qWaitFor([&] { return folder.exists(QStringLiteral("on the path/args")); }, 15000);
    const bool heldNothing = dialogs.dialogs.messages.isEmpty();
    const bool told = QTest::qWaitFor([&] { return !dialogs.dialogs.messages.isEmpty(); }, 15000);
    qputenv("PATH", path);
    ASSERT_TRUE(started) << "the mail program did not run";
    EXPECT_TRUE(heldNothing) << "the window waited for the mail program";
    ASSERT_TRUE(told);

    const AppState &s = window->state();
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].icon, Dialogs::Icon::Warning);
    EXPECT_EQ(dialogs.dialogs.messages[0].text,
              s.lang.entry(302) + u'\n' + QStringLiteral("xdg-email: ") + s.lang.entry(305) + QStringLiteral("\n\n")
                  + s.lang.entry(303) + u'\n' + archive());
    EXPECT_FALSE(s.lang.entry(302).isEmpty() || s.lang.entry(303).isEmpty() || s.lang.entry(305).isEmpty());
    const ZipListing listing = readZip(archive());
    ASSERT_TRUE(listing.ok) << str(listing.error);
    EXPECT_EQ(listing.entries.value(QStringLiteral("Page one.doc")).data, QByteArray("the page, as exported"));
}
