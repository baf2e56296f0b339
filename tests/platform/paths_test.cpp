#include "platform/paths.h"
#include "../support/tempfolder.h"

TEST(Paths, FindsAnExistingFileInAnySpelling)
{
    TempFolder dir;
    dir.write(QStringLiteral("Data/QuorlOffice.Hys"), "x");
    const Paths paths(dir.path());
    EXPECT_EQ(paths.file(QStringLiteral("Data/QuorlOffice.hys")), dir.file(QStringLiteral("Data/QuorlOffice.Hys")));
    EXPECT_EQ(paths.file(QStringLiteral("data/quorloffice.HYS")), dir.file(QStringLiteral("Data/QuorlOffice.Hys")));
}

TEST(Paths, NewFilesKeepTheSpellingAsked)
{
    TempFolder dir;
    dir.mkdir(QStringLiteral("data"));
    const Paths paths(dir.path());
    // The folder exists as "data"; the file does not exist yet and keeps its own spelling.
    EXPECT_EQ(paths.file(QStringLiteral("Data/QuorlOffice.Opt")), dir.file(QStringLiteral("data/QuorlOffice.Opt")));
    EXPECT_EQ(paths.file(QStringLiteral("Images/Quorl000.bmp")), dir.file(QStringLiteral("Images/Quorl000.bmp")));
}

TEST(Paths, WildcardsIgnoreCaseAndListOnlyFiles)
{
    TempFolder dir;
    dir.write(QStringLiteral("Links.Bok"), "");
    dir.write(QStringLiteral("LINKS.000"), "");
    dir.write(QStringLiteral("mylinks.txt"), "");
    dir.mkdir(QStringLiteral("links.dir"));
    QStringList found = Paths::matchFiles(dir.path(), QStringLiteral("links.*"));
    found.sort();
    EXPECT_EQ(found, (QStringList{QStringLiteral("LINKS.000"), QStringLiteral("Links.Bok")}));
    EXPECT_TRUE(Paths::matchFiles(dir.path() + QStringLiteral("/none"), QStringLiteral("*")).isEmpty());
}
