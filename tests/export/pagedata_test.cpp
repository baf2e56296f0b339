// What the documents keep of a page's data and structure, read back as a reader meets
// them: every cell of a sheet as the page shows it, pictures the page loads late or
// shows wide, drawings and other sites' frames in their places, links within the page,
// right-to-left pages and the PDF's structure.
#include "export/exportfixture.h"
#include "platform/office/protocol.h"
#include "support/docpage.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

namespace {

// The pictures embedded in a flat OpenDocument file, decoded.
QList<QImage> embeddedPictures(const QString &flatXml)
{
    QList<QImage> pictures;
    static const QRegularExpression data(QStringLiteral("<office:binary-data>([^<]*)</office:binary-data>"));
    for (auto it = data.globalMatch(flatXml); it.hasNext();)
        pictures.append(QImage::fromData(QByteArray::fromBase64(it.next().captured(1).toLatin1())));
    return pictures;
}

// A length of a flat document's styles in centimetres.
double centimetres(const QString &length)
{
    const double value = length.chopped(2).toDouble();
    if (length.endsWith(QLatin1String("in")))
        return value * 2.54;
    if (length.endsWith(QLatin1String("mm")))
        return value / 10;
    if (length.endsWith(QLatin1String("pt")))
        return value * 2.54 / 72;
    return value;
}

// The widths of the picture frames of a flat text document, in centimetres.
QList<double> frameWidths(const QString &flatXml)
{
    QList<double> widths;
    static const QRegularExpression frame(QStringLiteral("<draw:frame [^>]*svg:width=\"([^\"]+)\""));
    for (auto it = frame.globalMatch(flatXml); it.hasNext();)
        widths.append(centimetres(it.next().captured(1)));
    return widths;
}

// The width between the margins of a flat text document's first page, in centimetres.
double textWidth(const QString &flatXml)
{
    static const QRegularExpression master(QStringLiteral("<style:master-page [^>]*style:page-layout-name=\"([^\"]+)\""));
    const QString name = master.match(flatXml).captured(1);
    const qsizetype at = flatXml.indexOf(QStringLiteral("<style:page-layout style:name=\"") + name + u'"');
    static const QRegularExpression layout(QStringLiteral("<style:page-layout-properties [^>]*>"));
    const QString tag = layout.match(flatXml, std::max<qsizetype>(at, 0)).captured(0);
    auto attribute = [&tag](const char *name) {
        return centimetres(QRegularExpression(QString::fromLatin1(name) + QStringLiteral("=\"([^\"]+)\"")).match(tag).captured(1));
    };
    return attribute("fo:page-width") - attribute("fo:margin-left") - attribute("fo:margin-right");
}

// A word of a PDF page where pdftotext finds it, in points.
struct Word
{
    int page = 0;
    QRectF box;
    QString text;
};

// The rows of a CSV file, fields unquoted.
QList<QStringList> csvRows(const QString &csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\n') {
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows.append(row << field);
    return rows;
}

// The value types of the cells of a flat spreadsheet's first sheet, row by row.
QList<QStringList> cellTypes(const QString &fods)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(fods);
    bool inSheet = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("table:table")) {
            if (!rows.isEmpty())
                break; // the first sheet only
            inSheet = true;
        } else if (inSheet && xml.isStartElement() && xml.qualifiedName() == QLatin1String("table:table-row")) {
            rows.append(QStringList());
        } else if (inSheet && xml.isStartElement()
                   && (xml.qualifiedName() == QLatin1String("table:table-cell")
                       || xml.qualifiedName() == QLatin1String("table:covered-table-cell"))) {
            const int repeated = std::max(1, xml.attributes().value(QStringLiteral("table:number-columns-repeated")).toInt());
            const QString type = xml.attributes().value(QStringLiteral("office:value-type")).toString();
            for (int i = 0; i < std::min(repeated, 64); ++i)
                rows.last().append(type);
        } else if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("table:table") && inSheet) {
            break;
        }
    }
    return rows;
}

class PageDataTest : public ExportTest
{
protected:
    // The sheet's cells as they show, through LibreOffice's own text export.
    QList<QStringList> shownCells(const QString &workbook)
    {
        // Comma, quote, UTF-8, from the first line; the cells as shown.
        const QString csv = convert(workbook, QStringLiteral("csv"), workbook + QStringLiteral(".csv"),
                                    QStringLiteral("44,34,76,1,,0,false,true,true"));
        return csvRows(TextFile::readText(csv).value_or(QString()));
    }

    // The words of a PDF with their places, from pdftotext's boxes.
    QList<Word> pdfWords(const QString &pdf)
    {
        const QString xhtml = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QList<Word> words;
        int page = 0;
        static const QRegularExpression item(QStringLiteral("<page |<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" "
                                                            "xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"));
        for (auto it = item.globalMatch(xhtml); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(0).startsWith(QLatin1String("<page"))) {
                ++page;
                continue;
            }
            // Without the marks of direction pdftotext puts around right-to-left words.
            static const QRegularExpression marks(QStringLiteral("[\u200e\u200f\u202a-\u202e\u2066-\u2069]"));
            words.append({page, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                       QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                          m.captured(5).remove(marks)});
        }
        return words;
    }
    // A word as pdftotext gives it: right-to-left words in the order they are drawn,
    // their letters in the forms they are drawn in.
    static const Word *find(const QList<Word> &words, const QString &text)
    {
        QString reversed = text;
        std::reverse(reversed.begin(), reversed.end());
        for (const Word &w : words) {
            const QString shown = w.text.normalized(QString::NormalizationForm_KC);
            if (shown == text || shown == reversed)
                return &w;
        }
        return nullptr;
    }
    // A page of a PDF drawn as a picture at dpi.
    QImage pdfPage(const QString &pdf, int page, int dpi)
    {
        const QString base = pdf + QStringLiteral("-page");
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
                                         QStringLiteral("-l"), QString::number(page), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, base});
        return QImage(base + QStringLiteral(".png"));
    }
};

} // namespace

TEST_F(PageDataTest, EveryCellOfTheSheetShowsWhatThePageShowsAndNumbersSum)
{
    server.addPage(QStringLiteral("/ledger"), ledgerPage(400, url("/item/")));
    open("/ledger");
    const auto shown = window->currentBrowser()->evaluate(
        QStringLiteral("Array.from(document.querySelectorAll('tr')).map(r => Array.from(r.cells).map(c => c.innerText.trim()))"),
        20000);
    ASSERT_TRUE(shown.has_value());
    const QVariantList pageRows = shown->toList();
    ASSERT_EQ(pageRows.size(), 401);

    const QString xls = folder.file(QStringLiteral("ledger.xls"));
    exportTo("SAVE:EXCEL", xls);
    ASSERT_EQ(lastMessage(), lang().entry(108) + xls);
    const QList<QStringList> cells = shownCells(xls);
    const QList<QStringList> types = cellTypes(flat(xls, QStringLiteral("fods")));
    qsizetype first = -1;
    for (qsizetype i = 0; i < cells.size() && first < 0; ++i) {
        if (cells.at(i).value(0) == QLatin1String("Order"))
            first = i;
    }
    ASSERT_GE(first, 0) << str(cells.value(0).join(u'|') + u'\n' + cells.value(1).join(u'|'));
    ASSERT_GE(cells.size(), first + pageRows.size());
    // Each column's type, as a reader expects it: long identifiers, zip codes with a
    // leading zero, codes, notes and links text; amounts, prices, shares and quantities
    // numbers.
    QStringList expectedTypes = {QStringLiteral("string"), QString(), QStringLiteral("float"),
                                 QStringLiteral("float"),  QStringLiteral("percentage"), QStringLiteral("float"),
                                 QStringLiteral("string"), QStringLiteral("string"), QStringLiteral("string")};
    int mismatches = 0, wrongTypes = 0;
    QSet<QString> orders;
    for (qsizetype r = 0; r < pageRows.size(); ++r) {
        const QStringList page = pageRows.at(r).toStringList();
        const QStringList sheet = cells.at(first + r).mid(0, page.size());
        if (sheet != page && ++mismatches <= 5)
            ADD_FAILURE() << "row " << r << ": page " << str(page.join(u'|')) << ", sheet " << str(sheet.join(u'|'));
        if (r == 0)
            continue;
        orders.insert(sheet.value(0));
        const QStringList type = types.value(first + r).mid(0, page.size());
        expectedTypes[1] = page.value(1).startsWith(u'0') ? QStringLiteral("string") : QStringLiteral("float");
        if (type != expectedTypes && ++wrongTypes <= 5)
            ADD_FAILURE() << "row " << r << " " << str(page.join(u'|')) << ": types " << str(type.join(u'|'));
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(wrongTypes, 0);
    // Paragraphs and list items below the table, as the page shows them.
    QStringList after;
    for (qsizetype r = first + pageRows.size(); r < cells.size(); ++r)
        after.append(cells.at(r).value(0));
    EXPECT_EQ(after, (QStringList{QStringLiteral("End of the ledger."), QStringLiteral("00400"), QStringLiteral("(2)"),
                                  QStringLiteral("12/05"), QStringLiteral("3396.60")}));
    EXPECT_EQ(orders.size(), 400); // every order number its own

    // The amounts sum: LibreOffice adds up the column it was given.
    const QString fods = flat(xls, QStringLiteral("fods"));
    EXPECT_TRUE(fods.contains(QStringLiteral("office:value=\"203466.33\""))) << "203,466.33 is a number";
    // A link in a cell is still a link.
    EXPECT_TRUE(fods.contains(QStringLiteral("xlink:href=\"") + url("/item/17") + u'"'));
}

TEST_F(PageDataTest, PicturesLoadedLateOrShownWideAreInTheDocumentWithinTheText)
{
    server.addPage(QStringLiteral("/wide.png"), png(QColor(0, 0, 200), 998, 300), "image/png");
    server.addPage(QStringLiteral("/lazy.png"), png(QColor(200, 0, 0), 240, 120), "image/png");
    server.addPage(QStringLiteral("/pictures"),
                   "<html><head><title>Pictures</title></head><body><h1>A wide diagram</h1>"
                   "<p><img src=\"/wide.png\" width=\"998\" height=\"300\" alt=\"diagram\"></p>"
                   "<div style=\"height:12000px\">Scroll on.</div>"
                   "<p><img src=\"/lazy.png\" loading=\"lazy\" width=\"240\" height=\"120\" alt=\"late\"></p>"
                   "<p>The end.</p></body></html>");
    open("/pictures");
    ASSERT_EQ(server.requests(QStringLiteral("/lazy.png")), 0); // not scrolled to

    for (const char *key : {"SAVE:WORDV", "SAVE:WORDH"}) {
        const QString doc = folder.file(QStringLiteral("%1.odt").arg(QString::fromLatin1(key).mid(5)));
        exportTo(key, doc);
        ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
        const QString odt = flat(doc, QStringLiteral("fodt"));
        const QList<QImage> pictures = embeddedPictures(odt);
        ASSERT_EQ(pictures.size(), 2) << key;
        const QList<double> widths = frameWidths(odt);
        ASSERT_EQ(widths.size(), 2) << key;
        const double text = textWidth(odt);
        // The wide one exactly as wide as the text, its aspect kept; the small one as
        // the page shows it.
        EXPECT_NEAR(widths.at(0), text, 0.05) << key;
        static const QRegularExpression frame(QStringLiteral("<draw:frame [^>]*svg:width=\"([^\"]+)\" svg:height=\"([^\"]+)\""));
        const QRegularExpressionMatch first = frame.match(odt);
        EXPECT_NEAR(centimetres(first.captured(2)) / centimetres(first.captured(1)), 300.0 / 998, 0.005) << key;
        EXPECT_NEAR(widths.at(1), 240 * 2.54 / 96, 0.05) << key;
    }

    // A template changed since its text was measured is measured again: the landscape
    // template made portrait gives the portrait width.
    const QString landscape = window->state().templateDoc;
    ASSERT_TRUE(QFile::remove(landscape));
    ASSERT_TRUE(QFile::copy(window->state().templateHDoc, landscape));
    const QString changed = folder.file(QStringLiteral("changed.odt"));
    exportTo("SAVE:WORDH", changed);
    ASSERT_EQ(lastMessage(), lang().entry(108) + changed);
    const QString odt = flat(changed, QStringLiteral("fodt"));
    ASSERT_EQ(frameWidths(odt).size(), 2);
    EXPECT_LT(textWidth(odt), 20); // centimetres
    EXPECT_NEAR(frameWidths(odt).at(0), textWidth(odt), 0.05);

    // In the PDF nothing reaches into the right margin of the portrait page.
    const QString pdf = folder.file(QStringLiteral("pictures.pdf"));
    exportTo("SAVE:PDF", pdf);
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    const QImage page = pdfPage(pdf, 1, 50);
    ASSERT_FALSE(page.isNull());
    const int margin = static_cast<int>(2.0 / 2.54 * 50) - 3;
    int blue = 0, marginBlue = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 60) {
                ++blue;
                if (x >= page.width() - margin)
                    ++marginBlue;
            }
        }
    }
    EXPECT_GT(blue, 1000);
    EXPECT_EQ(marginBlue, 0);
    const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    static const QRegularExpression pictureLine(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+image\\s"), QRegularExpression::MultilineOption);
    EXPECT_EQ(images.count(pictureLine), 2) << str(images);
}

TEST_F(PageDataTest, DrawingsCanvasesAndOtherSitesFramesReachTheDocumentInPlace)
{
    HttpServer other; // another origin
    other.addPage(QStringLiteral("/inner.png"), png(QColor(250, 200, 0), 120, 60), "image/png");
    const QByteArray secret = png(Qt::magenta, 7, 7) + "SECRET-FILE-CONTENT";
    folder.write(QStringLiteral("secret.png"), secret);
    other.addPage(QStringLiteral("/framed"),
                  QStringLiteral("<html><head><style>h2{color:navy}</style></head><body><h2>Words from the other "
                                 "site</h2><p>Its paragraph <a href=\"/elsewhere\">with a link</a>.</p>"
                                 "<p><img src=\"/inner.png\" width=\"120\" height=\"60\"></p>"
                                 "<script>document.write('<p>Written by its script.</p>')</script>"
                                 "<p><img src=\"%1\" width=\"7\" height=\"7\"><a href=\"javascript:alert(1)\">No "
                                 "script link</a></p></body></html>")
                      .arg(QUrl::fromLocalFile(folder.file(QStringLiteral("secret.png"))).toString())
                      .toUtf8());
    server.addPage(QStringLiteral("/drawn"),
                   QStringLiteral("<html><head><title>Drawn</title><style>.label{fill:white;font:bold 28px sans-serif}"
                                  "</style></head><body><p>Before the drawing.</p>"
                                  "<svg width=\"320\" height=\"120\"><rect width=\"320\" height=\"120\" "
                                  "style=\"fill:rgb(0,160,0)\"/><text x=\"20\" y=\"70\" class=\"label\">Quarterly "
                                  "totals</text></svg>"
                                  "<p>Between the drawing and the canvas.</p><canvas id=\"c\" width=\"200\" "
                                  "height=\"100\"></canvas><script>var c = document.getElementById('c').getContext('2d');"
                                  "c.fillStyle = 'rgb(200,0,200)'; c.fillRect(0, 0, 200, 100);</script>"
                                  "<p>Between the canvas and the frame.</p><iframe src=\"%1\" width=\"500\" "
                                  "height=\"300\"></iframe><p>After the frame.</p></body></html>")
                       .arg(other.url(QStringLiteral("/framed")))
                       .toUtf8());
    open("/drawn");
    const int before = server.totalRequests() + other.totalRequests();

    const QString doc = folder.file(QStringLiteral("drawn.odt"));
    exportTo("SAVE:WORDV", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    EXPECT_EQ(server.totalRequests() + other.totalRequests(), before); // nothing asked for again
    const QString text = renderedText(doc);
    EXPECT_GE(inOrder(words(QStringLiteral("Before the drawing. Between the drawing and the canvas. Between the canvas and "
                                           "the frame. Words from the other site Its paragraph with a link. Written by "
                                           "its script. No script link After the frame.")),
                      words(text)),
              1.0)
        << str(text);
    const QString odt = flat(doc, QStringLiteral("fodt"));
    const QList<QImage> pictures = embeddedPictures(odt);
    ASSERT_EQ(pictures.size(), 3);
    // In the page's order: the drawing (green with its white words), the canvas, the
    // frame's picture.
    auto has = [](const QImage &image, const QColor &colour) {
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - colour.red()) < 12 && std::abs(c.green() - colour.green()) < 12
                    && std::abs(c.blue() - colour.blue()) < 12)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has(pictures.at(0), QColor(0, 160, 0)) && has(pictures.at(0), Qt::white));
    EXPECT_TRUE(has(pictures.at(1), QColor(200, 0, 200)));
    EXPECT_TRUE(has(pictures.at(2), QColor(250, 200, 0)));
    EXPECT_TRUE(odt.contains(QStringLiteral("Quarterly totals"))); // the drawing's words, for a reader that cannot see it
    // The frame's link leads to its own site; its script and its file: picture stay out.
    EXPECT_TRUE(odt.contains(QStringLiteral("xlink:href=\"") + other.url(QStringLiteral("/elsewhere")) + u'"'));
    EXPECT_FALSE(odt.contains(QStringLiteral("javascript:")));
    EXPECT_FALSE(odt.contains(QStringLiteral("xlink:href=\"file")));
    EXPECT_FALSE(odt.contains(QString::fromLatin1(QByteArray("SECRET-FILE-CONTENT").toBase64())));
    QFile file(doc);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("SECRET-FILE-CONTENT"));
}

TEST_F(PageDataTest, LinksWithinThePageJumpWithinTheDocumentAndThePdf)
{
    QString filler;
    for (int i = 0; i < 14; ++i)
        filler += QStringLiteral("<p>Filler paragraph %1 of a long chapter, written so that the sections fall on pages of "
                                 "their own, as in any manual of some length.</p>")
                      .arg(i);
    server.addPage(QStringLiteral("/manual"),
                   (QStringLiteral("<html><head><title>Manual</title></head><body><h1>Manual</h1><ul>"
                                   "<li><a href=\"#install\">Installing</a></li><li><a href=\"#using\">Using</a></li>"
                                   "<li><a href=\"#faq-1\">Questions</a></li></ul>"
                                   "<p>See <a href=\"/other.html\">the other page</a> and <a href=\"/other.html#part\">its "
                                   "part</a>.</p>")
                    + filler + QStringLiteral("<h2 id=\"install\">Installation steps</h2>") + filler
                    + QStringLiteral("<h2><a name=\"using\"></a>Daily use</h2>") + filler
                    + QStringLiteral("<section id=\"faq-1\"><h2>Frequent questions</h2>") + filler
                    + QStringLiteral("</section><p><a href=\"#\">Back to the top</a></p></body></html>"))
                       .toUtf8());
    open("/manual");
    const QString other = url("/other.html");

    const QString doc = folder.file(QStringLiteral("manual.doc"));
    exportTo("SAVE:WORDV", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    const QString odt = flat(doc, QStringLiteral("fodt"));
    for (const char *name : {"install", "using", "faq_1", "top"}) {
        EXPECT_TRUE(odt.contains(QStringLiteral("xlink:href=\"#%1\"").arg(QString::fromLatin1(name)))) << name;
        EXPECT_TRUE(odt.contains(QStringLiteral("text:bookmark text:name=\"%1\"").arg(QString::fromLatin1(name)))
                    || odt.contains(QStringLiteral("text:bookmark-start text:name=\"%1\"").arg(QString::fromLatin1(name))))
            << name;
    }
    EXPECT_TRUE(odt.contains(QStringLiteral("xlink:href=\"") + other + u'"'));
    EXPECT_TRUE(odt.contains(QStringLiteral("xlink:href=\"") + other + QStringLiteral("#part\"")));
    EXPECT_FALSE(odt.contains(QStringLiteral("xlink:href=\"") + url("/manual#")));

    // In the PDF each entry of the contents leads to the page its section is on.
    const QString pdf = folder.file(QStringLiteral("printed.pdf"));
    exportTo("SAVE:PDF", pdf);
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The pages in order, by their objects.
    QList<int> pageObjects;
    static const QRegularExpression kids(QStringLiteral("/Type\\s*/Pages[^>]*?/Kids\\s*\\[([^\\]]*)\\]"));
    const QString raw = QString::fromLatin1(bytes);
    static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
    for (auto it = ref.globalMatch(kids.match(raw).captured(1)); it.hasNext();)
        pageObjects.append(it.next().captured(1).toInt());
    ASSERT_GE(pageObjects.size(), 4) << str(raw.left(2000));
    // The page each link's destination is on, by the link's words.
    static const QRegularExpression dest(QStringLiteral("/Dest\\s*\\[\\s*(\\d+)\\s+0\\s+R"));
    static const QRegularExpression contents(QStringLiteral("/Contents\\s*<FEFF([0-9A-Fa-f]*)>"));
    QMap<QString, int> destinations;
    for (const QString &object : raw.split(QStringLiteral("endobj"))) {
        if (!object.contains(QStringLiteral("/Subtype/Link")) || !dest.match(object).hasMatch())
            continue;
        const QByteArray utf16 = QByteArray::fromHex(contents.match(object).captured(1).toLatin1());
        QString words;
        for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
            words += QChar(static_cast<char16_t>((uchar(utf16.at(i)) << 8) | uchar(utf16.at(i + 1))));
        destinations.insert(words, static_cast<int>(pageObjects.indexOf(dest.match(object).captured(1).toInt())) + 1);
    }
    const QList<Word> placed = pdfWords(pdf);
    QMap<QString, int> sectionPages;
    for (const auto &[entry, heading] : {std::pair{"Installing", "Installation"}, std::pair{"Using", "Daily"},
                                         std::pair{"Questions", "Frequent"}, std::pair{"Back to the top", "Manual"}}) {
        const Word *w = find(placed, QString::fromLatin1(heading));
        ASSERT_TRUE(w) << heading;
        sectionPages.insert(QString::fromLatin1(entry), w->page);
    }
    // The three entries of the contents and "Back to the top", each to its own page.
    EXPECT_EQ(destinations, sectionPages) << str(raw.mid(raw.indexOf(QStringLiteral("/Subtype/Link")), 600));
    EXPECT_EQ(QSet<int>(sectionPages.cbegin(), sectionPages.cend()).size(), 3);
    EXPECT_TRUE(raw.contains(QStringLiteral("/URI(") + other + u')'));
    // Tagged: a structure a screen reader walks.
    EXPECT_TRUE(raw.contains(QStringLiteral("/StructTreeRoot")));
    EXPECT_TRUE(raw.contains(QStringLiteral("/Marked true")));
}

TEST_F(PageDataTest, HebrewAndArabicPagesKeepTheirHeadingsListsAndTablesRightToLeft)
{
    struct Script
    {
        const char *lang;
        QString heading, subheading, item, first, second, body;
    };
    const QList<Script> scripts = {
        {"he", QStringLiteral("\u05db\u05d5\u05ea\u05e8\u05ea"), QStringLiteral("\u05e4\u05e8\u05e7"),
         QStringLiteral("\u05e4\u05e8\u05d9\u05d8"), QStringLiteral("\u05d0\u05dc\u05e3"), QStringLiteral("\u05d1\u05d9\u05ea"),
         QStringLiteral("\u05d6\u05d4\u05d5 \u05d8\u05e7\u05e1\u05d8 \u05e8\u05d2\u05d9\u05dc \u05e9\u05dc \u05d4\u05de\u05d0\u05de\u05e8")},
        {"ar", QStringLiteral("\u0639\u0646\u0648\u0627\u0646"), QStringLiteral("\u0641\u0635\u0644"),
         QStringLiteral("\u0639\u0646\u0635\u0631"), QStringLiteral("\u0623\u0648\u0644"), QStringLiteral("\u062b\u0627\u0646"),
         QStringLiteral("\u0647\u0630\u0627 \u0646\u0635 \u0639\u0627\u062f\u064a \u0645\u0646 \u0627\u0644\u0645\u0642\u0627\u0644")}};
    for (const Script &s : scripts) {
        SCOPED_TRACE(s.lang);
        const QString path = QStringLiteral("/") + QString::fromLatin1(s.lang);
        // The Arabic page begins with its table, the Hebrew one with its heading.
        const QString table = QStringLiteral("<table border=\"1\"><tr><td>%1</td><td>%2</td></tr></table>").arg(s.first, s.second);
        const bool tableFirst = QLatin1String(s.lang) == QLatin1String("ar");
        server.addPage(path, QStringLiteral("<!DOCTYPE html><html lang=\"%1\" dir=\"rtl\"><head><meta charset=\"utf-8\">"
                                            "<title>%1</title></head><body>%6<h1>%2</h1><p>%5</p><h2>%3</h2><ul><li>%4 1</li>"
                                            "<li>%4 2</li></ul>%7<p>%5</p></body></html>")
                                 .arg(QString::fromLatin1(s.lang), s.heading, s.subheading, s.item, s.body,
                                      tableFirst ? table : QString(), tableFirst ? QString() : table)
                                 .toUtf8());
        openUrl(server.url(path));
        const QString pdf = folder.file(QStringLiteral("%1.pdf").arg(QString::fromLatin1(s.lang)));
        exportTo("SAVE:PDF", pdf);
        ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
        const QList<Word> placed = pdfWords(pdf);
        const Word *heading = find(placed, s.heading);
        const Word *subheading = find(placed, s.subheading);
        const Word *body = find(placed, s.body.section(u' ', 0, 0));
        ASSERT_TRUE(heading && subheading && body) << str(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
        // Headings as large as in any script: 18 and 14 points against 11.
        EXPECT_GT(heading->box.height() / body->box.height(), 1.45);
        EXPECT_GT(subheading->box.height() / body->box.height(), 1.15);
        EXPECT_TRUE(run(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("Bold")));
        // Right to left: the list's items and the paragraphs keep to the right edge of
        // the text; the table's first cell is on the right of its second.
        const double right = body->box.right();
        EXPECT_GT(right, 595 - 2 / 2.54 * 72 - 8);
        const Word *item = find(placed, s.item);
        ASSERT_TRUE(item);
        EXPECT_GT(item->box.right(), right - 40);
        const Word *first = find(placed, s.first);
        const Word *second = find(placed, s.second);
        ASSERT_TRUE(first && second);
        EXPECT_GT(first->box.left(), second->box.right());
        EXPECT_GT(first->box.right(), right - 40);
    }
}
