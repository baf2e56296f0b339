#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

WriteFunction g_write = ::write;
QString g_privateFolder;

bool isPrivate(const QString &path)
{
    return !g_privateFolder.isEmpty() && QDir::cleanPath(path).startsWith(g_privateFolder + u'/');
}

mode_t currentUmask()
{
    // The umask can only be read by setting it; it is put back at once.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
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

// The one place a file of the program reaches the disk. The bytes go into a new file
// beside the target, every write is checked (a full disk shows up here, not later),
// the data is synced, and only then is the new file renamed over the old one; on any
// failure the new file is removed and the old one is left as it was.
bool writeAtomically(const QString &target, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &what, int code) {
        if (error)
            *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(code));
        return false;
    };
    // A link the user made stays a link: its target is the file that is replaced.
    QString path = target;
    const QFileInfo info(target);
    if (info.isSymLink()) {
        const QString resolved = info.symLinkTarget();
        if (!resolved.isEmpty())
            path = resolved;
    }
    const QFileInfo resolvedInfo(path);
    if (resolvedInfo.isDir())
        return fail(path, EISDIR);
    const QByteArray native = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(resolvedInfo.absolutePath());
    // A new file keeps the permissions of the one it replaces.
    struct stat old = {};
    const bool hadFile = ::stat(native.constData(), &old) == 0;
    QByteArray temp = native + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(path, errno);
    auto abandon = [&](int code) {
        ::close(fd);
        ::unlink(temp.constData());
        return fail(path, code);
    };
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = g_write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        if (written == 0)
            return abandon(ENOSPC);
        data += written;
        left -= written;
    }
    mode_t mode = hadFile ? (old.st_mode & 07777) : (0666 & ~currentUmask());
    if (isPrivate(resolvedInfo.absoluteFilePath()))
        mode &= 07700;
    if (::fchmod(fd, mode) != 0 && hadFile)
        return abandon(errno);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temp.constData());
        return fail(path, code);
    }
    if (::rename(temp.constData(), native.constData()) != 0) {
        const int code = errno;
        ::unlink(temp.constData());
        return fail(path, code);
    }
    // The rename itself reaches the disk with the folder's entry.
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

WriteFunction setWriteFunction(WriteFunction write)
{
    const WriteFunction previous = g_write;
    g_write = write ? write : ::write;
    return previous;
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
