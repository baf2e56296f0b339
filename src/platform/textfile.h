#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The one layer through which every data file of the program is read and written.
//
// Files written by earlier versions are 8-bit Windows-1252 text with CR LF line ends;
// files we write keep that form whenever every character fits, so those older readers
// and editors still understand them, and fall back to UTF-8 so that nothing a user
// typed is lost. Every write goes to a file beside the target first and is renamed
// over it, so a crash or a full disk never leaves half a settings file behind.
namespace TextFile {

// Bytes to text: UTF-8 when the whole buffer is valid UTF-8, else Windows-1252.
QString decode(const QByteArray &bytes);
// Text to bytes: Windows-1252 when every character fits, else UTF-8.
QByteArray encode(const QString &text);

// Splits on CR LF, LF or a lone CR; a last line without an ending is kept,
// a final line ending does not produce an empty last line.
QStringList splitLines(const QString &text);

// Reads the whole file as lines. nullopt when the file cannot be opened.
std::optional<QStringList> readLines(const QString &path);
std::optional<QString> readText(const QString &path);

// Writes the lines, each ended by CR LF, replacing the file atomically. False (with the
// reason in error) when anything failed; the old file is then left whole and no
// temporary file remains.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);
// Writes raw bytes, replacing the file atomically, with the same guarantees.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The program folder for the data (empty: none). Every file the write path makes or
// replaces below it is the user's alone (0600), whatever the umask; a file written
// elsewhere, such as a document the user saves, gets the permissions a new file usually
// gets, or keeps those of the file it replaces.
void setPrivateFolder(const QString &folder);

// A number as plain decimal digits (never an exponent), the shortest text that reads
// back as the same number.
QString decimal(double value);

// The leading decimal number of a text, blanks before it ignored, an optional sign
// and, for fractional numbers, a decimal point; reading stops at the first character
// that cannot continue the number. nullopt when the text holds no number; a number too
// large for a double is an infinity.
std::optional<double> leadingNumber(QStringView text);
// The same, 0 when there is no number.
double leadingNumberOr0(QStringView text);

// Whole-number view of a leading number, rounded half to even as earlier versions of
// the program on Windows read these files, so a value reads as it always has; nullopt
// when there is no number or it does not fit 16 bits.
std::optional<int16_t> toInt16(QStringView text);
// Clamps any integer into the 16-bit range, for values we compute ourselves.
int16_t clampInt16(long long value);
// A number read from a file, rounded and held within [low, high] before it sizes or
// places anything (NaN gives low).
int boundedInt(double value, int low, int high);

} // namespace TextFile
