#pragma once

#include <QString>

#include <cstdint>

// The user's choices kept between runs in Data/QuorlOffice.Opt: six lines, the bar
// style, a reserved number, the floating mode, a reserved number, the home page and
// the language name.
struct Options
{
    int16_t barStyle = 0;
    int16_t reserved2 = 0; // no meaning; written back as read
    int16_t floatBars = 0;
    int16_t reserved4 = 0; // no meaning; written back as read
    QString homePage;
    QString langName;
};

namespace OptionsFile {

enum class ReadResult { Read, CreatedDefault, CannotCreate };

// Reads the options file. When the file cannot be opened it is created with the five
// default lines ("1", "0", "0", "0", defaultHomePage) and read back. A short file
// repeats the last number read for the missing numeric lines and keeps the text values
// as they were.
ReadResult read(const QString &path, Options &options, const QString &defaultHomePage,
                QString *error = nullptr);

// Writes all six lines, replacing the file atomically.
bool save(const QString &path, const Options &options, QString *error = nullptr);

// The lines parsed into the options, for a file that could be opened.
void parse(const QStringList &lines, Options &options);

} // namespace OptionsFile
