#include "cleanpage.h"

#include "export/mhtml.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <cmath>
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
    const QVariantList frames = map.value(QStringLiteral("foreignFrames")).toList();
    for (const QVariant &value : frames) {
        const QVariantMap f = value.toMap();
        page.frames.append({f.value(QStringLiteral("url")).toString(), f.value(QStringLiteral("index"), -1).toInt(),
                            QSize(f.value(QStringLiteral("width")).toInt(), f.value(QStringLiteral("height")).toInt())});
    }
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
    takePictures(Mhtml::parse(archive));
}

void CleanPage::takePictures(const QList<Mhtml::Part> &parts)
{
    QHash<QString, QList<int>> wanted;
    for (int i = 0; i < pictures.size(); ++i) {
        if (!loaded.contains(i))
            wanted[normalised(pictures.at(i))].append(i);
    }
    if (wanted.isEmpty())
        return;
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

namespace {

QString framePlace(int n)
{
    return QStringLiteral("<!--quorl-frame:") + QString::number(n) + QStringLiteral("-->\n");
}

QString frameTextPlace(int n)
{
    return QChar(0) + QString::number(n) + QChar(0) + u'\n';
}

} // namespace

void CleanPage::insertFrame(int n, const CleanPage &frame)
{
    if (frame.isEmpty())
        return;
    // Its pictures numbered after this page's.
    static const QRegularExpression reference(QStringLiteral("<img src=\"quorl-picture:(\\d+)\""));
    const int offset = static_cast<int>(pictures.size());
    QString content;
    qsizetype last = 0;
    for (auto it = reference.globalMatch(frame.html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        content += QStringView(frame.html).mid(last, m.capturedStart() - last);
        content += QStringLiteral("<img src=\"quorl-picture:") + QString::number(m.captured(1).toInt() + offset) + u'"';
        last = m.capturedEnd();
    }
    content += QStringView(frame.html).mid(last);
    pictures += frame.pictures;
    for (auto it = frame.loaded.cbegin(); it != frame.loaded.cend(); ++it)
        loaded.insert(it.key() + offset, it.value());
    const QString dirAttr = frame.dir == dir ? QString() : QStringLiteral(" dir=\"") + frame.dir + u'"';
    html.replace(framePlace(n), QStringLiteral("<div") + dirAttr + QStringLiteral(">\n") + content + QStringLiteral("</div>\n"));
    text.replace(frameTextPlace(n), frame.text + u'\n');
}

void CleanPage::dropFrames()
{
    for (int n = 0; n < frames.size(); ++n) {
        html.remove(framePlace(n));
        text.remove(frameTextPlace(n));
    }
    frames.clear();
}

QByteArray CleanPage::sheet(const QDateTime &exported) const
{
    // Paragraphs of plain text only; one with words in it stays as it is.
    static const QRegularExpression block(QStringLiteral("<(p|h[1-6]|li|dt|dd)((?: [^>]*)?)>([^<]*)</\\1>"));
    static const QRegularExpression numeric(QStringLiteral("^[^A-DF-Za-df-z]*[0-9][^A-DF-Za-df-z]*$|^(?i:true|false)$"));
    QString doc = QString::fromUtf8(build(false, exported, 0, true));
    QString out;
    out.reserve(doc.size() + 1024);
    qsizetype last = 0;
    qsizetype counted = 0;
    int tables = 0; // within a table, a cell says itself what it holds
    for (auto it = block.globalMatch(doc); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QStringView between = QStringView(doc).mid(counted, m.capturedStart() - counted);
        tables += static_cast<int>(between.count(QLatin1String("<table")) - between.count(QLatin1String("</table>")));
        counted = m.capturedStart();
        const QString text = m.captured(3).trimmed();
        if (tables > 0 || text.isEmpty() || !numeric.match(text).hasMatch())
            continue;
        out += QStringView(doc).mid(last, m.capturedStart() - last);
        const QString cell = QStringLiteral("<table><tr><td sdnum=\"1033;1033;@\">") + m.captured(3)
                             + QStringLiteral("</td></tr></table>");
        // A list's item keeps its place in the list.
        if (m.captured(1) == QLatin1String("li"))
            out += QStringLiteral("<li") + m.captured(2) + u'>' + cell + QStringLiteral("</li>");
        else
            out += cell + u'\n';
        last = m.capturedEnd();
    }
    out += QStringView(doc).mid(last);
    return out.toUtf8();
}

QByteArray CleanPage::document(bool withPictures, const QDateTime &exported, int maxPictureWidth) const
{
    return build(withPictures, exported, maxPictureWidth, false);
}

QString CleanPage::content(bool withPictures, int maxPictureWidth, bool cellFormats) const
{
    static const QRegularExpression reference(QStringLiteral("<img src=\"quorl-picture:(\\d+)\"([^>]*)>"));
    static const QRegularExpression size(QStringLiteral(" width=\"(\\d+)\" height=\"(\\d+)\""));
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
        QString attributes = m.captured(2);
        const QRegularExpressionMatch dimensions = size.match(attributes);
        const int width = dimensions.captured(1).toInt();
        if (maxPictureWidth > 0 && width > maxPictureWidth) {
            const int height = std::max(1, static_cast<int>(std::lround(dimensions.captured(2).toDouble() * maxPictureWidth / width)));
            attributes.replace(dimensions.capturedStart(), dimensions.capturedLength(),
                               QStringLiteral(" width=\"%1\" height=\"%2\"").arg(maxPictureWidth).arg(height));
        }
        body += QStringLiteral("<img src=\"data:") + QString::fromLatin1(picture->type) + QStringLiteral(";base64,")
                + QString::fromLatin1(picture->data.toBase64()) + u'"' + attributes + u'>';
    }
    body += QStringView(html).mid(last);
    // The cells' values and formats are the spreadsheet's; a word processor takes a
    // third longer over a long table of them and shows the same.
    if (!cellFormats) {
        static const QRegularExpression cellFormat(QStringLiteral(" sd(?:val|num)=\"[^\"]*\""));
        body.remove(cellFormat);
    }
    return body;
}

QByteArray CleanPage::build(bool withPictures, const QDateTime &exported, int maxPictureWidth, bool cellFormats) const
{
    const QString body = content(withPictures, maxPictureWidth, cellFormats);
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

namespace {

// A page's bookmarks (the places its links within the page lead to) renamed for its
// section, so that two pages' places of the same name stay apart. A name stays one
// a word processor takes: letters, digits and underscores, a letter first, at most 40.
QString ownBookmarks(const QString &html, int section)
{
    static const QRegularExpression bookmark(QStringLiteral("(<span id=\"|<a href=\"#)([A-Za-z0-9_]+)\""));
    const QString prefix = QStringLiteral("s") + QString::number(section) + u'_';
    QHash<QString, QString> names;
    QSet<QString> taken;
    QString out;
    qsizetype last = 0;
    for (auto it = bookmark.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString &name = names[m.captured(2)];
        if (name.isEmpty()) {
            name = prefix + m.captured(2).left(40 - prefix.size());
            // Two long names cut to the same one: the later one numbered instead.
            for (int n = 2; taken.contains(name); ++n)
                name = prefix + QStringLiteral("n") + QString::number(n);
            taken.insert(name);
        }
        out += QStringView(html).mid(last, m.capturedStart() - last);
        out += m.captured(1) + name + u'"';
        last = m.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

bool linkable(const QString &address)
{
    static const QRegularExpression schemes(QStringLiteral("^(https?|ftp|mailto):"),
                                            QRegularExpression::CaseInsensitiveOption);
    return schemes.match(address).hasMatch();
}

} // namespace

QByteArray CleanPage::sections(const QList<CleanPage> &pages, const QDateTime &exported, int maxPictureWidth)
{
    QString body;
    QStringList titles;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const CleanPage &page = pages.at(i);
        const QString title = page.title.trimmed().isEmpty() ? page.url : page.title.trimmed();
        titles.append(title);
        const QString langAttr = page.lang.isEmpty() ? QString() : QStringLiteral(" lang=\"") + escaped(page.lang) + u'"';
        const QString dirAttr = QStringLiteral(" dir=\"") + page.dir + u'"';
        const QString align = page.dir == QLatin1String("rtl") ? QStringLiteral(" align=\"right\"") : QString();
        const QString pageBreak = i > 0 ? QStringLiteral(" style=\"page-break-before: always\"") : QString();
        body += QStringLiteral("<h1") + dirAttr + langAttr + align + pageBreak + u'>' + escaped(title)
                + QStringLiteral("</h1>\n");
        const QString address = escaped(page.url);
        // The address reads left to right whatever the page's direction.
        body += QStringLiteral("<p dir=\"ltr\"") + align + u'>'
                + (linkable(page.url) ? QStringLiteral("<a href=\"") + address + QStringLiteral("\">") + address
                                            + QStringLiteral("</a>")
                                      : address)
                + QStringLiteral("</p>\n");
        body += QStringLiteral("<div") + dirAttr + langAttr + QStringLiteral(">\n")
                + ownBookmarks(page.content(true, maxPictureWidth, false), static_cast<int>(i) + 1)
                + QStringLiteral("</div>\n");
    }
    const QString doc = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>")
                        + escaped(titles.join(QStringLiteral("; ")))
                        + QStringLiteral("</title>\n<meta name=\"created\" content=\"") + exported.toString(Qt::ISODate)
                        + QStringLiteral("\">\n</head>\n<body>\n") + body + QStringLiteral("</body></html>\n");
    return doc.toUtf8();
}
