#include "settings/options.h"
#include "../support/tempfolder.h"

namespace {
const auto lines = linesOf;
} // namespace

TEST(OptionsFile, FirstStartCreatesTheFiveLineDefault)
{
    TempFolder dir;
    dir.mkdir(QStringLiteral("Data"));
    const QString path = dir.file(QStringLiteral("Data/QuorlOffice.Opt"));
    Options o;
    o.langName = QStringLiteral("Italiano");
    EXPECT_EQ(OptionsFile::read(path, o, QStringLiteral("quorl:start")), OptionsFile::ReadResult::CreatedDefault);
    EXPECT_EQ(o.barStyle, 1);
    EXPECT_EQ(o.floatBars, 0);
    EXPECT_EQ(o.homePage, QStringLiteral("quorl:start"));
    EXPECT_EQ(o.langName, QStringLiteral("English"));
    EXPECT_EQ(dir.read(QStringLiteral("Data/QuorlOffice.Opt")), QByteArray("1\r\n0\r\n0\r\n0\r\nquorl:start\r\n"));

    ASSERT_TRUE(OptionsFile::save(path, o));
    EXPECT_EQ(dir.read(QStringLiteral("Data/QuorlOffice.Opt")),
              QByteArray("1\r\n0\r\n0\r\n0\r\nquorl:start\r\nEnglish\r\n"));
}

TEST(OptionsFile, MissingDataFolderIsReported)
{
    TempFolder dir;
    Options o;
    EXPECT_EQ(OptionsFile::read(dir.file(QStringLiteral("Data/QuorlOffice.Opt")), o, QString()),
              OptionsFile::ReadResult::CannotCreate);
}

TEST(OptionsFile, ParsesWholeAndShortFiles)
{
    struct Case
    {
        QStringList lines;
        int bar, r2, flt, r4;
        const char *home, *lang;
    };
    const Case cases[] = {
        {lines({"3", "7", "1", "9", "  http://x.example/  ", "Italiano"}), 3, 7, 1, 9, "  http://x.example/  ", "Italiano"},
        // a short file repeats the last number read and keeps the texts
        {lines({"2"}), 2, 2, 2, 2, "keep", "English"},
        {lines({"2", "5"}), 2, 5, 5, 5, "keep", "English"},
        {lines({}), 0, 0, 0, 0, "keep", "English"},
        // no number reads 0; a number too big for 16 bits keeps the buffer's value
        {lines({"x", "70000", "1", "", "h"}), 0, 0, 1, 0, "h", "English"},
        {lines({" 3 apples", "0", "1", "0", "", ""}), 3, 0, 1, 0, "", ""},
    };
    for (const Case &c : cases) {
        Options o;
        o.homePage = QStringLiteral("keep");
        o.langName = QStringLiteral("English");
        OptionsFile::parse(c.lines, o);
        EXPECT_EQ(o.barStyle, c.bar) << str(c.lines.join(u'|'));
        EXPECT_EQ(o.reserved2, c.r2) << str(c.lines.join(u'|'));
        EXPECT_EQ(o.floatBars, c.flt) << str(c.lines.join(u'|'));
        EXPECT_EQ(o.reserved4, c.r4) << str(c.lines.join(u'|'));
        EXPECT_EQ(o.homePage, QString::fromUtf8(c.home));
        EXPECT_EQ(o.langName, QString::fromUtf8(c.lang));
    }
}

TEST(OptionsFile, ReservedValuesAndBlanksSurviveARoundTrip)
{
    TempFolder dir;
    dir.write(QStringLiteral("QuorlOffice.Opt"), "0\r\n7\r\n1\r\n9\r\n  http://h.example/ \r\nItaliano\r\n");
    const QString path = dir.file(QStringLiteral("QuorlOffice.Opt"));
    Options o;
    ASSERT_EQ(OptionsFile::read(path, o, QString()), OptionsFile::ReadResult::Read);
    ASSERT_TRUE(OptionsFile::save(path, o));
    EXPECT_EQ(dir.read(QStringLiteral("QuorlOffice.Opt")),
              QByteArray("0\r\n7\r\n1\r\n9\r\n  http://h.example/ \r\nItaliano\r\n"));
}
