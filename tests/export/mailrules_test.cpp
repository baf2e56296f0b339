#include "settings/appstate.h"
#include "archive/czip.h"
#include "export/mailexport.h"
#include "platform/privatefolder.h"
#include "support/recordingshell.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/zipreader.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString own()
{
    return QStringLiteral("quorloffice-") + QString::number(geteuid());
}

mode_t modeOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

} // namespace

TEST(MailArchivePath, TheNameUpToItsFirstDotAndZipWithSpacesTurnedIntoUnderscores)
{
    const struct { const char *folder; const char *chosen; const char *archive; } cases[] = {
        {"/tmp/q", "/home/u/Page one.doc", "/tmp/q/Page_one.zip"},
        {"/tmp/q", "/home/u/report.final.doc", "/tmp/q/report.zip"},
        {"/tmp/q", "/home/u/README", "/tmp/q/README.zip"},
        {"/tmp/q", "/home/u/no dot here", "/tmp/q/no_dot_here.zip"},
        {"/tmp/q", "/home/u/.bashrc", "/tmp/q/.bashrc.zip"},
        {"/tmp/q", "/home/u/.config.old", "/tmp/q/.config.zip"},
        // Only the file's name changes: a folder with a space stays the folder it is.
        {"/tmp/my temp/q", "/my files/a b.pdf", "/tmp/my temp/q/a_b.zip"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MailExport::archivePath(QString::fromUtf8(c.folder), QString::fromUtf8(c.chosen)),
                  QString::fromUtf8(c.archive))
            << c.chosen;
}

TEST(MailArguments, ByTheMailProgramsName)
{
    const QString zip = QStringLiteral("/tmp/q/Page_one.zip");
    const struct { const char *program; QStringList arguments; } cases[] = {
        {"/usr/bin/xdg-email", {QStringLiteral("--attach"), zip}},
        {"xdg-email", {QStringLiteral("--attach"), zip}},
        {"/usr/bin/thunderbird", {QStringLiteral("-compose"), QStringLiteral("attachment='file:///tmp/q/Page_one.zip'")}},
        {"/usr/lib/icedove/Icedove", {QStringLiteral("-compose"), QStringLiteral("attachment='file:///tmp/q/Page_one.zip'")}},
        {"/opt/mail/sendit", {QStringLiteral("/a"), zip}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MailExport::mailArguments(QString::fromUtf8(c.program), zip), c.arguments) << c.program;
    // A quote, a comma or a space cannot end the attachment field.
    EXPECT_EQ(MailExport::mailArguments(QStringLiteral("thunderbird"), QStringLiteral("/tmp/it's, here.zip")),
              (QStringList{QStringLiteral("-compose"), QStringLiteral("attachment='file:///tmp/it%27s%2C%20here.zip'")}));
}

TEST(MailProgram, OnlyAnExecutableThatExistsIsFound)
{
    TempFolder folder;
    folder.write(QStringLiteral("notes.txt"), "not a program");
    folder.write(QStringLiteral("mailer"), "#!/bin/sh\n");
    QFile(folder.file(QStringLiteral("mailer"))).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(Shell::findProgram(folder.file(QStringLiteral("mailer"))), folder.file(QStringLiteral("mailer")));
    EXPECT_FALSE(Shell::findProgram(QStringLiteral("sh")).isEmpty());
    EXPECT_TRUE(Shell::findProgram(folder.file(QStringLiteral("notes.txt"))).isEmpty());
    EXPECT_TRUE(Shell::findProgram(folder.path()).isEmpty());
    EXPECT_TRUE(Shell::findProgram(QStringLiteral("no-such-mailer-13")).isEmpty());
    EXPECT_TRUE(Shell::findProgram(QString()).isEmpty());
}

TEST(PrivateFolder, OwnerOnlyAndNeverThroughAPlantedLink)
{
    TempFolder root;
    const auto made = PrivateFolder::ensure(root.path());
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(*made, root.file(own()));
    EXPECT_EQ(modeOf(*made), 0700u);
    EXPECT_EQ(PrivateFolder::ensure(root.path()), made);

    // A folder of ours left open to others is closed again.
    ::chmod(QFile::encodeName(*made).constData(), 0777);
    EXPECT_EQ(PrivateFolder::ensure(root.path()), made);
    EXPECT_EQ(modeOf(*made), 0700u);

    // Someone planted a link under the name: it is not followed, another name is used.
    TempFolder other;
    TempFolder victim;
    ASSERT_EQ(::symlink(QFile::encodeName(victim.path()).constData(), QFile::encodeName(other.file(own())).constData()), 0);
    const auto safe = PrivateFolder::ensure(other.path());
    ASSERT_TRUE(safe.has_value());
    EXPECT_NE(*safe, other.file(own()));
    EXPECT_EQ(modeOf(*safe), 0700u);
    EXPECT_EQ(modeOf(victim.path()) & 0777, 0700u); // the link's target is not touched
    EXPECT_TRUE(QDir(victim.path()).isEmpty());
}

TEST(PrivateFolder, ArchivesOlderThanADayAreRemoved)
{
    TempFolder root;
    const QString folder = *PrivateFolder::ensure(root.path());
    TempFolder outside;
    outside.write(QStringLiteral("keep.zip"), "someone else's");
    const QDateTime now = QDateTime::currentDateTime();
    const auto age = [](const QString &path, const QDateTime &time) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(time, QFileDevice::FileModificationTime);
    };
    root.write(own() + QStringLiteral("/old.zip"), "old");
    age(root.file(own() + QStringLiteral("/old.zip")), now.addDays(-2));
    root.write(own() + QStringLiteral("/new.zip"), "new");
    age(outside.file(QStringLiteral("keep.zip")), now.addDays(-3));
    ASSERT_EQ(::symlink(QFile::encodeName(outside.file(QStringLiteral("keep.zip"))).constData(),
                        QFile::encodeName(folder + QStringLiteral("/link.zip")).constData()),
              0);

    EXPECT_EQ(PrivateFolder::removeOlderThan(root.path(), 24 * 3600, now), 1);
    EXPECT_FALSE(root.exists(own() + QStringLiteral("/old.zip")));
    EXPECT_TRUE(root.exists(own() + QStringLiteral("/new.zip")));
    EXPECT_TRUE(outside.exists(QStringLiteral("keep.zip")));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/link.zip")).isSymLink());

    // Without a private folder there is nothing to clean, and none is made.
    TempFolder empty;
    EXPECT_EQ(PrivateFolder::removeOlderThan(empty.path(), 24 * 3600, now), 0);
    EXPECT_TRUE(QDir(empty.path()).isEmpty());
}

TEST(PrivateFolder, TheWorkingFoldersOfAKilledRunAreRemovedAndNoneInUse)
{
    TempFolder root;
    PrivateFolder::setSystemTemp(root.path());
    // A run that is killed while its working folder exists.
    const pid_t child = ::fork();
    if (child == 0) {
        PrivateFolder::Temporary work(QStringLiteral("office"));
        QFile(work.filePath(QStringLiteral("left"))).open(QIODevice::WriteOnly);
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    PrivateFolder::Temporary mine(QStringLiteral("office"));
    ASSERT_TRUE(mine.isValid());
    EXPECT_EQ(modeOf(mine.path()) & 077, 0u);
    const QString folder = root.file(own());
    EXPECT_EQ(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);

    EXPECT_EQ(PrivateFolder::removeAbandoned(root.path()), 1);
    EXPECT_EQ(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QFileInfo(mine.path()).fileName()});
    EXPECT_EQ(PrivateFolder::removeAbandoned(root.path()), 0);
    PrivateFolder::setSystemTemp(std::nullopt);
}

namespace {

// The mail export alone, with a stand-in for the main window.
class MailExportTest : public ::testing::Test, public MailExport::Host
{
protected:
    void SetUp() override
    {
        PrivateFolder::setSystemTemp(temp.path());
        state.lang.setEntry(171, QStringLiteral("Choose the file to send"));
        state.lang.setEntry(207, QStringLiteral("The archive could not be made."));
        state.lang.setEntry(208, QStringLiteral("All files"));
        state.langSettings.programMail = QStringLiteral("/bin/true");
        files.write(QStringLiteral("Page one.doc"), "the exported page");
    }
    void TearDown() override { PrivateFolder::setSystemTemp(std::nullopt); }

    QWidget *dialogParent() override { return nullptr; }
    void setOpacity(int alpha) override { opacities.append(alpha); }
    void setStatusText(const QString &text) override { status.append(text); }
    QString dialogFileName() const override { return fileName; }
    void setDialogFileName(const QString &path) override { fileName = path; }

    QStringList archives() const { return QDir(temp.file(own())).entryList(QDir::Files | QDir::Hidden); }

    TempFolder temp;
    TempFolder files;
    AppState state{files.path()};
    ScopedDialogs dialogs;
    ScopedShell shell;
    MailExport mail{state, *this};
    QList<int> opacities;
    QStringList status;
    QString fileName = QStringLiteral("/last/export.doc");
};

} // namespace

TEST_F(MailExportTest, TheChosenFileIsZippedUnderItsOwnNameAndHandedToTheMailProgram)
{
    const QString chosen = files.file(QStringLiteral("Page one.doc"));
    dialogs.dialogs.files = {chosen};
    mail.sendAsZip();
    EXPECT_EQ(dialogs.dialogs.titles, QStringList{QStringLiteral("Choose the file to send")});
    EXPECT_EQ(dialogs.dialogs.filters, QStringList{QStringLiteral("All files (*.*)|*.*")});
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_EQ(opacities, (QList<int>{205, 255}));
    EXPECT_EQ(fileName, chosen);
    EXPECT_EQ(status, QStringList{QStringLiteral("adding: Page one.doc")});

    const QString archive = temp.file(own() + QStringLiteral("/Page_one.zip"));
    ASSERT_EQ(shell.shell.programs.size(), 1);
    EXPECT_EQ(shell.shell.programs[0].first, QStringLiteral("/bin/true"));
    EXPECT_EQ(shell.shell.programs[0].second, (QStringList{QStringLiteral("/a"), archive}));
    const ZipListing listing = readZip(archive);
    ASSERT_TRUE(listing.ok) << str(listing.error);
    EXPECT_EQ(listing.names, QStringList{QStringLiteral("Page one.doc")});
    EXPECT_EQ(listing.entries.value(QStringLiteral("Page one.doc")).data, QByteArray("the exported page"));
    ASSERT_NE(mail.lastZip(), nullptr);
    EXPECT_FALSE(mail.lastZip()->storeFolderNames());
    EXPECT_FALSE(mail.lastZip()->recurseSubDirs());
}

TEST_F(MailExportTest, ACancelRestoresTheWindowAndSaysNothing)
{
    mail.sendAsZip();
    EXPECT_EQ(opacities, (QList<int>{205, 255}));
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_TRUE(shell.shell.programs.isEmpty());
    EXPECT_EQ(fileName, QStringLiteral("/last/export.doc"));
    EXPECT_TRUE(archives().isEmpty());
}

TEST_F(MailExportTest, AFileThatCannotBeReadLeavesNoArchiveAndSaysSo)
{
    for (const QString &chosen : {QStringLiteral("/proc/self/mem"), files.file(QStringLiteral("gone.doc")),
                                  files.path()}) {
        dialogs.dialogs.messages.clear();
        opacities.clear();
        dialogs.dialogs.files = {chosen};
        mail.sendAsZip();
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1) << str(chosen);
        EXPECT_EQ(dialogs.dialogs.messages[0].text, QStringLiteral("The archive could not be made."));
        EXPECT_EQ(dialogs.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        EXPECT_EQ(opacities, (QList<int>{205, 255}));
        EXPECT_TRUE(shell.shell.programs.isEmpty());
        EXPECT_TRUE(archives().isEmpty()) << str(archives().join(u' '));
    }
}

TEST_F(MailExportTest, AMailProgramThatIsNotThereIsNamed)
{
    for (const char *named : {"no-such-mailer-13", "/usr/bin/no-such-mailer-13", ""}) {
        dialogs.dialogs.messages.clear();
        state.langSettings.programMail = QString::fromLatin1(named);
        dialogs.dialogs.files = {files.file(QStringLiteral("Page one.doc"))};
        mail.sendAsZip();
        ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.dialogs.messages[0].text.endsWith(QStringLiteral("\nPROGRAM_MAIL=") + QString::fromLatin1(named)))
            << str(dialogs.dialogs.messages[0].text);
        EXPECT_TRUE(shell.shell.programs.isEmpty());
        EXPECT_TRUE(archives().isEmpty());
    }
}
