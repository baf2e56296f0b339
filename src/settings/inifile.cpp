#include "inifile.h"

#include "platform/textfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace IniFile {
namespace {

QString number(double value)
{
    return TextFile::decimal(value);
}

int32_t clampInt32(long long value)
{
    return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

} // namespace

void parse(const QStringList &lines, IniSettings &s, int32_t screenHeight, int32_t screenWidth)
{
    // One text buffer for all thirteen reads: a line past the end of a short file
    // leaves the last line read in effect, so the later values repeat its number.
    QString buffer;
    auto next = [&](int index) -> const QString & {
        if (index < lines.size())
            buffer = lines.at(index);
        return buffer;
    };
    // A number that does not fit its field leaves the field as it was.
    auto readInt16 = [](const QString &text, int16_t &field) {
        if (!TextFile::leadingNumber(text))
            field = 0;
        else if (const auto value = TextFile::toInt16(text))
            field = *value;
    };
    auto readInt32 = [](const QString &text, int32_t &field) {
        const auto value = TextFile::leadingNumber(text);
        if (!value)
            field = 0;
        else if (const double rounded = std::nearbyint(*value);
                 rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max())
            field = static_cast<int32_t>(rounded);
    };

    readInt32(next(0).trimmed(), s.windowTop);
    if (s.windowTop < 0)
        s.windowTop = 0;
    readInt32(next(1).trimmed(), s.windowLeft);
    if (s.windowLeft < 0)
        s.windowLeft = 0;
    readInt32(next(2).trimmed(), s.windowHeight);
    if (s.windowHeight < 2000)
        s.windowHeight = screenHeight;
    readInt32(next(3).trimmed(), s.windowWidth);
    if (s.windowWidth < 3000)
        s.windowWidth = screenWidth;

    double *doubles[] = {&s.tabWinTop,  &s.tabWinLeft,  &s.tabWinHeight,  &s.tabWinWidth,
                         &s.editWinTop, &s.editWinLeft, &s.editWinHeight, &s.editWinWidth};
    for (int i = 0; i < 8; ++i)
        *doubles[i] = TextFile::leadingNumberOr0(next(4 + i));
    readInt16(next(12), s.startState);
}

void read(const QString &path, IniSettings &settings, int32_t screenHeight, int32_t screenWidth)
{
    const auto lines = TextFile::readLines(path);
    if (!lines) {
        settings.windowTop = 0;
        settings.windowLeft = 0;
        settings.windowHeight = screenHeight;
        settings.windowWidth = screenWidth;
        return;
    }
    parse(*lines, settings, screenHeight, screenWidth);
}

bool save(const QString &path, const IniSettings &s, const LiveWindowRect &w, QString *error)
{
    const QStringList lines = {
        QString::number(clampInt32(w.top >= 0 ? w.top : 0)),
        QString::number(clampInt32(w.left >= 0 ? w.left : 0)),
        QString::number(clampInt32(w.height > 1000 ? w.height : 1000)),
        QString::number(clampInt32(w.width > 2000 ? w.width : 2000)),
        number(s.tabWinTop),  number(s.tabWinLeft),  number(s.tabWinHeight),  number(s.tabWinWidth),
        number(s.editWinTop), number(s.editWinLeft), number(s.editWinHeight), number(s.editWinWidth),
        QString::number(s.startState),
    };
    return TextFile::writeLines(path, lines, error);
}

} // namespace IniFile
