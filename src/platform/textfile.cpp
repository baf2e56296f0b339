#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile {
namespace {

QString g_privateFolder;

bool isPrivate(const QString &path)
{
    return !g_privateFolder.isEmpty() && QDir::cleanPath(path).startsWith(g_privateFolder + u'/');
}

// Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined,
// which we read as the C1 control of the same value (as Windows itself does).
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kCp1252High[byte - 0x80];
        return mapped ? mapped : char16_t(byte);
    }
    return char16_t(byte);
}

// The byte for a character, or -1 when Windows-1252 cannot hold it.
int unicodeToCp1252(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == ch && ch != 0)
            return 0x80 + i;
    }
    return -1;
}

// The file a write replaces: a link the user made stays a link, and the file it
// points to is the one replaced (followed as QSaveFile follows it).
QString fileBehind(const QString &target)
{
    QFileInfo info(target);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? target : info.filePath();
}

// The one place a file of the program reaches the disk. QSaveFile writes the bytes into
// a new file beside the target with the old file's permissions and renames it over the
// old one only when every write succeeded; on any failure the old file is left as it
// was. Here the data is also known to be on the disk before the rename (QSaveFile does
// not check its own sync), and the rename itself is made to last by syncing the folder.
bool writeAtomically(const QString &target, const QByteArray &bytes, QString *error)
{
    const QString path = fileBehind(target);
    auto fail = [&](const QString &reason) {
        if (error)
            *error = path + QStringLiteral(": ") + reason;
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QString::fromLocal8Bit(strerror(EISDIR)));
    QSaveFile file(path);
    // Unbuffered, so a full disk shows up at the write that meets it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    for (qsizetype done = 0; done < bytes.size();) {
        // A short write is carried on; the write after it says why it stopped.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return fail(written < 0 ? file.errorString() : QString::fromLocal8Bit(strerror(ENOSPC)));
        done += written;
    }
    // Below the program folder a file is the user's alone, whatever the umask and
    // whatever an earlier version left.
    struct stat made = {};
    if (isPrivate(QFileInfo(path).absoluteFilePath()) && ::fstat(file.handle(), &made) == 0
        && (made.st_mode & 077) != 0 && ::fchmod(file.handle(), made.st_mode & 07700) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    // A failure returns before commit(): the new file goes with the QSaveFile.
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(strerror(errno)));
    if (!file.commit())
        return fail(file.errorString());
    // The rename reaches the disk with the folder's entry.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

void setPrivateFolder(const QString &folder)
{
    g_privateFolder = folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QString result;
    result.reserve(bytes.size());
    for (const char c : bytes)
        result.append(QChar(cp1252ToUnicode(static_cast<unsigned char>(c))));
    return result;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool high = false;
    for (const QChar ch : text) {
        const int b = unicodeToCp1252(ch.unicode());
        if (b < 0)
            return text.toUtf8();
        high = high || b >= 0x80;
        bytes.append(static_cast<char>(b));
    }
    // Windows-1252 bytes that happen to form valid UTF-8 ("ášš") would be read back as
    // other characters; such a text is written as UTF-8, which reads back as written.
    if (high) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8.decode(bytes);
        if (!utf8.hasError())
            return text.toUtf8();
    }
    return bytes;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QString> readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

std::optional<QStringList> readLines(const QString &path)
{
    const auto text = readText(path);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return writeAtomically(path, encode(text), error);
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeAtomically(path, bytes, error);
}

std::optional<double> leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    // The number's own characters are gathered and converted in one go, so a number
    // the program wrote reads back exactly.
    std::string number;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            number += '-';
        ++i;
    }
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        number += static_cast<char>(text[i].unicode());
        digits = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        // "5." and ".5" are numbers; the converter wants a digit on both sides.
        number += digits ? "." : "0.";
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            number += static_cast<char>(text[i].unicode());
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return std::nullopt;
    if (number.back() == '.')
        number += '0';
    double value = 0;
    const auto [end, code] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (code == std::errc::result_out_of_range)
        return number.front() == '-' ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    if (code != std::errc())
        return std::nullopt;
    return value;
}

QString decimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // Plain digits, never an exponent, and the shortest text that reads back as the
    // same number.
    char buffer[400];
    const auto [end, code] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (code != std::errc())
        return QStringLiteral("0");
    QString text = QString::fromLatin1(buffer, end - buffer);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

double leadingNumberOr0(QStringView text)
{
    return leadingNumber(text).value_or(0.0);
}

std::optional<int16_t> toInt16(QStringView text)
{
    const auto number = leadingNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number); // the default rounding mode is half to even
    if (rounded < std::numeric_limits<int16_t>::min() || rounded > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

int boundedInt(double value, int low, int high)
{
    if (std::isnan(value) || value <= low)
        return low;
    if (value >= high)
        return high;
    return static_cast<int>(std::lround(value));
}

int16_t clampInt16(long long value)
{
    if (value < std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    if (value > std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(value);
}

} // namespace TextFile
