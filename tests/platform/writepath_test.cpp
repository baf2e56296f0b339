// The one write path of the program, under a disk that fills up: the old file stays
// whole, no temporary file is left, and the caller hears of the failure.
#include "platform/privacy.h"
#include "platform/textfile.h"
#include "settings/options.h"
#include "../support/smallfilesystem.h"
#include "../support/tempfolder.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

// A small memory file system that fills up for real. Only root can mount one, as the
// test command runs in CI.
TEST(WritePath, AFullDiskLeavesTheOldFileWholeAndSaysSo)
{
    TempFolder dir;
    dir.mkdir(QStringLiteral("Data"));
    SmallFileSystem disk(dir.file(QStringLiteral("Data")), "64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot();
    const QString data = dir.file(QStringLiteral("Data"));
    dir.write(QStringLiteral("Data/QuorlOffice.Opt"), "3\r\n0\r\n1\r\n0\r\nhttp://home.example/\r\nEnglish\r\n");
    const QByteArray before = dir.read(QStringLiteral("Data/QuorlOffice.Opt"));
    Options options;
    options.homePage = QString(5000, u'x');
    // Nothing fits (the old file takes the one page there is), and then the disk fills
    // in the middle of the file (one page of the two it needs): the write that is cut
    // short is carried on, and the next one meets the full disk. Both fail the same way.
    for (const char *size : {"4k", "8k"}) {
        ASSERT_TRUE(disk.resize(size)) << size;
        QString error;
        EXPECT_FALSE(OptionsFile::save(dir.file(QStringLiteral("Data/QuorlOffice.Opt")), options, &error));
        EXPECT_TRUE(error.contains(QString::fromLocal8Bit(strerror(ENOSPC)))) << str(error);
        EXPECT_TRUE(error.contains(QStringLiteral("QuorlOffice.Opt"))) << str(error);
        EXPECT_EQ(dir.read(QStringLiteral("Data/QuorlOffice.Opt")), before);
        EXPECT_EQ(namesIn(data), QStringList{QStringLiteral("QuorlOffice.Opt")});
    }
    // Room again: the file is replaced whole.
    ASSERT_TRUE(disk.resize("64k"));
    ASSERT_TRUE(OptionsFile::save(dir.file(QStringLiteral("Data/QuorlOffice.Opt")), options));
    EXPECT_TRUE(dir.read(QStringLiteral("Data/QuorlOffice.Opt")).contains(QByteArray(5000, 'x')));
    EXPECT_EQ(namesIn(data), QStringList{QStringLiteral("QuorlOffice.Opt")});
}

TEST(WritePath, KeepsThePermissionsAndTheLinkOfTheFileItReplaces)
{
    TempFolder dir;
    dir.write(QStringLiteral("real.txt"), "old");
    QFile::setPermissions(dir.file(QStringLiteral("real.txt")), QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions before = QFile::permissions(dir.file(QStringLiteral("real.txt")));
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("real.txt")), dir.file(QStringLiteral("link.txt"))));
    ASSERT_TRUE(TextFile::writeLines(dir.file(QStringLiteral("link.txt")), {QStringLiteral("new")}));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("link.txt"))).isSymLink());
    EXPECT_EQ(dir.read(QStringLiteral("real.txt")), QByteArray("new\r\n"));
    EXPECT_EQ(QFile::permissions(dir.file(QStringLiteral("real.txt"))), before);
}

// The program folder holds the user's history, options and link files: what the program
// writes there, and what an earlier version left open there, is the user's alone,
// whatever the umask. A document written elsewhere gets the usual permissions, also in
// a folder that happens to be closed.
TEST(WritePath, TheProgramsFilesAreTheUsersAloneAndOtherFilesAsUsual)
{
    TempFolder dir;
    const mode_t umaskBefore = ::umask(022);
    auto mode = [&dir](const char *relative) {
        struct stat info;
        return ::lstat(QFile::encodeName(dir.file(QString::fromLatin1(relative))).constData(), &info) == 0
                   ? info.st_mode & 07777
                   : mode_t(-1);
    };
    // As an earlier version left the folder: open folders and files, a link to a file of
    // someone else's that must stay as it is.
    dir.write(QStringLiteral("program/Data/QuorlOffice.Opt"), "options");
    dir.write(QStringLiteral("program/Data/Engine/Cookies"), "cookies");
    dir.write(QStringLiteral("program/Links/Links.001"), "links");
    dir.write(QStringLiteral("shared.txt"), "not the program's");
    ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("shared.txt")), dir.file(QStringLiteral("program/Links/link"))));
    for (const char *folder : {"program", "program/Data", "program/Data/Engine", "program/Links"})
        ::chmod(QFile::encodeName(dir.file(QString::fromLatin1(folder))).constData(), 0755);
    ASSERT_EQ(mode("program/Data/Engine/Cookies"), 0644u);

    ASSERT_TRUE(Privacy::closeFolder(dir.file(QStringLiteral("program"))));
    for (const char *folder : {"program", "program/Data", "program/Data/Engine", "program/Links"})
        EXPECT_EQ(mode(folder), 0700u) << folder;
    for (const char *file : {"program/Data/QuorlOffice.Opt", "program/Data/Engine/Cookies", "program/Links/Links.001"})
        EXPECT_EQ(mode(file), 0600u) << file;
    EXPECT_EQ(mode("shared.txt"), 0644u);

    TextFile::setPrivateFolder(dir.file(QStringLiteral("program")));
    dir.mkdir(QStringLiteral("closed"));
    ::chmod(QFile::encodeName(dir.file(QStringLiteral("closed"))).constData(), 0700);
    dir.write(QStringLiteral("program/Links/Links.002"), "old");
    ::chmod(QFile::encodeName(dir.file(QStringLiteral("program/Links/Links.002"))).constData(), 0664);
    const bool written = TextFile::writeLines(dir.file(QStringLiteral("program/Data/QuorlOffice.Hys")), {})
                         && TextFile::writeLines(dir.file(QStringLiteral("program/Links/Links.002")), {})
                         && TextFile::writeLines(dir.file(QStringLiteral("program/Doc.Txt")), {})
                         && TextFile::writeLines(dir.file(QStringLiteral("closed/export.doc")), {})
                         && TextFile::writeLines(dir.file(QStringLiteral("export.doc")), {});
    TextFile::setPrivateFolder(QString());
    ::umask(umaskBefore);
    ASSERT_TRUE(written);
    EXPECT_EQ(mode("program/Data/QuorlOffice.Hys"), 0600u);
    EXPECT_EQ(mode("program/Links/Links.002"), 0600u);
    EXPECT_EQ(mode("program/Doc.Txt"), 0600u);
    EXPECT_EQ(mode("closed/export.doc"), 0644u);
    EXPECT_EQ(mode("export.doc"), 0644u);
}

// A disk filled by another file, under a longer file.
TEST(WritePath, ARealFullDiskLeavesTheOldFileWhole)
{
    TempFolder dir;
    dir.mkdir(QStringLiteral("Data"));
    const SmallFileSystem disk(dir.file(QStringLiteral("Data")), "64k");
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot();

    const QString history = dir.file(QStringLiteral("Data/QuorlOffice.Hys"));
    ASSERT_TRUE(TextFile::writeLines(history, {QStringLiteral("http://kept.example/")}));
    // Fill what is left of the disk.
    {
        QFile filler(dir.file(QStringLiteral("Data/filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    QString error;
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many.append(QStringLiteral("http://new.example/%1").arg(i));
    EXPECT_FALSE(TextFile::writeLines(history, many, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(*TextFile::readLines(history), QStringList{QStringLiteral("http://kept.example/")});
    QStringList left = namesIn(dir.file(QStringLiteral("Data")));
    left.sort();
    EXPECT_EQ(left, (QStringList{QStringLiteral("QuorlOffice.Hys"), QStringLiteral("filler")}));
}
