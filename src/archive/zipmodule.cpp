#include "zipmodule.h"

#include "archive/czip.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <vector>

namespace mZip {
namespace {

bool inRange(unsigned long length)
{
    return length >= 2 && length <= static_cast<unsigned long>(ZipLibrary::kMaxTextLength);
}

// The longest start of the text that fits max bytes without splitting a character.
QByteArray fitted(const QString &text, int max)
{
    QByteArray bytes = text.toLocal8Bit();
    if (bytes.size() <= max)
        return bytes;
    qsizetype end = max;
    while (end > 0 && (static_cast<unsigned char>(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    return bytes.left(end);
}

} // namespace

State &state()
{
    static State s;
    return s;
}

int32_t runZip(cZip &owner, ZipLibrary::Options &options, const QString &zipFile, const QString &basePath,
               const QStringList &patterns)
{
    State &s = state();
    s.cancelled = false;
    s.confirm = false;
    s.owner = &owner;

    // The base folder goes to the library, which resolves relative patterns
    // against it: changing the process's current folder would pull it from under every
    // other part of the program.
    const ZipLibrary::UserFunctions functions{&zipPrint, &zipComment, &zipPassword, &zipService};
    ZipLibrary::init(&functions);
    ZipLibrary::Options copy = options;
    const QByteArray base = QFile::encodeName(basePath.trimmed());
    ZipLibrary::setOptions(&copy, base.constData());
    options = copy;

    // The names: one slot per pattern, then the empty end mark; at least the
    // 1024 slots the library always had, more when the list is longer.
    std::vector<QByteArray> texts;
    texts.reserve(static_cast<size_t>(patterns.size()));
    for (const QString &pattern : patterns)
        texts.push_back(QFile::encodeName(pattern));
    std::vector<const char *> names(std::max<size_t>(1024, texts.size() + 1), nullptr);
    for (size_t i = 0; i < texts.size(); ++i)
        names[i] = texts[i].constData();
    names[texts.size()] = "";
    const QByteArray path = QFile::encodeName(zipFile);
    const int32_t result = ZipLibrary::archive(static_cast<int>(texts.size()), path.constData(), names.data());
    s.owner = nullptr;
    return result;
}

int zipPrint(const char *text, unsigned long length)
{
    try {
        cZip *owner = state().owner;
        if (!owner || !text || !inRange(length))
            return 0;
        QString message = QString::fromLocal8Bit(text, static_cast<qsizetype>(length));
        // Entry names always use "/"; the user reads the platform's own separator.
        message.replace(u'/', QDir::separator());
        emit owner->progress(1, message);
    } catch (...) {
    }
    return 0;
}

int zipService(const char *text, unsigned long length)
{
    try {
        State &s = state();
        if (s.cancelled)
            return 1;
        if (!s.owner || !text || !inRange(length))
            return 0;
        QByteArray bytes(text, static_cast<qsizetype>(length));
        if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0)
            bytes.truncate(zero);
        bool cancel = false;
        emit s.owner->cancel(QString::fromLocal8Bit(bytes), cancel);
        if (cancel) {
            s.cancelled = true;
            return 1;
        }
    } catch (...) {
    }
    return 0;
}

int zipComment(char *buffer)
{
    State &s = state();
    if (s.cancelled)
        return 1;
    try {
        QString comment;
        bool cancel = false;
        if (s.owner)
            emit s.owner->commentRequest(comment, cancel);
        comment = comment.trimmed();
        if (comment.isEmpty() || cancel) {
            s.cancelled = true;
            return 1;
        }
        const QByteArray bytes = fitted(comment, ZipLibrary::kCommentBufferSize - 1);
        std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
        buffer[bytes.size()] = '\0';
        return 0;
    } catch (...) {
        s.cancelled = true;
        return 1;
    }
}

int zipPassword(char *buffer, int size, const char *, const char *)
{
    State &s = state();
    if (s.cancelled)
        return 1;
    try {
        QString password;
        bool cancel = false;
        if (s.owner)
            emit s.owner->passwordRequest(password, size, s.confirm, cancel);
        password = password.trimmed();
        if (password.isEmpty() || cancel || size <= 0) {
            s.cancelled = true;
            return 1;
        }
        const QByteArray bytes = password.toLocal8Bit().left(size);
        std::memset(buffer, 0, static_cast<size_t>(size));
        std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
        s.confirm = true;
        return 0;
    } catch (...) {
        s.cancelled = true;
        return 1;
    }
}

} // namespace mZip
