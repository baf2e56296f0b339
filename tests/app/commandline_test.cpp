#include "app/commandline.h"
#include "../support/tempfolder.h"

#include <QDir>
#include <QUrl>

// What the launcher and a user can ask of the program on its command line.
TEST(CommandLine, NamesTheFolderForTheDataAndRefusesWhatItDoesNotKnow)
{
    const QString program = QStringLiteral("/usr/lib/quorloffice/QuorlOffice");
    EXPECT_TRUE(CommandLine::parse({program}).programFolder.isEmpty());
    EXPECT_FALSE(CommandLine::parse({program}).exitStatus.has_value());

    const CommandLine::Request given =
        CommandLine::parse({program, QStringLiteral("--program-folder"), QStringLiteral("/home/a b/./data/")});
    EXPECT_EQ(given.programFolder, QStringLiteral("/home/a b/data"));
    EXPECT_FALSE(given.exitStatus.has_value());
    // A folder named relative to where the program was started.
    EXPECT_EQ(CommandLine::parse({program, QStringLiteral("--program-folder=mine")}).programFolder,
              QDir::current().absoluteFilePath(QStringLiteral("mine")));

    const CommandLine::Request reason = CommandLine::parse(
        {program, QStringLiteral("--cannot-start"), QStringLiteral("Cannot make \u2018x\u2019: Not a directory")});
    EXPECT_EQ(reason.cannotStart, QStringLiteral("Cannot make \u2018x\u2019: Not a directory"));
    EXPECT_FALSE(reason.exitStatus.has_value());

    for (const QStringList &wrong : {QStringList{program, QStringLiteral("--bogus")},
                                     QStringList{program, QStringLiteral("--program-folder=")},
                                     QStringList{program, QStringLiteral("--program-folder")}}) {
        const CommandLine::Request refused = CommandLine::parse(wrong);
        EXPECT_EQ(refused.exitStatus, 2) << str(wrong.join(u' '));
        EXPECT_TRUE(refused.output.contains(QStringLiteral("--program-folder"))) << str(refused.output);
    }
    const CommandLine::Request version = CommandLine::parse({program, QStringLiteral("--version")});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_TRUE(version.output.startsWith(QStringLiteral("QuorlOffice %1.").arg(QUORL_VERSION_MAJOR))) << str(version.output);
    // The help names the program and hides the launcher's own option.
    const CommandLine::Request help = CommandLine::parse({program, QStringLiteral("-h")});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.output.contains(program)) << str(help.output);
    EXPECT_FALSE(help.output.contains(QStringLiteral("cannot-start")));
}

TEST(CommandLine, AddressesOpenAsTypedAndFilesAsFiles)
{
    TempFolder dir;
    dir.write(QStringLiteral("saved page.html"), "<p>page</p>");
    const QString program = QStringLiteral("QuorlOffice");
    const CommandLine::Request request = CommandLine::parse(
        {program, QStringLiteral("example.org/news"), QStringLiteral("HTTPS://Example.org/A"), QStringLiteral("saved page.html"),
         dir.file(QStringLiteral("saved page.html")), QStringLiteral("file:///tmp/x.html"), QStringLiteral("--"),
         QStringLiteral("-dash.example")},
        dir.path());
    EXPECT_FALSE(request.exitStatus.has_value());
    const QString file = QUrl::fromLocalFile(dir.file(QStringLiteral("saved page.html"))).toString(QUrl::FullyEncoded);
    EXPECT_EQ(request.addresses,
              (QStringList{QStringLiteral("http://example.org/news"), QStringLiteral("HTTPS://Example.org/A"), file, file,
                           QStringLiteral("file:///tmp/x.html"), QStringLiteral("http://-dash.example")}));
}

// The exports with no window: what they are asked for, and the calls they refuse.
TEST(CommandLine, TakesTheExportsOfPagesWithNoWindow)
{
    const QString program = QStringLiteral("QuorlOffice");
    const CommandLine::Request batch = CommandLine::parse(
        {program, QStringLiteral("--export=DOCX"), QStringLiteral("--output"), QStringLiteral("out/"), QStringLiteral("--quiet"),
         QStringLiteral("--wait=5"), QStringLiteral("--urls-file=-"), QStringLiteral("example.org"), QStringLiteral("a b.html")});
    ASSERT_TRUE(batch.exports.has_value());
    EXPECT_FALSE(batch.exitStatus.has_value());
    EXPECT_EQ(batch.exports->format, QStringLiteral("docx"));
    EXPECT_EQ(batch.exports->output, QDir::current().absoluteFilePath(QStringLiteral("out")));
    EXPECT_TRUE(batch.exports->outputIsFolder);
    EXPECT_TRUE(batch.exports->quiet);
    EXPECT_EQ(batch.exports->waitSeconds, 5);
    EXPECT_EQ(batch.exports->urlsFile, QStringLiteral("-"));
    EXPECT_EQ(batch.exports->addresses, (QStringList{QStringLiteral("example.org"), QStringLiteral("a b.html")}));
    EXPECT_TRUE(CommandLine::asksForExport({program, QStringLiteral("-platform"), QStringLiteral("x"),
                                            QStringLiteral("--export"), QStringLiteral("pdf")}));
    EXPECT_FALSE(CommandLine::asksForExport({program, QStringLiteral("--"), QStringLiteral("--export=pdf")}));

    const CommandLine::Request one =
        CommandLine::parse({program, QStringLiteral("--export=pdf"), QStringLiteral("--output=report"), QStringLiteral("x")});
    ASSERT_TRUE(one.exports.has_value());
    EXPECT_FALSE(one.exports->outputIsFolder);
    EXPECT_EQ(one.exports->waitSeconds, 60);

    for (const QStringList &wrong :
         {QStringList{program, QStringLiteral("--export=rtf"), QStringLiteral("x")},
          QStringList{program, QStringLiteral("--export=pdf")},
          QStringList{program, QStringLiteral("--export=pdf"), QStringLiteral("--wait=0"), QStringLiteral("x")},
          QStringList{program, QStringLiteral("--export=pdf"), QStringLiteral("--wait=soon"), QStringLiteral("x")},
          QStringList{program, QStringLiteral("--export=pdf"), QStringLiteral("--output="), QStringLiteral("x")},
          QStringList{program, QStringLiteral("--quiet")},
          QStringList{program, QStringLiteral("--output=x")}}) {
        const CommandLine::Request refused = CommandLine::parse(wrong);
        EXPECT_EQ(refused.exitStatus, 2) << str(wrong.join(u' '));
        EXPECT_FALSE(refused.exports.has_value());
    }
}
