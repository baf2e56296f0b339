#include "docpage.h"

#include <QBuffer>
#include <QImage>

#include <QLocale>
#include <QString>
#include <QStringList>

namespace {

const char *const kWords[] = {
    "process", "file", "descriptor", "path", "environment", "variable", "return", "value", "error", "system",
    "call", "argument", "directory", "permission", "signal", "thread", "buffer", "stream", "encoding", "mode",
    "flag", "default", "platform", "availability", "object", "function", "module", "interface", "operating",
    "user", "group", "identifier", "terminal", "pipe", "socket", "device", "timestamp", "resolution", "link",
    "symbolic", "handle", "inheritable", "scheduler", "priority", "resource", "limit", "memory", "mapping"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

struct Random
{
    quint32 state = 12345;
    int next(int n)
    {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<quint32>(n));
    }
};

QString sentence(Random &r, int words)
{
    QString s;
    for (int i = 0; i < words; ++i) {
        QString w = QString::fromLatin1(kWords[r.next(kWordCount)]);
        if (i == 0)
            w[0] = w[0].toUpper();
        s += (i ? QStringLiteral(" ") : QString()) + w;
    }
    return s + u'.';
}

QString paragraph(Random &r)
{
    QString p;
    const int n = 3 + r.next(4);
    for (int i = 0; i < n; ++i)
        p += (i ? QStringLiteral(" ") : QString()) + sentence(r, 6 + r.next(10));
    return p;
}

} // namespace

QByteArray longDocumentationPage(int sections, int tableRows)
{
    Random r;
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        "<title>osmod \u2014 Miscellaneous operating system interfaces</title>\n<style>\n"
        "body{margin:0;font-family:sans-serif;font-size:15px}\n"
        "div.related{background:#eee;padding:4px} div.related ul{margin:0;padding:0 0 0 10px;list-style:none}\n"
        "div.related li{display:inline;margin-right:8px}\n"
        "div.documentwrapper{float:left;width:100%}\n"
        "div.bodywrapper{margin:0 0 0 230px}\n"
        "div.body{padding:0 20px 30px 20px;min-height:400px}\n"
        "div.sphinxsidebar{float:left;width:230px;margin-left:-100%;font-size:90%}\n"
        "div.clearer{clear:both}\n"
        "a.headerlink{visibility:hidden;margin-left:4px} h1:hover>a.headerlink,h2:hover>a.headerlink{visibility:visible}\n"
        "div.admonition{border:1px solid #ccc;background:#f6f6ff;padding:6px;margin:10px 0}\n"
        "p.admonition-title{font-weight:bold;margin:0}\n"
        "pre{background:#f4f4f4;padding:6px;overflow:auto}\n"
        "table.docutils{border-collapse:collapse} table.docutils td,table.docutils th{border:1px solid #aaa;padding:2px 5px}\n"
        "a.skip{position:absolute;left:-9999px}\n"
        "</style></head><body>\n"
        "<a class=\"skip\" href=\"#content\">Skip to content</a>\n"
        "<div class=\"related\" role=\"navigation\"><h3 style=\"display:none\">Navigation</h3><ul>"
        "<li><a href=\"/genindex\">index</a></li><li><a href=\"/modindex\">modules</a></li>"
        "<li><a href=\"/next\">next</a></li></ul></div>\n"
        "<div class=\"document\"><div class=\"documentwrapper\"><div class=\"bodywrapper\"><div class=\"body\" "
        "id=\"content\">\n");
    html += QStringLiteral("<section id=\"module-osmod\"><h1><code>osmod</code> \u2014 Miscellaneous operating system "
                           "interfaces<a class=\"headerlink\" href=\"#module-osmod\">\u00b6</a></h1>\n");
    html += QStringLiteral("<p>") + paragraph(r) + QStringLiteral("</p>\n");
    for (int s = 1; s <= sections; ++s) {
        const QString id = QStringLiteral("section-%1").arg(s);
        html += QStringLiteral("<section id=\"%1\"><h2>%2 %3<a class=\"headerlink\" href=\"#%1\" "
                               "title=\"Permalink to this headline\">\u00b6</a></h2>\n")
                    .arg(id)
                    .arg(s)
                    .arg(sentence(r, 3).chopped(1));
        html += QStringLiteral("<p>") + paragraph(r) + QStringLiteral(" <a class=\"reference\" href=\"#section-1\">")
                + sentence(r, 2).chopped(1) + QStringLiteral("</a>.</p>\n");
        for (int f = 0; f < 3; ++f) {
            const QString name = QStringLiteral("osmod.call%1_%2").arg(s).arg(f);
            html += QStringLiteral("<dl class=\"function\"><dt id=\"%1\"><code class=\"descname\">%1</code>"
                                   "(<em>path</em>, <em>mode</em>)<a class=\"headerlink\" href=\"#%1\">\u00b6</a></dt>"
                                   "<dd><p>")
                        .arg(name)
                + paragraph(r) + QStringLiteral("</p><p><em>Availability</em>: Unix.</p></dd></dl>\n");
        }
        if (s % 3 == 0) {
            html += QStringLiteral("<div class=\"admonition note\"><p class=\"admonition-title\">Note</p><p>")
                    + paragraph(r) + QStringLiteral("</p></div>\n");
        }
        if (s % 4 == 0) {
            html += QStringLiteral("<pre><span class=\"kn\">import</span> <span class=\"nn\">osmod</span>\n"
                                   "<span class=\"n\">fd</span> <span class=\"o\">=</span> osmod.call%1_0(<span "
                                   "class=\"s\">'spam.txt'</span>, 0)\nprint(fd)\n</pre>\n")
                        .arg(s);
        }
        html += QStringLiteral("<ul><li><p>") + sentence(r, 8) + QStringLiteral("</p></li><li><p>") + sentence(r, 9)
                + QStringLiteral("</p></li></ul>\n</section>\n");
    }
    html += QStringLiteral("<section id=\"reference\"><h2>Reference table<a class=\"headerlink\" "
                           "href=\"#reference\">\u00b6</a></h2>\n<table class=\"docutils\"><thead><tr><th>Name</th>"
                           "<th>Value</th><th>Notes</th><th>Description</th></tr></thead><tbody>\n");
    for (int i = 1; i <= tableRows; ++i) {
        html += QStringLiteral("<tr><td><code>NAME_%1</code></td><td>%2</td><td>(%3)</td><td>%4</td></tr>\n")
                    .arg(i)
                    .arg(i * 7)
                    .arg(1 + i % 4)
                    .arg(sentence(r, 5));
    }
    html += QStringLiteral("</tbody></table>\n<p>Notes:</p><ol><li><p>") + sentence(r, 7)
            + QStringLiteral("</p></li><li><p>") + sentence(r, 7) + QStringLiteral("</p></li><li><p>") + sentence(r, 7)
            + QStringLiteral("</p></li><li><p>") + sentence(r, 7) + QStringLiteral("</p></li></ol></section>\n");
    html += QStringLiteral("</section></div></div></div>\n<div class=\"sphinxsidebar\" role=\"navigation\"><h3>Table of "
                           "Contents</h3><ul>");
    for (int s = 1; s <= sections; s += 5)
        html += QStringLiteral("<li><a href=\"#section-%1\">Section %1</a></li>").arg(s);
    html += QStringLiteral("</ul></div><div class=\"clearer\"></div></div>\n<div class=\"footer\">Last updated on a day "
                           "of the year.</div>\n</body></html>\n");
    return html.toUtf8();
}

QByteArray ledgerPage(int rows, const QString &itemBase)
{
    QString html = QStringLiteral("<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Ledger</title>"
                                  "<style>td{border:1px solid #999;padding:2px}</style></head><body><h1>Orders of the "
                                  "quarter</h1><table><thead><tr><th>Order</th><th>Zip</th><th>Amount</th><th>Price</th>"
                                  "<th>Share</th><th>Quantity</th><th>Code</th><th>Note</th><th>Item</th></tr></thead>"
                                  "<tbody>\n");
    const QStringList codes = {QStringLiteral("A-17"), QStringLiteral("1-2"), QStringLiteral("12/05"),
                               QStringLiteral("2024-05-03"), QStringLiteral("0x1F"), QStringLiteral("1,5"),
                               QStringLiteral("+3"), QStringLiteral("1.2.3"), QStringLiteral("12,34"),
                               QStringLiteral("007")};
    for (int i = 0; i < rows; ++i) {
        const QString order = QStringLiteral("4000%1").arg(quint64(123456789012345ULL + quint64(i) * 7919), 15, 10, QLatin1Char('0'));
        const QString zip = QStringLiteral("%1").arg((i * 37) % 100000, 5, 10, QLatin1Char('0'));
        const qint64 cents = (i % 7 == 3 ? -1 : 1) * (qint64(i) * 98765431 % 50000000 + (i % 5 == 0 ? 20346633 : 0));
        const QString whole = QLocale(QLocale::English).toString(std::abs(cents) / 100);
        const QString amount = (cents < 0 ? QStringLiteral("-") : QString()) + whole
                               + QStringLiteral(".%1").arg(std::abs(cents) % 100, 2, 10, QLatin1Char('0'));
        const QString price = QStringLiteral("%1.%2").arg(1000 + i * 3).arg((i * 10) % 100, 2, 10, QLatin1Char('0'));
        const QString share = QStringLiteral("%1.%2%").arg(i % 100).arg(i % 10);
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td>"
                               "<td>(%8)</td><td><a href=\"%9%10\">%10</a></td></tr>\n")
                    .arg(order, zip, amount, price, share, QString::number(i * 3), codes.at(i % codes.size()),
                         QString::number(1 + i % 4), itemBase)
                    .arg(i + 1);
    }
    // Figures outside the table too.
    return (html + QStringLiteral("</tbody></table><p>End of the ledger.</p><p>00400</p><p>(2)</p><ul><li>12/05</li>"
                                  "<li>3396.60</li></ul></body></html>"))
        .toUtf8();
}

QByteArray png(const QColor &colour, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
