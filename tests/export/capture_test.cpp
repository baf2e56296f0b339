// What the exports put into the documents: the whole page as it shows, from the
// engine's own document, and nothing LibreOffice could fetch.
#include "export/exportfixture.h"
#include "export/officeapp.h"
#include "support/docpage.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

namespace {

// The pictures embedded in a flat OpenDocument file.
int embeddedPictures(const QString &flatXml)
{
    return static_cast<int>(flatXml.count(QStringLiteral("<office:binary-data>")));
}

class CaptureTest : public ExportTest
{
};

} // namespace

TEST_F(CaptureTest, AFloatedMainColumnComesOutWholeInTheDocumentAndThePdf)
{
    const QByteArray page = longDocumentationPage(24, 150);
    server.addPage(QStringLiteral("/docs"), page);
    folder.write(QStringLiteral("peer/docs.html"), page);
    open("/docs");
    const QStringList shown = pageWords();
    ASSERT_GT(shown.size(), 5000);

    folder.mkdir(QStringLiteral("out"));
    const QString pdf = folder.file(QStringLiteral("out/docs.pdf"));
    exportTo("SAVE:PDF", pdf);
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    const QStringList inPdf = words(pdfText(pdf));
    EXPECT_GE(inOrder(shown, inPdf), 0.995) << "PDF words " << inPdf.size() << " of " << shown.size();
    // The permalinks that show only on hover are not part of the page.
    EXPECT_FALSE(pdfText(pdf).contains(QStringLiteral("\u00b6")));
    // Tagged, and hardly bigger than LibreOffice's own tagged PDF of the same page: no
    // structure of the document's own (a language on every line, say) is added to it.
    const qint64 peerSize =
        QFileInfo(peer(folder.file(QStringLiteral("peer/docs.html")),
                       QStringLiteral("pdf:writer_web_pdf_Export:") + OfficeApp::pdfOptions()))
            .size();
    ASSERT_GT(peerSize, 0);
    EXPECT_LE(QFileInfo(pdf).size(), peerSize * 115 / 100) << QFileInfo(pdf).size() << " against " << peerSize;

    const QString doc = folder.file(QStringLiteral("out/docs.doc"));
    exportTo("SAVE:WORDV", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    EXPECT_GE(inOrder(shown, words(renderedText(doc))), 0.995);
    // Tables stay tables, with every row.
    const QString odt = flat(doc, QStringLiteral("fodt"));
    EXPECT_EQ(odt.count(QStringLiteral("<table:table-row")), 151);
    EXPECT_FALSE(odt.contains(QStringLiteral("draw:text-box"))); // no fixed-size frames
}

TEST_F(CaptureTest, RightToLeftParagraphsStayRightToLeft)
{
    const QString arabic = QStringLiteral("\u0647\u0630\u0627 \u0646\u0635 \u0639\u0631\u0628\u064a \u0637\u0648\u064a\u0644");
    QString body;
    for (int i = 0; i < 12; ++i)
        body += QStringLiteral("<p>%1 %2</p>\n").arg(arabic).arg(i + 1);
    const QByteArray page = (QStringLiteral("<!DOCTYPE html><html lang=\"ar\" dir=\"rtl\"><head><meta charset=\"utf-8\">"
                                            "<title>\u0635\u0641\u062d\u0629</title></head><body>"
                                            "<div style=\"float:right;width:70%\">")
                             + body + QStringLiteral("<p dir=\"ltr\">An English line</p></div></body></html>"))
                                .toUtf8();
    server.addPage(QStringLiteral("/arabic"), page);
    open("/arabic");
    const QString doc = folder.file(QStringLiteral("arabic.doc"));
    exportTo("SAVE:WORDH", doc);
    // A title without ASCII letters proposes the fixed name, not a hidden ".doc".
    EXPECT_EQ(dialogs.dialogs.suggestedNames.value(0), QStringLiteral("WordDocument.doc"));
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    const QString odt = flat(doc, QStringLiteral("fodt"));
    // Paragraph styles written right to left, and the paragraphs that use them.
    // Written right to left and kept to the right, as the page shows them.
    static const QRegularExpression rtlStyle(
        QStringLiteral("<style:style style:name=\"([^\"]+)\" style:family=\"paragraph\"[^>]*>\\s*"
                       "<style:paragraph-properties([^>]*style:writing-mode=\"rl-tb\"[^>]*)>"));
    QStringList names;
    for (auto it = rtlStyle.globalMatch(odt); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(2).contains(QLatin1String("fo:text-align=\"end\""))
            || m.captured(2).contains(QLatin1String("fo:text-align=\"right\"")))
            names.append(m.captured(1));
    }
    int rtl = 0;
    for (const QString &name : names)
        rtl += static_cast<int>(odt.count(QStringLiteral("<text:p text:style-name=\"") + name + u'"'));
    EXPECT_GE(rtl, 12) << str(odt.left(6000));
    EXPECT_TRUE(textOf(doc).contains(arabic));
    EXPECT_TRUE(textOf(doc).contains(QStringLiteral("An English line")));
}

TEST_F(CaptureTest, PicturesComeFromWhatTheBrowserLoadedAndNothingIsFetchedAgain)
{
    HttpServer other; // another origin
    other.addPage(QStringLiteral("/far.png"), png(Qt::blue), "image/png");
    server.addPage(QStringLiteral("/near.png"), png(Qt::red), "image/png");
    // Shown only with the page's cookie: whoever asks without it gets nothing.
    server.addPage(QStringLiteral("/private.png"), png(Qt::green), "image/png");
    server.requireCookie(QStringLiteral("/private.png"), "session=yes");
    // Whoever asks for it a second time waits half a minute.
    server.addPage(QStringLiteral("/slow.png"), png(Qt::yellow), "image/png", 30000);
    server.delayFrom(QStringLiteral("/slow.png"), 2);
    const QByteArray secret = png(Qt::magenta, 7, 7) + "SECRET-FILE-CONTENT";
    folder.write(QStringLiteral("secret.png"), secret);
    const QString page = QStringLiteral("<html><head><title>Pictures</title></head><body><p>Four pictures.</p>"
                                        "<p><img src=\"/near.png\"> <img src=\"%1\"></p><p><img src=\"/private.png\">"
                                        " <img src=\"/slow.png\"></p><p><img src=\"%2\" width=1 height=1></p>"
                                        "<p>End of the pictures.</p></body></html>")
                             .arg(other.url(QStringLiteral("/far.png")),
                                  QUrl::fromLocalFile(folder.file(QStringLiteral("secret.png"))).toString());
    server.addPage(QStringLiteral("/pictures"), page.toUtf8());
    server.addHeader(QStringLiteral("/pictures"), "Set-Cookie: session=yes; Path=/");
    open("/pictures");
    const int requestsBefore = server.totalRequests() + other.totalRequests();

    const QString doc = folder.file(QStringLiteral("pictures.odt"));
    QElapsedTimer clock;
    clock.start();
    exportTo("SAVE:WORDH", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    EXPECT_LT(clock.elapsed(), 25000);
    EXPECT_EQ(server.totalRequests() + other.totalRequests(), requestsBefore); // nothing asked for again
    const QString odt = flat(doc, QStringLiteral("fodt"));
    EXPECT_EQ(embeddedPictures(odt), 4);
    EXPECT_FALSE(odt.contains(QStringLiteral("xlink:href=\"http"))); // nothing linked, everything embedded
    EXPECT_FALSE(odt.contains(QStringLiteral("xlink:href=\"file")));
    QFile odtFile(doc);
    ASSERT_TRUE(odtFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(odtFile.readAll().contains("SECRET-FILE-CONTENT"));
    EXPECT_FALSE(odt.contains(QString::fromLatin1(QByteArray("SECRET-FILE-CONTENT").toBase64())));

    // The PDF shows them too.
    const QString pdf = folder.file(QStringLiteral("pictures.pdf"));
    exportTo("SAVE:PDF", pdf);
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    const QString images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    static const QRegularExpression pictureLine(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+image\\s"),
                                                QRegularExpression::MultilineOption);
    EXPECT_EQ(images.count(pictureLine), 4) << str(images);
    EXPECT_EQ(server.totalRequests() + other.totalRequests(), requestsBefore);
}

TEST_F(CaptureTest, APageCannotHookTheCopyOrTheWait)
{
    server.addPage(QStringLiteral("/hooks"),
                   "<html><head><title>Hooks</title><script>"
                   "Object.defineProperty(document, 'readyState', {get: function () { return 'loading'; }});"
                   "document.addEventListener('copy', function (e) {"
                   "  e.clipboardData.setData('text/plain', 'INJECTED-BY-PAGE');"
                   "  e.clipboardData.setData('text/html', '<p>INJECTED-BY-PAGE</p>'); e.preventDefault(); });"
                   "</script></head><body><h1>The real article</h1><p>Its first paragraph.</p></body></html>");
    open("/hooks");
    const QString doc = folder.file(QStringLiteral("hooks.doc"));
    exportTo("SAVE:WORDH", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    const QString text = textOf(doc);
    EXPECT_TRUE(text.contains(QStringLiteral("The real article")));
    EXPECT_TRUE(text.contains(QStringLiteral("Its first paragraph.")));
    EXPECT_FALSE(text.contains(QStringLiteral("INJECTED")));
    // The clipboard holds the page, as the user would copy it.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->text().contains(QStringLiteral("Its first paragraph.")));
    EXPECT_TRUE(data->html().contains(QStringLiteral("<h1>The real article</h1>")));
    EXPECT_FALSE(data->html().contains(QStringLiteral("INJECTED")));
}

TEST_F(CaptureTest, FramesOfTheSameSiteAreTakenIn)
{
    server.addPage(QStringLiteral("/inner"), "<html><body><p>Text inside the frame.</p></body></html>");
    server.addPage(QStringLiteral("/left"), "<html><body><p>Left frame words.</p></body></html>");
    server.addPage(QStringLiteral("/right"), "<html><body><p>Right frame words.</p></body></html>");
    server.addPage(QStringLiteral("/framed"), "<html><head><title>Framed</title></head><body><p>Before the frame.</p>"
                                              "<iframe src=\"/inner\"></iframe><p>After the frame.</p></body></html>");
    server.addPage(QStringLiteral("/frameset"), "<html><head><title>Frameset</title></head><frameset cols=\"50%,50%\">"
                                                "<frame src=\"/left\"><frame src=\"/right\"></frameset></html>");
    open("/framed");
    const QString one = folder.file(QStringLiteral("framed.pdf"));
    exportTo("SAVE:PDF", one);
    const QStringList framed = words(pdfText(one));
    EXPECT_GE(inOrder(words(QStringLiteral("Before the frame. Text inside the frame. After the frame.")), framed), 1.0)
        << str(framed.join(u' '));

    open("/frameset");
    const QString two = folder.file(QStringLiteral("frameset.pdf"));
    exportTo("SAVE:PDF", two);
    ASSERT_EQ(lastMessage(), lang().entry(108) + two);
    EXPECT_GE(inOrder(words(QStringLiteral("Left frame words. Right frame words.")), words(pdfText(two))), 1.0);
}

TEST_F(CaptureTest, SpreadsheetCellsHoldTheTextThePageShows)
{
    server.addPage(QStringLiteral("/table"), longDocumentationPage(1, 12));
    open("/table");
    const QString xls = folder.file(QStringLiteral("table.xls"));
    exportTo("SAVE:EXCEL", xls);
    ASSERT_EQ(lastMessage(), lang().entry(108) + xls);
    const QString csv = TextFile::readText(convert(xls, QStringLiteral("csv"), xls + QStringLiteral(".csv"))).value_or(QString());
    // Footnote markers stay markers; plain numbers are numbers.
    EXPECT_TRUE(csv.contains(QStringLiteral("NAME_1,7,(2),"))) << str(csv.left(3000));
    EXPECT_FALSE(csv.contains(QStringLiteral(",-2,")));
    const QString fods = flat(xls, QStringLiteral("fods"));
    EXPECT_TRUE(fods.contains(QStringLiteral("office:value-type=\"float\" office:value=\"84\"")));
    EXPECT_FALSE(fods.contains(QStringLiteral("office:value=\"-2\"")));
    // Headings hold their text alone: no hidden permalink glued to it.
    EXPECT_FALSE(csv.contains(QStringLiteral("\u00b6")));
    EXPECT_FALSE(csv.contains(QStringLiteral("#section-1")));
}

TEST_F(CaptureTest, APageStillLoadingIsTakenWhenItHasCompleted)
{
    server.addPage(QStringLiteral("/late.js"), "document.write('<p>Written by the late script.</p>');",
                   "text/javascript", 2500);
    server.addPage(QStringLiteral("/loading"), "<html><head><title>Loading</title></head><body><p>First part.</p>"
                                               "<script src=\"/late.js\"></script><p>Last part.</p></body></html>");
    open("/home"); // the export starts while the next page loads
    window->addressBox()->setEditText(url("/loading"));
    window->tabs()->goAddress(0);
    const QString doc = folder.file(QStringLiteral("loading.doc"));
    exportTo("SAVE:WORDH", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    const QString text = textOf(doc);
    EXPECT_TRUE(text.contains(QStringLiteral("First part.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Written by the late script.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Last part.")));
}
