#include "cleanpage.h"

#include "export/mhtml.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// The form the office application surely reads: PNG, JPEG and GIF pass as they are,
// anything else the engine showed (WebP, SVG, BMP...) is drawn into a PNG.
std::optional<CleanPage::Picture> usable(const QByteArray &type, const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    if (type == "image/png" || type == "image/jpeg" || type == "image/gif")
        return CleanPage::Picture{type, data};
    const QImage image = QImage::fromData(data);
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return CleanPage::Picture{QByteArrayLiteral("image/png"), png};
}

// The same address however it was spelled (escapes, default port).
QString normalised(const QString &address)
{
    return QUrl(address).adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
}

} // namespace

CleanPage CleanPage::fromScript(const QVariant &value)
{
    const QVariantMap map = value.toMap();
    CleanPage page;
    page.html = map.value(QStringLiteral("html")).toString();
    page.text = map.value(QStringLiteral("text")).toString();
    page.pictures = map.value(QStringLiteral("pictures")).toStringList();
    page.title = map.value(QStringLiteral("title")).toString();
    page.url = map.value(QStringLiteral("url")).toString();
    page.lang = map.value(QStringLiteral("lang")).toString();
    if (map.value(QStringLiteral("dir")).toString() == QLatin1String("rtl"))
        page.dir = QStringLiteral("rtl");
    // Data addresses are already the picture's bytes.
    for (int i = 0; i < page.pictures.size(); ++i) {
        const QString &address = page.pictures.at(i);
        if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
            continue;
        const qsizetype comma = address.indexOf(u',');
        if (comma < 0)
            continue;
        const QString header = address.mid(5, comma - 5);
        const QByteArray payload = address.mid(comma + 1).toLatin1();
        const QByteArray bytes = header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
                                     ? QByteArray::fromBase64(payload)
                                     : QByteArray::fromPercentEncoding(payload);
        if (const auto picture = usable(header.section(u';', 0, 0).toLower().toLatin1(), bytes))
            page.loaded.insert(i, *picture);
    }
    return page;
}

CleanPage CleanPage::fromText(const QString &text, const QString &title, const QString &url)
{
    CleanPage page;
    page.title = title;
    page.url = url;
    page.text = text.trimmed();
    const QStringList paragraphs = page.text.split(u'\n');
    for (const QString &p : paragraphs) {
        if (!p.trimmed().isEmpty())
            page.html += QStringLiteral("<p>") + escaped(p.trimmed()) + QStringLiteral("</p>\n");
    }
    return page;
}

bool CleanPage::isEmpty() const
{
    return text.trimmed().isEmpty() && pictures.isEmpty();
}

void CleanPage::takePictures(const QByteArray &archive)
{
    QHash<QString, QList<int>> wanted;
    for (int i = 0; i < pictures.size(); ++i) {
        if (!loaded.contains(i))
            wanted[normalised(pictures.at(i))].append(i);
    }
    if (wanted.isEmpty())
        return;
    const QList<Mhtml::Part> parts = Mhtml::parse(archive);
    for (const Mhtml::Part &part : parts) {
        if (!part.type.startsWith("image/"))
            continue;
        const auto found = wanted.constFind(normalised(part.location));
        if (found == wanted.cend())
            continue;
        if (const auto picture = usable(part.type, part.body)) {
            for (int i : *found)
                loaded.insert(i, *picture);
        }
    }
}

QByteArray CleanPage::document(bool withPictures, const QDateTime &exported) const
{
    static const QRegularExpression reference(QStringLiteral("<img src=\"quorl-picture:(\\d+)\"([^>]*)>"));
    QString body;
    body.reserve(html.size() + 1024);
    qsizetype last = 0;
    auto it = reference.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        body += QStringView(html).mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const int n = m.captured(1).toInt();
        const auto picture = loaded.constFind(n);
        if (!withPictures || picture == loaded.cend())
            continue;
        body += QStringLiteral("<img src=\"data:") + QString::fromLatin1(picture->type) + QStringLiteral(";base64,")
                + QString::fromLatin1(picture->data.toBase64()) + u'"' + m.captured(2) + u'>';
    }
    body += QStringView(html).mid(last);

    const QString langAttr = lang.isEmpty() ? QString() : QStringLiteral(" lang=\"") + escaped(lang) + u'"';
    const QString dirAttr = QStringLiteral(" dir=\"") + dir + u'"';
    QString doc = QStringLiteral("<!DOCTYPE html>\n<html") + langAttr + dirAttr
                  + QStringLiteral("><head><meta charset=\"utf-8\">\n<title>") + escaped(title)
                  + QStringLiteral("</title>\n<meta name=\"description\" content=\"") + escaped(url)
                  + QStringLiteral("\">\n<meta name=\"created\" content=\"")
                  + exported.toString(Qt::ISODate) + QStringLiteral("\">\n</head>\n<body") + langAttr + dirAttr
                  + QStringLiteral(">\n") + body + QStringLiteral("</body></html>\n");
    return doc.toUtf8();
}
