#include "settings/language.h"
#include "../support/tempfolder.h"

namespace {
const auto lines = linesOf;
} // namespace

TEST(LanguageFile, EntriesCountOnlyQuotedLines)
{
    LangTable t;
    LangSettings s;
    std::optional<int> tabs;
    LanguageFile::parse(lines({"[Heading]", "\"Exit\"", "START_PAGE=http://start.example/", "   \"Back\"   ",
                               "\"no closing quote", "\"", "\"\"", "plain text is ignored", "", "\"six\""}),
                        t, s, &tabs);
    EXPECT_EQ(t.entry(1), QStringLiteral("Exit"));
    EXPECT_EQ(t.entry(2), QStringLiteral("Back"));
    EXPECT_EQ(t.entry(3), QStringLiteral("no closing quot")); // the last character goes, whatever it is
    EXPECT_EQ(t.entry(4), QString());
    EXPECT_EQ(t.entry(5), QString());
    EXPECT_EQ(t.entry(6), QStringLiteral("six"));
    EXPECT_EQ(t.lastFilled(), 6);
    EXPECT_EQ(s.startPage, QStringLiteral("http://start.example/"));
    EXPECT_FALSE(tabs.has_value());
    EXPECT_EQ(t.entry(0), QString());
    EXPECT_EQ(t.entry(LangTable::kSize + 1), QString());
}

TEST(LanguageFile, SettingsKeysAndValues)
{
    LangTable t;
    LangSettings s;
    s.searchURL = QStringLiteral("http://previous.example/");
    s.tabWidth = 5;
    std::optional<int> tabs;
    LanguageFile::parse(lines({"LANG= Italiano", "TAB_WIDTH =80", "tab_number=4", "MAP_URL=http://m.example/?a=b",
                               "SOCIAL_DESCR=", "HELP_PAGE=x", "F7=y", "PROGRAM_MAIL=/usr/bin/mail",
                               "TRANSLATOR_PATH=http://t.example/"}),
                        t, s, &tabs);
    EXPECT_EQ(s.langCode, QStringLiteral("Ita"));
    EXPECT_EQ(s.tabWidth, 5); // the blank before "=" makes the key unknown
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(s.mapURL, QStringLiteral("http://m.example/?a=b"));
    EXPECT_EQ(s.socialDescr, QString());
    EXPECT_EQ(s.programMail, QStringLiteral("/usr/bin/mail"));
    EXPECT_EQ(s.translatorPath, QStringLiteral("http://t.example/"));
    // A key the file does not name keeps the previous language's value.
    EXPECT_EQ(s.searchURL, QStringLiteral("http://previous.example/"));

    LanguageFile::parse(lines({"tab_width=80"}), t, s, nullptr);
    EXPECT_EQ(s.tabWidth, 80);
}

// A tab count as a file may hold it: far beyond any int, negative, or no number.
TEST(LanguageFile, TabNumbersOfAnySizeAreHeldInRange)
{
    LangTable t;
    LangSettings s;
    for (const char *value : {"1e46", "10000000000000000000000000000000000000000000000", "-99999999999999999999",
                              "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
                              "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
                              "99999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
                              "9999999999999999999999999999999999999999999999999999999999999999999999999999"}) {
        std::optional<int> tabs;
        LanguageFile::parse(QStringList{QStringLiteral("TAB_NUMBER=") + QString::fromLatin1(value)}, t, s, &tabs);
        ASSERT_TRUE(tabs.has_value());
        EXPECT_GE(*tabs, -1) << value;
        EXPECT_LE(*tabs, 1 << 16) << value;
    }
}

TEST(LanguageFile, EveryLoadClearsTheTable)
{
    LangTable t;
    LangSettings s;
    QStringList full;
    for (int i = 1; i <= 410; ++i)
        full.append(QStringLiteral("\"text %1\"").arg(i));
    LanguageFile::parse(full, t, s, nullptr);
    EXPECT_EQ(t.entry(400), QStringLiteral("text 400")); // lines past the table's 400 are dropped
    EXPECT_EQ(t.lastFilled(), 400);
    LanguageFile::parse(full.mid(0, 10), t, s, nullptr);
    EXPECT_EQ(t.entry(10), QStringLiteral("text 10"));
    EXPECT_EQ(t.entry(11), QString());
    EXPECT_EQ(t.lastFilled(), 10);
}

TEST(LanguageFile, FileIsFoundWithoutRegardToCase)
{
    TempFolder dir;
    dir.write(QStringLiteral("Languages/Lang_Italiano.txt"), "\"Esci\"\r\n");
    const QString path = LanguageFile::pathFor(dir.path(), QStringLiteral("italiano"));
    LangTable t;
    LangSettings s;
    ASSERT_TRUE(LanguageFile::read(path, t, s, nullptr));
    EXPECT_EQ(t.entry(1), QStringLiteral("Esci"));
    t.setEntry(1, QStringLiteral("x"));
    EXPECT_FALSE(LanguageFile::read(LanguageFile::pathFor(dir.path(), QStringLiteral("klingon")), t, s, nullptr));
    EXPECT_EQ(t.lastFilled(), 0);
}

// The language files the program ships: the numbering is the contract with every
// caption and message, so both must hold every entry with the used ones filled.
class DeliveredLanguage : public ::testing::TestWithParam<const char *>
{
};

TEST_P(DeliveredLanguage, HoldsAllEntriesAndSettings)
{
    const QString path = QStringLiteral(QUORL_DATA_DIR "/") + QString::fromLatin1(GetParam());
    const auto text = TextFile::readLines(path);
    ASSERT_TRUE(text.has_value());
    int quoted = 0;
    for (const QString &l : *text)
        quoted += l.trimmed().startsWith(u'"') ? 1 : 0;
    EXPECT_EQ(quoted, LangTable::kSize);

    LangTable t;
    LangSettings s;
    std::optional<int> tabs;
    LanguageFile::parse(*text, t, s, &tabs);
    const int used[] = {1,   2,   3,   18,  23,  32,  33,  34,  35,  38,  41,  42,  43,  60,  63,  64,  65,  66,
                        67,  68,  69,  73,  75,  76,  77,  78,  81,  82,  83,  84,  94,  95,  97,  101, 108, 120,
                        123, 124, 125, 126, 128, 129, 130, 131, 132, 134, 135, 136, 138, 145, 146, 147, 148, 149,
                        150, 157, 158, 159, 160, 161, 162, 166, 169, 170, 171, 172, 173, 174, 175, 176, 177, 179,
                        180, 185, 189, 192, 194, 196, 197, 198, 199, 200, 202, 204, 205, 206, 207, 208, 209, 210,
                        211, 212, 213, 214, 215, 216, 217, 218, 219};
    for (int n : used)
        EXPECT_FALSE(t.entry(n).isEmpty()) << "entry " << n << " of " << GetParam();
    EXPECT_TRUE(t.entry(4).isEmpty());
    EXPECT_EQ(s.startPage, QStringLiteral("quorl:start"));
    EXPECT_FALSE(s.searchURL.isEmpty());
    EXPECT_FALSE(s.searchDescr.isEmpty());
    EXPECT_FALSE(s.dictionaryDescr.isEmpty());
    EXPECT_EQ(s.langCode.size(), 3);
    EXPECT_GT(s.tabWidth, 0);
    ASSERT_TRUE(tabs.has_value());
    EXPECT_GT(*tabs, 1);
}

INSTANTIATE_TEST_SUITE_P(Files, DeliveredLanguage, ::testing::Values("Lang_English.txt", "Lang_Italiano.txt"));

TEST(DeliveredLanguageTexts, ItalianIsATranslation)
{
    LangTable en, it;
    LangSettings s;
    LanguageFile::read(QStringLiteral(QUORL_DATA_DIR "/Lang_English.txt"), en, s, nullptr);
    LanguageFile::read(QStringLiteral(QUORL_DATA_DIR "/Lang_Italiano.txt"), it, s, nullptr);
    int differing = 0, filled = 0;
    for (int n = 1; n <= LangTable::kSize; ++n) {
        EXPECT_EQ(en.entry(n).isEmpty(), it.entry(n).isEmpty()) << "entry " << n;
        if (!en.entry(n).isEmpty()) {
            ++filled;
            differing += en.entry(n) != it.entry(n) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, filled * 8 / 10);
    EXPECT_EQ(it.entry(177), QStringLiteral("Proprietà della pagina")); // read as Windows-1252
}
