#include "export/exports.h"
#include "export/officeapp.h"
#include "export/pagecapture.h"
#include "support/tempfolder.h"

#include <QJsonDocument>
#include <QJsonObject>

TEST(SuggestName, KeepsLettersAndDigitsOfTheFirst22Characters)
{
    const struct { const char *title; const char *ext; const char *fixed; const char *name; } cases[] = {
        {"Weather report for Monday, 3 May", ".doc", "", "WeatherreportforMon.doc"},
        {"\xc3\x9c" "ber uns", ".doc", "", "beruns.doc"},
        {"", ".doc", "", ".doc"},
        {"", ".pdf", "", ".pdf"},
        {"", ".doc", "WordDocument", "WordDocument.doc"},
        {"", ".pdf", "PDFDocument", "PDFDocument.pdf"},
        {"", ".xls", "ExcelDocument", "ExcelDocument.xls"},
        {"", ".ppt", "PPTDocument", "PPTDocument.ppt"},
        {"Q3 2026: sales/costs", ".xls", "ExcelDocument", "Q32026salescosts.xls"},
        {"!!! ???", ".doc", "", ".doc"},
        {"abcdefghijklmnopqrstuvwxyz", ".doc", "", "abcdefghijklmnopqrstuv.doc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PageCapture::suggestName(QString::fromUtf8(c.title), QString::fromLatin1(c.ext),
                                           QString::fromLatin1(c.fixed)),
                  QString::fromLatin1(c.name))
            << c.title;
}

TEST(SideDocument, ReplacesTheExtensionOfTheFileName)
{
    EXPECT_EQ(Exports::sideDocumentPath(QStringLiteral("/out/Page.pdf")), QStringLiteral("/out/Page.doc"));
    EXPECT_EQ(Exports::sideDocumentPath(QStringLiteral("/my.files/Page.pdf")), QStringLiteral("/my.files/Page.doc"));
    EXPECT_EQ(Exports::sideDocumentPath(QStringLiteral("/my.files/Page")), QStringLiteral("/my.files/Page.doc"));
    EXPECT_EQ(Exports::sideDocumentPath(QStringLiteral("/out/a.b.pdf")), QStringLiteral("/out/a.b.doc"));
}

TEST(SiteName, FromTheHostPart)
{
    const struct { const char *address; const char *site; } cases[] = {
        {"http://www.example.com/news/today.html", "example"},
        {"http://www.example.com", "example"},
        {"https://www.example.com/a", "example"},
        {"https://news.example.org/a/b", "news.example"},
        {"http://example.com/", "example"},
        {"http://127.0.0.1:8080/page", "127.0.0.1"},
        {"http://localhost:3000/x", "localhost"},
        {"quorl:start", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Exports::siteName(QString::fromLatin1(c.address)), QString::fromLatin1(c.site)) << c.address;
}

TEST(SiteName, OutsideLinksDropTheSiteAndSearches)
{
    const QStringList links = {
        QStringLiteral("http://www.example.com/about"),   QStringLiteral("http://other.example.net/"),
        QStringLiteral("http://www.example.org/"),        QStringLiteral("http://find.example.net/search?q=x"),
        QStringLiteral("http://third.example.net/example"), QStringLiteral("http://Example.net/"),
    };
    // Any address that holds the name is taken for the site's own, other hosts too.
    EXPECT_EQ(Exports::outsideLinks(QStringLiteral("example"), links), QStringLiteral("http://Example.net/\r\n"));
    EXPECT_EQ(Exports::outsideLinks(QStringLiteral("mysite"), links).count(QStringLiteral("\r\n")), 5);
    EXPECT_EQ(Exports::outsideLinks(QStringLiteral("example"), {}), QString());
    // No site name to tell: only the searches go.
    EXPECT_EQ(Exports::outsideLinks(QString(), {QStringLiteral("http://a/"), QStringLiteral("http://b/search?x")}),
              QStringLiteral("http://a/\r\n"));
}

TEST(OfficeFormats, FollowTheChosenExtension)
{
    EXPECT_EQ(OfficeApp::writerFormat(QStringLiteral("/x/a.doc")), QStringLiteral("doc"));
    EXPECT_EQ(OfficeApp::writerFormat(QStringLiteral("/x/a.DOCX")), QStringLiteral("docx"));
    EXPECT_EQ(OfficeApp::writerFormat(QStringLiteral("/x/a.odt")), QStringLiteral("odt"));
    EXPECT_EQ(OfficeApp::writerFormat(QStringLiteral("/x/a")), QStringLiteral("doc"));
    EXPECT_EQ(OfficeApp::calcFormat(QStringLiteral("/x/a.ods")), QStringLiteral("ods"));
    EXPECT_EQ(OfficeApp::calcFormat(QStringLiteral("/x/a.txt")), QStringLiteral("xls"));
    EXPECT_EQ(OfficeApp::impressFormat(QStringLiteral("/x/a.pptx")), QStringLiteral("pptx"));
    EXPECT_EQ(OfficeApp::impressFormat(QStringLiteral("/x/a.ppt")), QStringLiteral("ppt"));

    const QJsonObject pdf = QJsonDocument::fromJson(OfficeApp::pdfOptions().toUtf8()).object();
    EXPECT_EQ(pdf.value(QStringLiteral("UseTaggedPDF")).toObject().value(QStringLiteral("value")).toString(),
              QStringLiteral("true"));
    EXPECT_EQ(pdf.value(QStringLiteral("ExportBookmarks")).toObject().value(QStringLiteral("value")).toString(),
              QStringLiteral("false"));
    EXPECT_EQ(pdf.value(QStringLiteral("SelectPdfVersion")).toObject().value(QStringLiteral("value")).toString(),
              QStringLiteral("0"));
}

TEST(SheetName, OneASpreadsheetTakesForEachPage)
{
    const QString fallback = QStringLiteral("Tab 4");
    const struct { const char *title; const char *address; const char *name; } cases[] = {
        {"River levels: 2024/25", "http://a.example/", "River levels 2024 25"},
        {"[Draft] *what?* \\ notes", "", "Draft what notes"},
        {"'Quoted'", "", "Quoted"},
        {"A title much longer than any sheet's name can be", "", "A title much longer than any sh"},
        {"", "http://www.example.org/page", "www.example.org"},
        {"  \t ", "quorl:start", "Tab 4"},
        {"History", "", "History (2)"},
        {"Tab\x01" "le", "", "Tab le"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Exports::sheetName(QString::fromUtf8(c.title), QString::fromLatin1(c.address), fallback, {}),
                  QString::fromUtf8(c.name))
            << c.title;
    // Names already given, whatever their letter case, are numbered, still within 31.
    EXPECT_EQ(Exports::sheetName(QStringLiteral("News"), {}, fallback, {QStringLiteral("NEWS")}), QStringLiteral("News (2)"));
    EXPECT_EQ(Exports::sheetName(QStringLiteral("News"), {}, fallback, {QStringLiteral("News"), QStringLiteral("News (2)")}),
              QStringLiteral("News (3)"));
    const QString longName = Exports::sheetName(QStringLiteral("A title much longer than any sheet's name can be"), {},
                                                fallback, {QStringLiteral("A title much longer than any sh")});
    EXPECT_EQ(longName, QStringLiteral("A title much longer than an (2)"));
    // A character outside the basic plane is never cut in two.
    const QString emoji = QString::fromUtf8("123456789012345678901234567890\xF0\x9F\x8C\x8A");
    EXPECT_EQ(Exports::sheetName(emoji, {}, fallback, {}), QStringLiteral("123456789012345678901234567890"));
}
