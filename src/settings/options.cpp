#include "options.h"

#include "platform/textfile.h"

namespace OptionsFile {

void parse(const QStringList &lines, Options &options)
{
    // The four numbers share one read buffer: a missing line leaves the number of the
    // last line read in it, so a short file repeats that number.
    int16_t buffer = 0;
    int16_t *numbers[] = {&options.barStyle, &options.reserved2, &options.floatBars, &options.reserved4};
    for (int i = 0; i < 4; ++i) {
        if (i < lines.size()) {
            const auto value = TextFile::toInt16(lines.at(i));
            if (value)
                buffer = *value;
            else if (!TextFile::leadingNumber(lines.at(i)))
                buffer = 0;
        }
        *numbers[i] = buffer;
    }
    if (lines.size() > 4)
        options.homePage = lines.at(4);
    if (lines.size() > 5)
        options.langName = lines.at(5);
}

ReadResult read(const QString &path, Options &options, const QString &defaultHomePage, QString *error)
{
    options.langName = QStringLiteral("English");
    auto lines = TextFile::readLines(path);
    ReadResult result = ReadResult::Read;
    if (!lines) {
        const QStringList defaults = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"),
                                      QStringLiteral("0"), defaultHomePage};
        if (!TextFile::writeLines(path, defaults, error))
            return ReadResult::CannotCreate;
        options.langName = QStringLiteral("English");
        lines = TextFile::readLines(path);
        if (!lines)
            return ReadResult::CannotCreate;
        result = ReadResult::CreatedDefault;
    }
    parse(*lines, options);
    return result;
}

bool save(const QString &path, const Options &options, QString *error)
{
    const QStringList lines = {
        QString::number(options.barStyle), QString::number(options.reserved2),
        QString::number(options.floatBars), QString::number(options.reserved4),
        options.homePage, options.langName,
    };
    return TextFile::writeLines(path, lines, error);
}

} // namespace OptionsFile
