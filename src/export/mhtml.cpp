#include "mhtml.h"

#include <QHash>

namespace Mhtml {
namespace {

// Header lines up to the first empty line, folded lines joined; names in lower case.
// pos moves past the empty line.
QHash<QByteArray, QByteArray> headers(const QByteArray &data, qsizetype &pos)
{
    QHash<QByteArray, QByteArray> result;
    QByteArray last;
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        if ((line.startsWith(' ') || line.startsWith('\t')) && !last.isEmpty()) {
            // Values stay trimmed, whatever the continuation lines hold.
            QByteArray &value = result[last];
            const QByteArray more = line.trimmed();
            if (!more.isEmpty())
                value += value.isEmpty() ? more : ' ' + more;
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        last = line.left(colon).trimmed().toLower();
        result.insert(last, line.mid(colon + 1).trimmed());
    }
    return result;
}

// A parameter of a header value: boundary="..." or boundary=...
QByteArray parameter(const QByteArray &value, const QByteArray &name)
{
    const QList<QByteArray> items = value.split(';');
    for (const QByteArray &item : items) {
        const QByteArray trimmed = item.trimmed();
        const qsizetype eq = trimmed.indexOf('=');
        if (eq <= 0 || trimmed.left(eq).trimmed().toLower() != name)
            continue;
        QByteArray v = trimmed.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
            v = v.mid(1, v.size() - 2);
        return v;
    }
    return {};
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray quotedPrintable(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c != '=') {
            out.append(c);
            continue;
        }
        // A soft line break joins the lines; "=XX" is one byte.
        if (i + 1 < in.size() && in.at(i + 1) == '\n') {
            i += 1;
            continue;
        }
        if (i + 2 < in.size() && in.at(i + 1) == '\r' && in.at(i + 2) == '\n') {
            i += 2;
            continue;
        }
        const int high = i + 1 < in.size() ? hexValue(in.at(i + 1)) : -1;
        const int low = i + 2 < in.size() ? hexValue(in.at(i + 2)) : -1;
        if (high < 0 || low < 0) {
            out.append(c);
            continue;
        }
        out.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

} // namespace

QByteArray decode(const QByteArray &body, const QByteArray &transferEncoding)
{
    const QByteArray encoding = transferEncoding.trimmed().toLower();
    if (encoding == "base64")
        return QByteArray::fromBase64(body, QByteArray::Base64Encoding);
    if (encoding == "quoted-printable")
        return quotedPrintable(body);
    return body;
}

QList<Part> parse(const QByteArray &archive)
{
    qsizetype pos = 0;
    const QHash<QByteArray, QByteArray> top = headers(archive, pos);
    const QByteArray type = top.value("content-type");
    if (!type.trimmed().toLower().startsWith("multipart/"))
        return {};
    const QByteArray boundary = parameter(type, "boundary");
    if (boundary.isEmpty())
        return {};
    const QByteArray delimiter = "--" + boundary;

    QList<Part> parts;
    qsizetype at = archive.indexOf(delimiter, pos);
    while (at >= 0) {
        qsizetype start = at + delimiter.size();
        if (archive.mid(start, 2) == "--")
            break; // the closing delimiter
        const qsizetype lineEnd = archive.indexOf('\n', start);
        if (lineEnd < 0)
            break;
        start = lineEnd + 1;
        // The next delimiter must begin a line.
        qsizetype next = archive.indexOf(delimiter, start);
        while (next > 0 && archive.at(next - 1) != '\n')
            next = archive.indexOf(delimiter, next + delimiter.size());
        const qsizetype end = next < 0 ? archive.size() : next;
        const QByteArray partData = archive.mid(start, end - start);
        qsizetype partPos = 0;
        const QHash<QByteArray, QByteArray> h = headers(partData, partPos);
        at = next;
        if (h.isEmpty())
            continue; // a part without headers is damaged, or cut short
        QByteArray body = partData.mid(partPos);
        // The line break before a delimiter belongs to the delimiter.
        if (body.endsWith("\r\n"))
            body.chop(2);
        else if (body.endsWith('\n'))
            body.chop(1);
        Part part;
        part.start = start;
        part.size = end - start;
        part.location = QString::fromUtf8(h.value("content-location"));
        QByteArray id = h.value("content-id");
        if (id.startsWith('<') && id.endsWith('>'))
            id = id.mid(1, id.size() - 2);
        part.contentId = QString::fromUtf8(id);
        part.type = h.value("content-type").split(';').first().trimmed().toLower();
        part.body = decode(body, h.value("content-transfer-encoding"));
        parts.append(part);
    }
    return parts;
}

QByteArray withPage(const QByteArray &archive, const QList<Part> &parts, qsizetype first)
{
    if (first < 0 || first >= parts.size())
        return {};
    // The engine's own delimiter, which it chose not to occur in any part.
    qsizetype pos = 0;
    const QByteArray boundary = parameter(headers(archive, pos).value("content-type"), "boundary");
    if (boundary.isEmpty())
        return {};
    QByteArray out = "MIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\""
                     + boundary + "\"\r\n\r\n";
    auto add = [&](const Part &part) {
        out += "\r\n--" + boundary + "\r\n";
        QByteArray raw = archive.mid(part.start, part.size);
        // The line break before the old delimiter belongs to it.
        if (raw.endsWith("\r\n"))
            raw.chop(2);
        else if (raw.endsWith('\n'))
            raw.chop(1);
        out += raw;
    };
    add(parts.at(first));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i != first)
            add(parts.at(i));
    }
    out += "\r\n--" + boundary + "--\r\n";
    return out;
}

} // namespace Mhtml
