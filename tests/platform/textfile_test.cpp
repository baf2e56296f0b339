#include "platform/textfile.h"
#include "../support/tempfolder.h"

#include <QFile>
#include <QRandomGenerator>

using namespace TextFile;

TEST(TextFile, DecodesUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(decode(QByteArray("caf\xc3\xa9")), QStringLiteral("café"));
    // The same word as earlier versions of the program wrote it on Windows.
    EXPECT_EQ(decode(QByteArray("caf\xe9")), QStringLiteral("café"));
    EXPECT_EQ(decode(QByteArray("\x80 \x93q\x94")), QStringLiteral("€ “q”"));
    // Bytes Windows-1252 leaves undefined still give a character, never a loss.
    EXPECT_EQ(decode(QByteArray("\x81")).size(), 1);
}

TEST(TextFile, EncodesWindows1252WhenEveryCharacterFitsElseUtf8)
{
    EXPECT_EQ(encode(QStringLiteral("Proprietà €")), QByteArray("Propriet\xe0 \x80"));
    EXPECT_EQ(encode(QStringLiteral("日本")), QStringLiteral("日本").toUtf8());
    for (const QString &s : {QStringLiteral("plain"), QStringLiteral("Über “quotes” – ok"),
                             QStringLiteral("mixed € and 日本")})
        EXPECT_EQ(decode(encode(s)), s) << str(s);
}

TEST(TextFile, SplitsEveryKindOfLineEnd)
{
    EXPECT_EQ(splitLines(QStringLiteral("a\r\nb\nc\rd")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n")), QStringList{QStringLiteral("a")});
    EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\nb")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(splitLines(QString()).isEmpty());
}

TEST(TextFile, WritesCrLfAndReadsBack)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("f.txt"));
    ASSERT_TRUE(writeLines(path, {QStringLiteral("één"), QString(), QStringLiteral("z")}));
    EXPECT_EQ(dir.read(QStringLiteral("f.txt")), QByteArray("\xe9\xe9n\r\n\r\nz\r\n"));
    EXPECT_EQ(*readLines(path), (QStringList{QStringLiteral("één"), QString(), QStringLiteral("z")}));
    EXPECT_FALSE(readLines(dir.file(QStringLiteral("missing.txt"))).has_value());
}

TEST(TextFile, FailedWriteLeavesWhatWasThere)
{
    TempFolder dir;
    // Nothing can be renamed over a folder that holds a file, even as root.
    dir.write(QStringLiteral("target.txt/inside.txt"), "old");
    QString error;
    EXPECT_FALSE(writeLines(dir.file(QStringLiteral("target.txt")), {QStringLiteral("new")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.read(QStringLiteral("target.txt/inside.txt")), QByteArray("old"));
    // and no half-written file is left beside it
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(TextFile, WriteIntoMissingFolderFailsWithoutCreatingIt)
{
    TempFolder dir;
    EXPECT_FALSE(writeLines(dir.file(QStringLiteral("nope/f.txt")), {QStringLiteral("x")}));
    EXPECT_FALSE(dir.exists(QStringLiteral("nope")));
}

struct NumberCase
{
    const char *text;
    std::optional<double> value;
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class LeadingNumber : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(LeadingNumber, ReadsTheLeadingNumber)
{
    const auto &c = GetParam();
    EXPECT_EQ(leadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumber,
                         ::testing::Values(NumberCase{"12", 12}, NumberCase{"   7", 7}, NumberCase{"\t3x", 3},
                                           NumberCase{"-40", -40}, NumberCase{"+5", 5},
                                           NumberCase{"12.5cm", 12.5}, NumberCase{".5", 0.5},
                                           NumberCase{"abc", std::nullopt}, NumberCase{"", std::nullopt},
                                           NumberCase{"-", std::nullopt}, NumberCase{"1 2", 1},
                                           NumberCase{"007", 7}));

TEST(TextFile, SixteenBitFieldsRefuseWhatDoesNotFit)
{
    EXPECT_EQ(toInt16(u"32767"), int16_t(32767));
    EXPECT_EQ(toInt16(u"-32768"), int16_t(-32768));
    EXPECT_FALSE(toInt16(u"32768").has_value());
    EXPECT_FALSE(toInt16(u"99999999999999999999").has_value());
    EXPECT_FALSE(toInt16(u"none").has_value());
    EXPECT_EQ(toInt16(u"2.5"), int16_t(2)); // half to even
    EXPECT_EQ(toInt16(u"3.5"), int16_t(4));
    EXPECT_EQ(clampInt16(40000), int16_t(32767));
    EXPECT_EQ(clampInt16(-40000), int16_t(-32768));
}

TEST(TextFile, RandomBytesNeverBreakTheReader)
{
    TempFolder dir;
    auto *rng = QRandomGenerator::global();
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(static_cast<int>(rng->bounded(400)), Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(rng->bounded(256));
        dir.write(QStringLiteral("r.txt"), bytes);
        const auto lines = readLines(dir.file(QStringLiteral("r.txt")));
        ASSERT_TRUE(lines.has_value());
        for (const QString &l : *lines) {
            EXPECT_FALSE(l.contains(u'\n'));
            (void)leadingNumber(l);
        }
    }
}
