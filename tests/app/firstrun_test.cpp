#include "app/firstrun.h"
#include "../support/tempfolder.h"

namespace {
void deliver(const TempFolder &dir)
{
    dir.write(QStringLiteral("QuorlFirst.txt"), "");
    dir.write(QStringLiteral("Links.Bok"), "new titles");
    dir.write(QStringLiteral("Links.000"), "new links");
    dir.write(QStringLiteral("Lang_English.txt"), "new english");
    dir.write(QStringLiteral("Lang_Italiano.txt"), "italiano");
    dir.write(QStringLiteral("template.doc"), "landscape");
    dir.write(QStringLiteral("templateh.doc"), "portrait");
}
} // namespace

TEST(FirstRun, MovesEveryDeliveredFileAndRemovesTheMarker)
{
    TempFolder dir;
    deliver(dir);
    ASSERT_TRUE(FirstRun::markerPresent(dir.path()));
    const auto result = FirstRun::moveData(dir.path());
    EXPECT_EQ(result.status, FirstRun::Result::Status::Installed);
    EXPECT_FALSE(FirstRun::markerPresent(dir.path()));
    EXPECT_EQ(dir.read(QStringLiteral("Links/Links.Bok")), QByteArray("new titles"));
    EXPECT_EQ(dir.read(QStringLiteral("Languages/Lang_Italiano.txt")), QByteArray("italiano"));
    EXPECT_EQ(dir.read(QStringLiteral("Data/Template.doc")), QByteArray("landscape"));
    EXPECT_EQ(dir.read(QStringLiteral("Data/TemplateH.doc")), QByteArray("portrait"));
    EXPECT_TRUE(dir.exists(QStringLiteral("Images")));
    for (const char *loose : {"Links.Bok", "Links.000", "Lang_English.txt", "template.doc", "templateh.doc"})
        EXPECT_FALSE(dir.exists(QString::fromLatin1(loose))) << loose;
}

TEST(FirstRun, KeepsExistingLinksButReplacesLanguages)
{
    TempFolder dir;
    dir.write(QStringLiteral("Links/Links.Bok"), "the user's titles");
    dir.write(QStringLiteral("Languages/Lang_English.txt"), "old english");
    deliver(dir);
    ASSERT_EQ(FirstRun::moveData(dir.path()).status, FirstRun::Result::Status::Installed);
    EXPECT_EQ(dir.read(QStringLiteral("Links/Links.Bok")), QByteArray("the user's titles"));
    EXPECT_EQ(dir.read(QStringLiteral("Links/Links.000")), QByteArray("new links"));
    EXPECT_EQ(dir.read(QStringLiteral("Languages/Lang_English.txt")), QByteArray("new english"));
    EXPECT_FALSE(dir.exists(QStringLiteral("Links.Bok")));
}

TEST(FirstRun, MissingPortraitTemplateStopsAfterTheOthersAndKeepsTheMarker)
{
    TempFolder dir;
    deliver(dir);
    QFile::remove(dir.file(QStringLiteral("templateh.doc")));
    auto result = FirstRun::moveData(dir.path());
    EXPECT_EQ(result.status, FirstRun::Result::Status::MissingFile);
    EXPECT_EQ(result.path, dir.path() + QStringLiteral("/templateh.doc"));
    EXPECT_TRUE(dir.exists(QStringLiteral("Links/Links.Bok")));
    EXPECT_TRUE(dir.exists(QStringLiteral("Data/Template.doc")));
    EXPECT_TRUE(FirstRun::markerPresent(dir.path()));

    // The next start finds no loose link file any more.
    result = FirstRun::moveData(dir.path());
    EXPECT_EQ(result.status, FirstRun::Result::Status::MissingFile);
    EXPECT_EQ(result.path, dir.path() + QStringLiteral("/links.*"));
}

TEST(FirstRun, MissingLanguagesAreReportedAsTheEnglishFile)
{
    TempFolder dir;
    dir.write(QStringLiteral("links.bok"), "x");
    const auto result = FirstRun::moveData(dir.path());
    EXPECT_EQ(result.status, FirstRun::Result::Status::MissingFile);
    EXPECT_EQ(result.path, dir.path() + QStringLiteral("/Lang_English.txt"));
}

TEST(FirstRun, NamesMatchWithoutRegardToCase)
{
    TempFolder dir;
    dir.write(QStringLiteral("quorlfirst.TXT"), "");
    dir.write(QStringLiteral("LINKS.BOK"), "t");
    dir.write(QStringLiteral("lang_english.TXT"), "e");
    dir.write(QStringLiteral("Template.DOC"), "l");
    dir.write(QStringLiteral("TEMPLATEH.doc"), "p");
    ASSERT_TRUE(FirstRun::markerPresent(dir.path()));
    EXPECT_EQ(FirstRun::moveData(dir.path()).status, FirstRun::Result::Status::Installed);
    EXPECT_EQ(dir.read(QStringLiteral("Data/Template.doc")), QByteArray("l"));
    EXPECT_EQ(dir.read(QStringLiteral("Data/TemplateH.doc")), QByteArray("p"));
    EXPECT_FALSE(FirstRun::markerPresent(dir.path()));
}

TEST(FirstRun, HelpDocumentsGoToDataAndAreNotRequired)
{
    TempFolder dir;
    deliver(dir);
    dir.write(QStringLiteral("QuorlGOTabENG.pdf"), "new english help");
    dir.write(QStringLiteral("QuorlGOTabITA.pdf"), "guida");
    dir.write(QStringLiteral("Data/QuorlGOTabENG.pdf"), "old english help");
    ASSERT_EQ(FirstRun::moveData(dir.path()).status, FirstRun::Result::Status::Installed);
    EXPECT_EQ(dir.read(QStringLiteral("Data/QuorlGOTabENG.pdf")), QByteArray("new english help"));
    EXPECT_EQ(dir.read(QStringLiteral("Data/QuorlGOTabITA.pdf")), QByteArray("guida"));
    EXPECT_FALSE(dir.exists(QStringLiteral("QuorlGOTabENG.pdf")));

    // A delivery without help installs all the same.
    TempFolder bare;
    deliver(bare);
    EXPECT_EQ(FirstRun::moveData(bare.path()).status, FirstRun::Result::Status::Installed);
    EXPECT_FALSE(bare.exists(QStringLiteral("Data/QuorlGOTabENG.pdf")));
}
