#include "export/cleanpage.h"
#include "export/exports.h"
#include "export/mhtml.h"
#include "export/pagecapture.h"
#include "platform/downloads.h"
#include "platform/filespace.h"
#include "support/tempfolder.h"

#include <QDateTime>

namespace {

// An archive as the engine writes one: quoted-printable HTML, base64 pictures, folded
// headers, CR LF line ends.
QByteArray archive()
{
    QByteArray a = "From: <Saved by Blink>\r\nSubject: Pictures\r\nMIME-Version: 1.0\r\n"
                   "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"----Boundary--X----\"\r\n\r\n\r\n"
                   "------Boundary--X----\r\nContent-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n"
                   "Content-Location: http://127.0.0.1:8080/page\r\n\r\n"
                   "<html><body><p>caf=C3=A9 and a long line that is cut=\r\n here</p></body></html>\r\n"
                   "------Boundary--X----\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n"
                   "Content-Location: http://127.0.0.1:8080/a%20b.png\r\n\r\n";
    a += QByteArray("PNG-BYTES-ONE").toBase64() + "\r\n";
    a += "------Boundary--X----\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: base64\r\n"
         "Content-ID: <frame-1@mhtml.blink>\r\nContent-Location: http://other.example.net/far.gif?x=1\r\n\r\n";
    const QByteArray b64 = QByteArray("GIF-BYTES-TWO-").repeated(10).toBase64();
    a += b64.left(40) + "\r\n" + b64.mid(40) + "\r\n";
    a += "------Boundary--X------\r\n";
    return a;
}

} // namespace

TEST(Mhtml, PartsWithTheirAddressesAndDecodedBodies)
{
    const QList<Mhtml::Part> parts = Mhtml::parse(archive());
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].type, QByteArray("text/html"));
    EXPECT_EQ(parts[0].body, QByteArray("<html><body><p>caf\xc3\xa9 and a long line that is cut here</p></body></html>"));
    EXPECT_EQ(parts[1].location, QStringLiteral("http://127.0.0.1:8080/a%20b.png"));
    EXPECT_EQ(parts[1].body, QByteArray("PNG-BYTES-ONE"));
    EXPECT_EQ(parts[2].type, QByteArray("image/gif"));
    EXPECT_EQ(parts[2].contentId, QStringLiteral("frame-1@mhtml.blink"));
    EXPECT_EQ(parts[2].body, QByteArray("GIF-BYTES-TWO-").repeated(10));

    // Line feeds alone, a boundary without quotes.
    QByteArray lf = archive();
    lf.replace("\r\n", "\n");
    lf.replace("boundary=\"----Boundary--X----\"", "boundary=----Boundary--X----");
    EXPECT_EQ(Mhtml::parse(lf).size(), 3);
    EXPECT_EQ(Mhtml::parse(lf).at(1).body, QByteArray("PNG-BYTES-ONE"));

    // Not an archive, or one cut short: nothing guessed.
    EXPECT_TRUE(Mhtml::parse("<html>plain</html>").isEmpty());
    EXPECT_TRUE(Mhtml::parse("Content-Type: multipart/related\r\n\r\n--x\r\n").isEmpty());
    EXPECT_EQ(Mhtml::parse(archive().left(archive().indexOf("Content-Type: image/gif"))).size(), 2);
    EXPECT_EQ(Mhtml::decode("a=3Db=\r\nc=ZZ", "quoted-printable"), QByteArray("a=bc=ZZ"));
}

TEST(CleanPage, PicturesComeOnlyFromTheBytesTheEngineHad)
{
    QVariantMap fromScript{{QStringLiteral("html"),
                            QStringLiteral("<p>One <img src=\"quorl-picture:0\" width=\"60\" height=\"40\" alt=\"a\"></p>"
                                           "<p><img src=\"quorl-picture:1\" width=\"5\" height=\"5\" alt=\"\"> and "
                                           "<img src=\"quorl-picture:2\" width=\"5\" height=\"5\" alt=\"\"></p>")},
                           {QStringLiteral("text"), QStringLiteral("One\nand")},
                           {QStringLiteral("pictures"),
                            QStringList{QStringLiteral("http://127.0.0.1:8080/a b.png"),
                                        QStringLiteral("file:///home/user/secret.png"),
                                        QStringLiteral("http://other.example.net/far.gif?x=1")}},
                           {QStringLiteral("title"), QStringLiteral("A <title> & more")},
                           {QStringLiteral("url"), QStringLiteral("http://127.0.0.1:8080/page")},
                           {QStringLiteral("lang"), QStringLiteral("ar")},
                           {QStringLiteral("dir"), QStringLiteral("rtl")}};
    CleanPage page = CleanPage::fromScript(fromScript);
    EXPECT_FALSE(page.isEmpty());
    page.takePictures(archive());
    ASSERT_EQ(page.loaded.size(), 2); // the engine never had the file: one
    const QString doc = QString::fromUtf8(page.document(true, QDateTime(QDate(2026, 5, 3), QTime(9, 30))));
    EXPECT_TRUE(doc.contains(QStringLiteral("<img src=\"data:image/png;base64,")
                             + QString::fromLatin1(QByteArray("PNG-BYTES-ONE").toBase64())
                             + QStringLiteral("\" width=\"60\" height=\"40\" alt=\"a\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral("data:image/gif;base64,")));
    EXPECT_FALSE(doc.contains(QStringLiteral("quorl-picture")));
    EXPECT_FALSE(doc.contains(QStringLiteral("file:")));
    EXPECT_FALSE(doc.contains(QStringLiteral("secret")));
    EXPECT_EQ(doc.count(QStringLiteral("<img ")), 2);
    EXPECT_TRUE(doc.contains(QStringLiteral("<html lang=\"ar\" dir=\"rtl\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<body lang=\"ar\" dir=\"rtl\">")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<title>A &lt;title&gt; &amp; more</title>")));
    EXPECT_TRUE(doc.contains(QStringLiteral("content=\"2026-05-03T09:30:00\"")));
    // Without pictures (the spreadsheet): none at all.
    EXPECT_EQ(QString::fromUtf8(page.document(false, QDateTime::currentDateTime())).count(QStringLiteral("<img ")), 0);

    // A picture that is already data comes as it is; a page of nothing is empty.
    const CleanPage inline_ = CleanPage::fromScript(QVariantMap{
        {QStringLiteral("html"), QStringLiteral("<p><img src=\"quorl-picture:0\"></p>")},
        {QStringLiteral("pictures"), QStringList{QStringLiteral("data:image/png;base64,") + QString::fromLatin1(QByteArray("XYZ").toBase64())}}});
    ASSERT_EQ(inline_.loaded.size(), 1);
    EXPECT_EQ(inline_.loaded.value(0).data, QByteArray("XYZ"));
    EXPECT_TRUE(CleanPage::fromScript(QVariant()).isEmpty());
    EXPECT_TRUE(CleanPage::fromScript(QVariantMap{{QStringLiteral("html"), QString()}, {QStringLiteral("text"), QStringLiteral(" \n ")}}).isEmpty());

    // A page that runs no scripts: its text, escaped, a paragraph a line.
    const CleanPage text = CleanPage::fromText(QStringLiteral("First <b>line</b>\n\nSecond & last"), QString(), QString());
    EXPECT_EQ(text.html, QStringLiteral("<p>First &lt;b&gt;line&lt;/b&gt;</p>\n<p>Second &amp; last</p>\n"));
}

TEST(ExportNames, FixedNamesExtensionsAndFreeNames)
{
    EXPECT_EQ(PageCapture::suggestName(QStringLiteral("\u041d\u043e\u0432\u043e\u0441\u0442\u0438"), QStringLiteral(".doc"),
                                       QStringLiteral("WordDocument")),
              QStringLiteral("WordDocument.doc"));
    EXPECT_EQ(PageCapture::suggestName(QStringLiteral("\u0395\u03bb\u03bb\u03ac\u03b4\u03b1 2"), QStringLiteral(".pdf"),
                                       QStringLiteral("PDFDocument")),
              QStringLiteral("2.pdf"));
    EXPECT_EQ(PageCapture::suggestName(QStringLiteral("!!!"), QStringLiteral(".xls"), QStringLiteral("ExcelDocument")),
              QStringLiteral("ExcelDocument.xls"));

    const QString word = QStringLiteral("Microsoft Word (*.doc)|*.doc");
    const QStringList writer{QStringLiteral("docx"), QStringLiteral("odt")};
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/report"), word, 0, writer), QStringLiteral("/x/report.doc"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/report.DOC"), word, 0, writer), QStringLiteral("/x/report.DOC"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/report.odt"), word, 0, writer), QStringLiteral("/x/report.odt"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/report.v2"), word, 0, writer), QStringLiteral("/x/report.v2.doc"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/my.files/report"), word, 0, writer),
              QStringLiteral("/my.files/report.doc"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/page."), word, 0, {}), QStringLiteral("/x/page.doc"));
    const QString save = QStringLiteral("Archive (*.mht)|*.mht|Complete (*.html)|*.html|HTML (*.html)|*.html");
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/page"), save, 2, {}), QStringLiteral("/x/page.html"));
    EXPECT_EQ(PageCapture::withExtension(QStringLiteral("/x/page"), save, 0, {}), QStringLiteral("/x/page.mht"));

    TempFolder folder;
    folder.write(QStringLiteral("Page.doc"), "mine");
    folder.write(QStringLiteral("Page (2).doc"), "mine too");
    EXPECT_EQ(Exports::nextFreeName(folder.file(QStringLiteral("Other.doc"))), folder.file(QStringLiteral("Other.doc")));
    EXPECT_EQ(Exports::nextFreeName(folder.file(QStringLiteral("Page.doc"))), folder.file(QStringLiteral("Page (3).doc")));

    folder.write(QStringLiteral("Images/Quorl000.bmp"), "x");
    folder.write(QStringLiteral("Images/QUORL002.BMP"), "x");
    folder.write(QStringLiteral("Images/Quorl999.bmp"), "x");
    const QString images = folder.file(QStringLiteral("Images"));
    EXPECT_EQ(Exports::freePictureNumber(images, 0), 1);
    EXPECT_EQ(Exports::freePictureNumber(images, 2), 3);
    EXPECT_EQ(Exports::freePictureNumber(images, 999), 1001); // 999 and 1000 (Quorl000.bmp) are taken
    EXPECT_EQ(Exports::freePictureNumber(folder.file(QStringLiteral("none")), 5), 5);
}

TEST(Downloads, APagesNameBecomesAPlainFileName)
{
    const struct
    {
        QString proposed;
        QString offered;
    } rows[] = {
        {QStringLiteral("../.bash_aliases"), QStringLiteral("bash_aliases")},
        {QStringLiteral("../.config/autostart/invoice.desktop"), QStringLiteral("invoice.desktop")},
        {QStringLiteral("..\\..\\evil.exe"), QStringLiteral("evil.exe")},
        {QStringLiteral("/etc/passwd"), QStringLiteral("passwd")},
        {QStringLiteral(" . .profile "), QStringLiteral("profile")},
        {QStringLiteral("report\nline\t2.pdf"), QStringLiteral("reportline2.pdf")},
        {QStringLiteral("invoice\u202Efdp.exe"), QStringLiteral("invoicefdp.exe")},
        {QStringLiteral("Übersicht 2026.pdf"), QStringLiteral("Übersicht 2026.pdf")},
        {QStringLiteral(".."), QStringLiteral("download")},
        {QStringLiteral("dir/"), QStringLiteral("download")},
        {QString(), QStringLiteral("download")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Downloads::safeFileName(row.proposed), row.offered) << str(row.proposed);
    // Too long for a file name: shortened, its extension kept.
    const QString longName = Downloads::safeFileName(QString(300, u'é') + QStringLiteral(".pdf"));
    EXPECT_LE(longName.toUtf8().size(), 255);
    EXPECT_TRUE(longName.endsWith(QStringLiteral("é.pdf")));
}

TEST(WebArchive, OnlyOneThatReachesItsLastBoundaryIsWhole)
{
    const QByteArray archive = "From: <Saved by Blink>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n"
                               "\ttype=\"text/html\";\r\n\tboundary=\"----MultipartBoundary--abc----\"\r\n\r\n"
                               "------MultipartBoundary--abc----\r\nContent-Type: text/html\r\n\r\n<html>page</html>\r\n"
                               "------MultipartBoundary--abc------\r\n";
    EXPECT_TRUE(PageCapture::wholeArchive(archive));
    EXPECT_FALSE(PageCapture::wholeArchive(archive.left(archive.size() - 30)));
    EXPECT_FALSE(PageCapture::wholeArchive(archive.left(120)));
    EXPECT_FALSE(PageCapture::wholeArchive(QByteArray()));
}

TEST(FileSpace, TellsAFolderAndAMissingFolderApart)
{
    TempFolder folder;
    folder.mkdir(QStringLiteral("dir.doc"));
    EXPECT_EQ(FileSpace::diagnose(folder.file(QStringLiteral("dir.doc")), 10), FileSpace::Problem::IsFolder);
    EXPECT_EQ(FileSpace::diagnose(folder.file(QStringLiteral("no/such/a.doc")), 10), FileSpace::Problem::NoFolder);
    EXPECT_EQ(FileSpace::diagnose(folder.file(QStringLiteral("a.doc")), 10), FileSpace::Problem::None);
    EXPECT_EQ(FileSpace::diagnose(folder.file(QStringLiteral("a.doc")), qint64(1) << 62), FileSpace::Problem::DiskFull);
}

TEST(PageSource, InThePagesOwnEncoding)
{
    const QString text = QStringLiteral("<p>caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442</p>");
    EXPECT_EQ(PageCapture::encodeSource(text, QStringLiteral("UTF-8")), text.toUtf8());
    EXPECT_EQ(PageCapture::encodeSource(QStringLiteral("\u041f\u0440\u0438"), QStringLiteral("windows-1251")),
              QByteArray("\xcf\xf0\xe8"));
    EXPECT_EQ(PageCapture::encodeSource(QStringLiteral("caf\u00e9"), QStringLiteral("ISO-8859-1")), QByteArray("caf\xe9"));
    // A character the encoding cannot hold: the whole source as UTF-8, nothing lost.
    EXPECT_EQ(PageCapture::encodeSource(text, QStringLiteral("windows-1252")), text.toUtf8());
    EXPECT_EQ(PageCapture::encodeSource(text, QStringLiteral("no-such-encoding")), text.toUtf8());
}
