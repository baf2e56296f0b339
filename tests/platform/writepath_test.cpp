// The one write path of the program, under a disk that fills up: the old file stays
// whole, no temporary file is left, and the caller hears of the failure.
#include "platform/textfile.h"
#include "settings/options.h"
#include "../support/smallfilesystem.h"
#include "../support/tempfolder.h"

#include <QDir>

#include <cerrno>

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
