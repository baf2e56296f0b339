// What the language editor relies on without a window: how the reader takes each line
// (the editor numbers the line under the cursor with it) and which typed names can
// make a language file.
#include "langeditor/languageeditor.h"
#include "settings/language.h"
#include "../support/tempfolder.h"

using Kind = LanguageFile::LineKind;

TEST(LanguageLines, KindsAreTheReadersOwn)
{
    const struct
    {
        const char *line;
        Kind kind;
    } cases[] = {
        {"", Kind::Ignored},
        {"   ", Kind::Ignored},
        {"plain text", Kind::Ignored},
        {"[heading]", Kind::Heading},
        {"  [heading = \"with a quote\"]", Kind::Heading},
        {"\"entry\"", Kind::Entry},
        {"\t \"indented, no closing quote", Kind::Entry},
        {"\"a = b\"", Kind::Entry},
        {"KEY=value", Kind::Setting},
        {"  key =value", Kind::Setting},
        {"x\"=\"", Kind::Setting},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageFile::lineKind(QString::fromUtf8(c.line)), c.kind) << c.line;
    EXPECT_EQ(LanguageFile::settingKey(QStringLiteral("  tab_width =80")), QStringLiteral("TAB_WIDTH "));
    EXPECT_EQ(LanguageFile::settingKey(QStringLiteral("Map_URL=http://m.example/?a=b")), QStringLiteral("MAP_URL"));
}

// Counting the entry lines of the shipped files one by one gives, for each, the number
// under which the reader files its text.
TEST(LanguageLines, CountingEntryLinesMatchesTheReaderOnTheShippedFiles)
{
    for (const char *name : {"Lang_English.txt", "Lang_Italiano.txt"}) {
        const auto lines = TextFile::readLines(QStringLiteral(QUORL_DATA_DIR "/") + QString::fromLatin1(name));
        ASSERT_TRUE(lines.has_value());
        LangTable table;
        LangSettings settings;
        LanguageFile::parse(*lines, table, settings, nullptr);
        int entry = 0;
        for (const QString &line : *lines) {
            if (LanguageFile::lineKind(line) != Kind::Entry)
                continue;
            ++entry;
            const QString text = line.trimmed();
            EXPECT_EQ(table.entry(entry), text.mid(1, text.size() - 2)) << name << " entry " << entry;
        }
        EXPECT_EQ(entry, LangTable::kSize) << name;
    }
}

TEST(LanguageNames, WhatCanMakeALanguageFile)
{
    TempFolder folder;
    using P = LanguageEditor::NameProblem;
    const struct
    {
        QString name;
        P problem;
    } cases[] = {
        {QStringLiteral("Esperanto"), P::None},
        {QStringLiteral("  Old English  "), P::None},
        {QStringLiteral("Portugu\u00eas_BR"), P::None},
        {QStringLiteral("\u65e5\u672c\u8a9e"), P::None},
        {QString(), P::Empty},
        {QStringLiteral(" \t "), P::Empty},
        {QStringLiteral("a/b"), P::Separator},
        {QStringLiteral("a\\b"), P::Separator},
        {QStringLiteral(".hidden"), P::Dot},
        {QStringLiteral("Pt.BR"), P::Dot},
        {QStringLiteral("a\u0001b"), P::Control},
        {QStringLiteral("a\u007fb"), P::Control},
        {QStringLiteral("NEW"), P::Reserved},
        {QStringLiteral(" new "), P::Reserved},
        {QStringLiteral("Newish"), P::None},
        // "Lang_" and ".Txt" take 9 of the 255 bytes a name may have here.
        {QString(246, u'x'), P::None},
        {QString(247, u'x'), P::TooLong},
        // Counted in the bytes the file system stores: three for each of these.
        {QString(83, QChar(0x65e5)), P::TooLong},
        {QString(82, QChar(0x65e5)), P::None},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LanguageEditor::checkName(c.name, folder.path()), c.problem) << str(c.name);
}
