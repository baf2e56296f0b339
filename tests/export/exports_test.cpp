#include "export/exportfixture.h"
#include "platform/office/protocol.h"
#include "platform/commandbar.h"
#include "platform/twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QUrl>

namespace {

const QByteArray kWeather = R"(<html><head><title>Weather report for Monday, 3 May</title></head><body>
<h1>Sunny spells over the hills</h1>
<p>A <b>bright</b> start and an <i>unsettled</i> evening.</p>
<ul><li>Morning mist</li><li>Afternoon sun</li></ul>
<table border="1"><tr><th>Town</th><th>High</th></tr><tr><td>Ashford</td><td>21</td></tr>
<tr><td>Barnet</td><td>19</td></tr></table>
<p><a href="http://forecast.example.net/week">The week ahead</a></p>
</body></html>)";

class ExportsTest : public ExportTest
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        server.addPage(QStringLiteral("/weather"), kWeather);
        server.addPage(QStringLiteral("/empty"), "<html><head><title>Nothing</title></head><body></body></html>");
    }
};

} // namespace

TEST_F(ExportsTest, WordLandscapeFromTheFirstTemplate)
{
    open("/weather");
    const QString target = folder.file(QStringLiteral("out/Weather.doc"));
    folder.mkdir(QStringLiteral("out"));
    folder.write(QStringLiteral("out/Weather.doc"), "an older file is replaced without a question");
    dialogs.dialogs.files = {target};
    const QByteArray templateBefore = folder.read(QStringLiteral("Data/Template.doc"));
    click(3, "SAVE:WORDH");
    ASSERT_EQ(dialogs.dialogs.suggestedNames, QStringList{QStringLiteral("WeatherreportforMon.doc")});
    EXPECT_EQ(dialogs.dialogs.filters.value(0), QStringLiteral("Microsoft Word (*.doc)|*.doc"));
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + target);
    EXPECT_EQ(window->windowOpacity(), 1.0);

    // Word 97: an OLE compound file.
    EXPECT_TRUE(folder.read(QStringLiteral("out/Weather.doc")).startsWith("\xD0\xCF\x11\xE0"));
    const QString text = textOf(target);
    EXPECT_TRUE(text.contains(QStringLiteral("Sunny spells over the hills"))) << str(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Ashford")));
    EXPECT_TRUE(text.contains(QStringLiteral("21")));
    EXPECT_TRUE(text.contains(QStringLiteral("The week ahead")));
    EXPECT_TRUE(text.contains(QStringLiteral("Afternoon sun")));
    EXPECT_TRUE(landscape(target));
    EXPECT_EQ(folder.read(QStringLiteral("Data/Template.doc")), templateBefore); // never written
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("Data"))).entryList({QStringLiteral(".~lock*")}, QDir::Hidden | QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("out"))).entryList(QDir::Hidden | QDir::Files).size() == 3);
}

TEST_F(ExportsTest, WordPortraitUsesTheOtherTemplateAndOtherFormats)
{
    open("/weather");
    dialogs.dialogs.files = {folder.file(QStringLiteral("portrait.odt"))};
    click(3, "SAVE:WORDV");
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + folder.file(QStringLiteral("portrait.odt")));
    EXPECT_TRUE(folder.read(QStringLiteral("portrait.odt")).startsWith("PK")); // OpenDocument zip
    EXPECT_FALSE(landscape(folder.file(QStringLiteral("portrait.odt"))));
    EXPECT_TRUE(textOf(folder.file(QStringLiteral("portrait.odt"))).contains(QStringLiteral("Barnet")));
}

TEST_F(ExportsTest, PdfWithItsSideDocument)
{
    open("/weather");
    folder.mkdir(QStringLiteral("my.files"));
    const QString target = folder.file(QStringLiteral("my.files/Page.pdf"));
    dialogs.dialogs.files = {target};
    click(3, "SAVE:PDF");
    EXPECT_EQ(dialogs.dialogs.suggestedNames.value(0), QStringLiteral("WeatherreportforMon.pdf"));
    EXPECT_EQ(dialogs.dialogs.filters.value(0), QStringLiteral("PDF  (*.pdf)|*.pdf"));
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + target);
    ASSERT_TRUE(folder.exists(QStringLiteral("my.files/Page.doc")));
    const QString pdfText = run(QStringLiteral("pdftotext"), {target, QStringLiteral("-")});
    EXPECT_TRUE(pdfText.contains(QStringLiteral("Sunny spells over the hills"))) << str(pdfText);
    EXPECT_TRUE(pdfText.contains(QStringLiteral("Ashford")));
    EXPECT_TRUE(textOf(folder.file(QStringLiteral("my.files/Page.doc"))).contains(QStringLiteral("Barnet")));
    EXPECT_FALSE(pageSize(target).isEmpty());
    EXPECT_FALSE(landscape(folder.file(QStringLiteral("my.files/Page.doc")))); // the portrait template
}

TEST_F(ExportsTest, EmptyPageSaysSoAndNothingMore)
{
    open("/empty");
    QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    dialogs.dialogs.files = {folder.file(QStringLiteral("never.doc"))};
    click(3, "SAVE:WORDH");
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].text, window->state().lang.entry(120));
    EXPECT_TRUE(dialogs.dialogs.suggestedNames.isEmpty()); // no dialog, no worker
    EXPECT_FALSE(folder.exists(QStringLiteral("never.doc")));
    EXPECT_EQ(window->windowOpacity(), 1.0);

    // The spreadsheet does not clear the clipboard, but never exports what it held.
    QGuiApplication::clipboard()->setText(QStringLiteral("a password the user copied"));
    dialogs.dialogs.files = {folder.file(QStringLiteral("never.xls"))};
    click(3, "SAVE:EXCEL");
    ASSERT_EQ(dialogs.dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.dialogs.messages[1].text, window->state().lang.entry(120));
    EXPECT_FALSE(folder.exists(QStringLiteral("never.xls")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a password the user copied"));
}

TEST_F(ExportsTest, CancelSaysNothingAndLeavesNoWorker)
{
    open("/weather");
    click(3, "SAVE:PDF");
    ASSERT_EQ(dialogs.dialogs.suggestedNames.size(), 1);
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty()); // a cancel is no save
    // LibreOffice was started ahead, while the page was taken; it is gone.
    EXPECT_TRUE(workerProcesses().isEmpty());
    EXPECT_EQ(window->windowOpacity(), 1.0);
}

TEST_F(ExportsTest, MissingWorkerIsReported)
{
    open("/weather");
    QFile::remove(folder.file(QStringLiteral("quorl-office")));
    dialogs.dialogs.files = {folder.file(QStringLiteral("x.doc"))};
    click(3, "SAVE:WORDH");
    EXPECT_TRUE(lastMessage().startsWith(window->state().lang.entry(220))) << str(lastMessage());
    EXPECT_FALSE(folder.exists(QStringLiteral("x.doc")));
    EXPECT_EQ(window->windowOpacity(), 1.0);
}

TEST_F(ExportsTest, LinksOfOtherSitesGoIntoLinksDoc)
{
    server.addPage(QStringLiteral("/links"),
                   "<html><head><title>Links</title></head><body>"
                   "<a href=\"/local/page\">same site</a>"
                   "<a href=\"http://other.example.net/one\">other</a>"
                   "<a href=\"http://finder.example.net/search?q=1\">search</a>"
                   "<a href=\"http://third.example.org/two\">third</a>"
                   "</body></html>");
    open("/links");
    click(3, "SAVE:GETLINKS");
    ASSERT_TRUE(folder.exists(QStringLiteral("Links.Doc")));
    ASSERT_EQ(shell.shell.urls.size(), 1);
    EXPECT_EQ(shell.shell.urls[0], QUrl::fromLocalFile(folder.file(QStringLiteral("Links.Doc"))));
    const QString text = textOf(folder.file(QStringLiteral("Links.Doc")));
    EXPECT_TRUE(text.contains(QStringLiteral("http://other.example.net/one")));
    EXPECT_TRUE(text.contains(QStringLiteral("http://third.example.org/two")));
    EXPECT_FALSE(text.contains(QStringLiteral("/local/page")));
    EXPECT_FALSE(text.contains(QStringLiteral("search?")));
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(ExportsTest, PageSourceAndWebArchive)
{
    open("/weather");
    folder.write(QStringLiteral("DOC.TXT"), "old source");
    click(3, "EDIT:VIEW");
    ASSERT_TRUE(folder.exists(QStringLiteral("Doc.Txt")));
    EXPECT_FALSE(folder.exists(QStringLiteral("DOC.TXT")));
    EXPECT_TRUE(folder.read(QStringLiteral("Doc.Txt")).contains("<h1>Sunny spells over the hills</h1>"));
    ASSERT_EQ(shell.shell.urls.size(), 1);
    EXPECT_EQ(shell.shell.urls[0], QUrl::fromLocalFile(folder.file(QStringLiteral("Doc.Txt"))));

    const QString archive = folder.file(QStringLiteral("weather.mht"));
    dialogs.dialogs.files = {archive};
    click(3, "SAVE:HTML");
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + archive);
    ASSERT_TRUE(folder.exists(QStringLiteral("weather.mht")));
    window->browser(1)->navigate(QUrl::fromLocalFile(archive).toString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->browser(1)->busy() && !window->browser(1)->lastCompleted().isEmpty(); },
                                15000));
    EXPECT_EQ(window->browser(1)->locationName(), QStringLiteral("Weather report for Monday, 3 May"));
    const auto text = window->browser(1)->plainText();
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->contains(QStringLiteral("Sunny spells over the hills"))) << str(*text);
    EXPECT_TRUE(text->contains(QStringLiteral("Ashford")));

    // The complete page and the HTML alone through the same dialog.
    // The HTML alone through the same dialog; a name typed without an extension gets
    // the chosen format's, and the message names the file really written.
    dialogs.dialogs.files = {folder.file(QStringLiteral("only"))};
    dialogs.dialogs.filterChoices = {2};
    click(3, "SAVE:HTML");
    EXPECT_TRUE(folder.read(QStringLiteral("only.html")).contains("Ashford"));
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + folder.file(QStringLiteral("only.html")));
    // A cancel says nothing.
    const qsizetype shown = dialogs.dialogs.messages.size();
    click(3, "SAVE:HTML");
    EXPECT_EQ(dialogs.dialogs.messages.size(), shown);
}

// ---- spreadsheet, presentation and page picture -------------------------------------

namespace {

class ScreenExportTest : public ExportsTest
{
protected:
    void SetUp() override
    {
        ExportsTest::SetUp();
        server.addPage(QStringLiteral("/green"),
                       "<html><head><title></title><style>body{background:rgb(10,200,30);margin:0}</style></head>"
                       "<body><p>green page</p></body></html>");
    }
    // Slides of a presentation read back through LibreOffice, and the pixel size of
    // its pictures.
    int slides(const QString &path)
    {
        OfficeWorker worker(folder.file(QStringLiteral("quorl-office")), folder.file(QStringLiteral("readback")));
        EXPECT_TRUE(worker.start().ok());
        const auto loaded = worker.request({{OfficeProtocol::kOperation, OfficeProtocol::Op::load},
                                            {OfficeProtocol::Field::path, path}, {OfficeProtocol::Field::copy, true}});
        worker.quit();
        return loaded.data.value(QStringLiteral("parts")).toInt();
    }
    QString pictureSizes(const QString &presentation)
    {
        const QString odp = convert(presentation, QStringLiteral("odp"), presentation + QStringLiteral(".odp"));
        return run(QStringLiteral("python3"),
                   {QStringLiteral("-c"),
                    QStringLiteral("import sys,zipfile,struct\n"
                                   "z=zipfile.ZipFile(sys.argv[1])\n"
                                   "for n in z.namelist():\n"
                                   "  if n.startswith('Pictures/') and n.endswith('.png'):\n"
                                   "    d=z.read(n); print('%dx%d' % struct.unpack('>II', d[16:24]))\n"),
                    odp})
            .trimmed();
    }
};

} // namespace

TEST_F(ScreenExportTest, SpreadsheetHoldsTheTablesTextsAndNumbers)
{
    open("/weather");
    const QString target = folder.file(QStringLiteral("weather.xls"));
    folder.write(QStringLiteral("weather.xls"), "an old file that is deleted first");
    dialogs.dialogs.files = {target};
    click(3, "SAVE:EXCEL");
    EXPECT_EQ(dialogs.dialogs.suggestedNames.value(0), QStringLiteral("WeatherreportforMon.xls"));
    EXPECT_EQ(dialogs.dialogs.filters.value(0), QStringLiteral("Microsoft Excel(*.xls)|*.xls"));
    EXPECT_EQ(lastMessage(), window->state().lang.entry(108) + target);
    EXPECT_EQ(window->windowOpacity(), 1.0);
    EXPECT_TRUE(folder.read(QStringLiteral("weather.xls")).startsWith("\xD0\xCF\x11\xE0"));
    // The first sheet is the added one, with the page on it.
    const QString sheet = TextFile::readText(convert(target, QStringLiteral("fods"), target + QStringLiteral(".fods")))
                              .value_or(QString());
    EXPECT_TRUE(sheet.contains(QStringLiteral("Ashford")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("office:value-type=\"float\" office:value=\"21\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("table:name=\"Sheet1\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("table:name=\"Sheet2\"")));
    const QString csv = TextFile::readText(convert(target, QStringLiteral("csv"), target + QStringLiteral(".csv")))
                            .value_or(QString());
    EXPECT_TRUE(csv.contains(QStringLiteral("Barnet,19"))) << str(csv);
}

TEST_F(ScreenExportTest, EmptyTitlesProposeTheFixedNames)
{
    open("/green");
    click(3, "SAVE:EXCEL"); // cancelled
    click(3, "SAVE:PPT");   // cancelled
    EXPECT_EQ(dialogs.dialogs.suggestedNames,
              (QStringList{QStringLiteral("ExcelDocument.xls"), QStringLiteral("PPTDocument.ppt")}));
    EXPECT_EQ(window->state().exportBusy, 0);
    // A cancelled export shows no message.
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(ScreenExportTest, PresentationCollectsSlidesOfTheScreen)
{
    open("/weather");
    const QString target = folder.file(QStringLiteral("pages.ppt"));
    dialogs.dialogs.files = {target};
    click(3, "SAVE:PPT");
    EXPECT_EQ(dialogs.dialogs.filters.value(0), QStringLiteral("Microsoft Powerpoint(*.ppt)|*.ppt"));
    const LangTable &lang = window->state().lang;
    EXPECT_EQ(lastMessage(), lang.entry(216) + QStringLiteral(" 1 ") + lang.entry(217) + QStringLiteral("\r\n") + target);
    EXPECT_EQ(slides(target), 1);

    dialogs.dialogs.files = {target};
    click(3, "SAVE:PPT");
    EXPECT_EQ(lastMessage(), lang.entry(216) + QStringLiteral(" 2 ") + lang.entry(217) + QStringLiteral("\r\n") + target);
    EXPECT_EQ(slides(target), 2);
    EXPECT_EQ(window->state().exportBusy, 0);
    EXPECT_TRUE(window->state().barsShown);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QString sizes = pictureSizes(target);
    EXPECT_TRUE(sizes.split(u'\n').contains(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height())))
        << str(sizes);
}

namespace {

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
}

} // namespace

TEST_F(ScreenExportTest, TheScreenPictureHoldsThePageWholeAndNoBar)
{
    // A red line at the top of the page, a blue one held at the bottom of its view.
    server.addPage(QStringLiteral("/edges"),
                   "<html><head><title>Edges</title><style>body{margin:0;background:rgb(10,200,30)}"
                   "#top{height:8px;background:rgb(200,0,0)}"
                   "#bottom{position:fixed;left:0;right:0;bottom:0;height:8px;background:rgb(0,0,200)}</style></head>"
                   "<body><div id=top></div><p style='margin-top:300px'>edges</p><div id=bottom></div></body></html>");
    open("/edges");
    const QColor red(200, 0, 0), green(10, 200, 30), blue(0, 0, 200);
    for (int round = 0; round < 3; ++round) {
        click(3, "EDIT:PICTURE");
        const QImage picture(folder.file(QStringLiteral("Images/") + Exports::pictureName(round)));
        ASSERT_FALSE(picture.isNull()) << str(lastMessage());
        const QPoint origin = window->mapToGlobal(QPoint(0, 0));
        const int width = window->width();
        const int bars = window->barPanel()->height();
        const int status = window->statusPanel()->height();
        // Where the page's view reaches with the bars hidden.
        const int bottom = window->height() - status + Twips::toPixelsY(35);
        auto at = [&](int x, int y) { return picture.pixelColor(origin + QPoint(x, y)); };
        // No bar: the page's own top, and nothing but the page, where the bar panel was.
        for (int y = 0; y < bars + 4; ++y) {
            for (int x = 0; x < width; x += 5) {
                const QColor expected = y < 8 ? red : green;
                ASSERT_TRUE(near(at(x, y), expected)) << "round " << round << ", " << x << "," << y << ": "
                                                      << str(at(x, y).name());
            }
        }
        // The page whole: its bottom line at the bottom of the larger view, not where
        // the smaller view had it; drawn right across.
        for (int x = 0; x < width; x += 5)
            ASSERT_TRUE(near(at(x, bottom - 4), blue)) << "round " << round << ", " << x << ": " << str(at(x, bottom - 4).name());
        EXPECT_TRUE(near(at(width / 2, bottom - bars - 4), green)) << str(at(width / 2, bottom - bars - 4).name());
        // Below the page, where the status panel is, only the window's plain ground.
        const QColor ground = at(0, bottom);
        for (int y = bottom; y < window->height(); ++y) {
            for (int x = 0; x < width; x += 5)
                ASSERT_EQ(at(x, y), ground) << "round " << round << ", " << x << "," << y;
        }
        // The bars are back afterwards.
        EXPECT_TRUE(window->state().barsShown);
        EXPECT_TRUE(window->statusPanel()->isVisible());
        EXPECT_EQ(window->currentBrowser()->widget()->y(), bars);
    }
}

TEST_F(ScreenExportTest, PagePicturesAreNumberedScreens)
{
    open("/green");
    click(3, "EDIT:PICTURE");
    const QString first = folder.file(QStringLiteral("Images/Quorl000.bmp"));
    EXPECT_EQ(lastMessage(), window->state().lang.entry(192) + QStringLiteral(": ") + first);
    const QImage picture(first);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QGuiApplication::primaryScreen()->geometry().size());
    // The bars were hidden: the page reaches the top of the window.
    const QPoint top = window->mapToGlobal(QPoint(window->width() / 2, 3));
    EXPECT_EQ(picture.pixelColor(top), QColor(10, 200, 30));
    EXPECT_TRUE(window->state().barsShown);
    EXPECT_EQ(window->state().pictureCount, 1);

    window->state().pictureCount = 11;
    click(3, "EDIT:PICTURE");
    EXPECT_TRUE(folder.exists(QStringLiteral("Images/Quorl011.bmp")));
    EXPECT_EQ(Exports::pictureName(1000), QStringLiteral("Quorl000.bmp"));
    EXPECT_EQ(Exports::pictureName(7), QStringLiteral("Quorl007.bmp"));

    // No Images folder: the user is told, nothing is counted, the program goes on.
    QDir(folder.file(QStringLiteral("Images"))).removeRecursively();
    click(3, "EDIT:PICTURE");
    EXPECT_TRUE(lastMessage().startsWith(window->state().lang.entry(226))) << str(lastMessage());
    EXPECT_EQ(window->state().pictureCount, 12);
    EXPECT_TRUE(window->isVisible());
}
