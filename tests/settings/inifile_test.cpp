#include "settings/inifile.h"
#include "../support/tempfolder.h"

namespace {
constexpr int16_t kScreenH = 15360;
constexpr int16_t kScreenW = 19200;

QStringList numbers(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *l : list)
        result.append(QString::fromLatin1(l));
    return result;
}
} // namespace

TEST(IniFile, MissingFileResetsOnlyTheMainWindow)
{
    TempFolder dir;
    IniSettings s;
    s.tabWinTop = 111;
    s.startState = 2;
    s.windowTop = 5;
    IniFile::read(dir.file(QStringLiteral("QuorlOffice.Ini")), s, kScreenH, kScreenW);
    EXPECT_EQ(s.windowTop, 0);
    EXPECT_EQ(s.windowLeft, 0);
    EXPECT_EQ(s.windowHeight, kScreenH);
    EXPECT_EQ(s.windowWidth, kScreenW);
    EXPECT_EQ(s.tabWinTop, 111);
    EXPECT_EQ(s.startState, 2);
}

TEST(IniFile, ReaderThresholds)
{
    IniSettings s;
    IniFile::parse(numbers({"-30", "-1", "1500", "2999", "1", "2", "3", "4", "5", "6", "7", "8", "2"}), s, kScreenH,
                   kScreenW);
    EXPECT_EQ(s.windowTop, 0);
    EXPECT_EQ(s.windowLeft, 0);
    EXPECT_EQ(s.windowHeight, kScreenH);
    EXPECT_EQ(s.windowWidth, kScreenW);
    EXPECT_EQ(s.tabWinTop, 1);
    EXPECT_EQ(s.editWinWidth, 8);
    EXPECT_EQ(s.startState, 2);

    IniFile::parse(numbers({" 300 ", "450", "9000", "12000", "1.5", "", "x", "4"}), s, kScreenH, kScreenW);
    EXPECT_EQ(s.windowTop, 300);
    EXPECT_EQ(s.windowLeft, 450);
    EXPECT_EQ(s.windowHeight, 9000);
    EXPECT_EQ(s.windowWidth, 12000);
    EXPECT_EQ(s.tabWinTop, 1.5);
    EXPECT_EQ(s.tabWinLeft, 0);
    EXPECT_EQ(s.tabWinHeight, 0);
}

TEST(IniFile, ShortFileRepeatsItsLastLine)
{
    IniSettings s;
    IniFile::parse(numbers({"100", "200", "5000", "6000"}), s, kScreenH, kScreenW);
    EXPECT_EQ(s.windowWidth, 6000);
    for (double v : {s.tabWinTop, s.tabWinLeft, s.tabWinHeight, s.tabWinWidth, s.editWinTop, s.editWinLeft,
                     s.editWinHeight, s.editWinWidth})
        EXPECT_EQ(v, 6000);
    EXPECT_EQ(s.startState, 6000);

    IniFile::parse(numbers({"100", "2"}), s, kScreenH, kScreenW);
    EXPECT_EQ(s.windowHeight, kScreenH); // "2" repeated, below the limit
    EXPECT_EQ(s.startState, 2);
}

TEST(IniFile, TooBigNumbersLeaveTheFieldAlone)
{
    IniSettings s;
    s.windowTop = 77;
    s.startState = 2;
    IniFile::parse(numbers({"9999999999", "10", "5000", "6000", "0", "0", "0", "0", "0", "0", "0", "0", "40000"}), s,
                   kScreenH, kScreenW);
    EXPECT_EQ(s.windowTop, 77);
    EXPECT_EQ(s.startState, 2); // a 16-bit field
}

// Screens wider than 2184 pixels (32767 twips) and 8K screens: the rectangle a file
// was written with is the rectangle read back.
TEST(IniFile, WideScreensRoundTrip)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("QuorlOffice.Ini"));
    const int screenH = 4320 * 15, screenW = 7680 * 15;
    const LiveWindowRect window{150, 2560 * 15, 4300 * 15, 7680 * 15};
    ASSERT_TRUE(IniFile::save(path, IniSettings{}, window));
    EXPECT_EQ(TextFile::readLines(path)->mid(0, 4), numbers({"150", "38400", "64500", "115200"}));
    IniSettings back;
    IniFile::read(path, back, screenH, screenW);
    EXPECT_EQ(back.windowTop, window.top);
    EXPECT_EQ(back.windowLeft, window.left);
    EXPECT_EQ(back.windowHeight, window.height);
    EXPECT_EQ(back.windowWidth, window.width);
}

// Every number is written as plain decimal digits, never in exponent form, and reads
// back as the number that was written.
TEST(IniFile, NumbersAreWrittenAsPlainDigits)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("QuorlOffice.Ini"));
    IniSettings s;
    s.tabWinTop = 1e-05;
    s.tabWinLeft = 1e+20;
    s.tabWinHeight = -0.000123;
    s.tabWinWidth = 123456789.125;
    s.editWinTop = 0.1;
    s.editWinLeft = 1.0 / 3.0;
    s.editWinHeight = -7e-300;
    s.editWinWidth = 6345;
    ASSERT_TRUE(IniFile::save(path, s, LiveWindowRect{0, 0, 5000, 6000}));
    const auto lines = TextFile::readLines(path);
    for (const QString &line : *lines)
        EXPECT_FALSE(line.contains(u'e') || line.contains(u'E')) << str(line);
    EXPECT_EQ(lines->at(4), QStringLiteral("0.00001"));
    EXPECT_EQ(lines->at(5), QStringLiteral("100000000000000000000"));
    IniSettings back;
    IniFile::read(path, back, kScreenH, kScreenW);
    EXPECT_EQ(back.tabWinTop, s.tabWinTop);
    EXPECT_EQ(back.tabWinLeft, s.tabWinLeft);
    EXPECT_EQ(back.tabWinHeight, s.tabWinHeight);
    EXPECT_EQ(back.tabWinWidth, s.tabWinWidth);
    EXPECT_EQ(back.editWinTop, s.editWinTop);
    EXPECT_EQ(back.editWinLeft, s.editWinLeft);
    EXPECT_EQ(back.editWinHeight, s.editWinHeight);
    EXPECT_EQ(back.editWinWidth, s.editWinWidth);
}

TEST(IniFile, WriterLimitsAndRoundTrip)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("QuorlOffice.Ini"));
    IniSettings s;
    s.tabWinTop = 1200;
    s.editWinWidth = 6345.5;
    s.startState = 2;
    ASSERT_TRUE(IniFile::save(path, s, LiveWindowRect{-150, -30, 500, 1999}));
    const auto lines = TextFile::readLines(path);
    ASSERT_EQ(lines->size(), 13);
    EXPECT_EQ(lines->mid(0, 4), numbers({"0", "0", "1000", "2000"}));
    EXPECT_EQ(lines->at(4), QStringLiteral("1200"));
    EXPECT_EQ(lines->at(11), QStringLiteral("6345.5"));
    EXPECT_EQ(lines->at(12), QStringLiteral("2"));

    IniSettings back;
    IniFile::read(path, back, kScreenH, kScreenW);
    // A height written as 1000 comes back as the screen height.
    EXPECT_EQ(back.windowHeight, kScreenH);
    EXPECT_EQ(back.windowWidth, kScreenW);
    EXPECT_EQ(back.tabWinTop, 1200);
    EXPECT_EQ(back.editWinWidth, 6345.5);
    EXPECT_EQ(back.startState, 2);
}
