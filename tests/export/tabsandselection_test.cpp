// Several tabs in one document, and the part of a page the user selected alone, read
// back as a reader meets them.
#include "export/exportfixture.h"

#include <QBuffer>
#include <QImage>

namespace {

QByteArray png(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(200, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The text of a flat document's elements: each match's markup stripped.
QStringList texts(const QString &flatXml, const QRegularExpression &element)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList found;
    for (auto it = element.globalMatch(flatXml); it.hasNext();)
        found.append(it.next().captured(1).remove(tag).trimmed());
    return found;
}

class TabsTest : public ExportTest
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        server.addPage(QStringLiteral("/one"), "<html><head><title>Orchard notes</title></head><body>"
                                               "<h1>Apples in autumn</h1><p>Crisp russets ripen late in the year.</p>"
                                               "</body></html>");
        // Its last words come only once the reader sees it, its picture once they
        // scroll near it; the tab is never shown.
        server.addPage(QStringLiteral("/late.png"), png(240, 120), "image/png");
        server.addPage(QStringLiteral("/two"), "<html><head><title>River levels: 2024/25</title></head><body>"
                                               "<h1>Gauges along the river</h1><p id=\"seen\"></p><script>"
                                               "function seen() { if (document.visibilityState === 'visible')"
                                               " document.getElementById('seen').textContent = 'Read by the keeper.'; }"
                                               "document.addEventListener('visibilitychange', seen); seen();</script>"
                                               "<table border=\"1\"><tr><th>Town</th><th>Level</th></tr>"
                                               "<tr><td>Ashford</td><td>21</td></tr><tr><td>Barnet</td><td>19</td></tr>"
                                               "</table><div style=\"height:9000px\">Downstream.</div>"
                                               "<p><img src=\"/late.png\" loading=\"lazy\" width=\"240\" height=\"120\" "
                                               "alt=\"weir\"></p><p>Below the weir.</p></body></html>");
        server.addPage(QStringLiteral("/three"), "<html><head><title>Hill walks</title></head><body>"
                                                 "<h1>Over the ridge</h1><ul><li>Heather on the ridge</li>"
                                                 "<li>Larks above the moor</li></ul></body></html>");
    }

    // The three pages in the first three tabs, the first one shown; the other two
    // loaded in the background and never shown.
    void openTabs()
    {
        open("/one");
        for (int tab : {1, 2}) {
            const QString address = url(tab == 1 ? "/two" : "/three");
            window->browser(tab)->navigate(address);
            ASSERT_TRUE(loaded(tab, address)) << tab;
        }
        ASSERT_EQ(window->selectedTab(), 0);
    }

    // What the reader sees of tab k's section: its heading, its address, its page.
    QStringList sectionWords(int tab)
    {
        WebBrowser *web = window->browser(tab);
        return words(web->locationName()) + words(web->locationURL()) + pageWords(tab);
    }

    QString pdfPageText(const QString &pdf, int page)
    {
        const QString n = QString::number(page);
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")});
    }

    const QString kFilter = QStringLiteral("Microsoft Word (*.doc)|*.doc|PDF  (*.pdf)|*.pdf|Microsoft Excel(*.xls)|*.xls");
};

} // namespace

TEST_F(TabsTest, EveryTabInOneDocumentEachUnderItsHeadingInTabOrder)
{
    openTabs();
    const auto unseen = window->browser(1)->evaluate(QStringLiteral("document.visibilityState + document.body.innerText"));
    ASSERT_TRUE(unseen.has_value());
    ASSERT_TRUE(unseen->toString().startsWith(QLatin1String("hidden"))) << str(unseen->toString());
    ASSERT_FALSE(unseen->toString().contains(QLatin1String("keeper")));
    const QStringList expected = sectionWords(0) + sectionWords(1) + sectionWords(2);

    const QString doc = folder.file(QStringLiteral("tabs.odt"));
    exportTo("SAVE:TABS", doc);
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    EXPECT_EQ(dialogs.dialogs.suggestedNames.value(0), QStringLiteral("Tabs.doc"));
    EXPECT_EQ(dialogs.dialogs.filters.value(0), kFilter);
    // The window shows the tab it showed before, as it was.
    EXPECT_EQ(window->selectedTab(), 0);
    EXPECT_TRUE(window->browser(0)->widget()->isVisible());
    EXPECT_FALSE(window->browser(1)->widget()->isVisible());
    EXPECT_EQ(window->windowOpacity(), 1.0);

    EXPECT_GE(inOrder(expected, words(textOf(doc))), 1.0);
    // A heading the reader sees names each tab's page, its own headings below it; only
    // the tabs that show a page are there.
    const QString odt = flat(doc, QStringLiteral("fodt"));
    static const QRegularExpression heading(QStringLiteral("<text:h [^>]*text:outline-level=\"1\"[^>]*>(.*?)</text:h>"));
    EXPECT_EQ(texts(odt, heading),
              (QStringList{QStringLiteral("Orchard notes"), QStringLiteral("Apples in autumn"),
                           QStringLiteral("River levels: 2024/25"), QStringLiteral("Gauges along the river"),
                           QStringLiteral("Hill walks"), QStringLiteral("Over the ridge")}));
    // The background tab's page was taken as if in front: what it shows only when seen
    // is there, its late picture and its table.
    EXPECT_TRUE(odt.contains(QStringLiteral("Read by the keeper.")));
    EXPECT_EQ(odt.count(QStringLiteral("<office:binary-data>")), 1);
    EXPECT_EQ(odt.count(QStringLiteral("<table:table ")), 1);

    // The PDF, chosen by its filter: each tab's section on a page of its own.
    const QString pdf = folder.file(QStringLiteral("tabs.pdf"));
    dialogs.dialogs.files = {folder.file(QStringLiteral("tabs"))};
    dialogs.dialogs.filterChoices = {1};
    click(3, "SAVE:TABS");
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    EXPECT_GE(inOrder(expected, words(pdfText(pdf))), 1.0);
    EXPECT_TRUE(pdfInfo(pdf).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << str(pdfInfo(pdf));
    for (int tab = 0; tab < 3; ++tab) {
        EXPECT_EQ(words(pdfPageText(pdf, tab + 1)).mid(0, sectionWords(tab).size()), sectionWords(tab)) << tab;
    }
    // No word-processor document is left beside this PDF.
    EXPECT_FALSE(folder.exists(QStringLiteral("tabs.doc")));
}

TEST_F(TabsTest, EveryTabOnASheetOfItsOwnNamedFromItsPage)
{
    openTabs();
    const QString target = folder.file(QStringLiteral("tabs.xls"));
    dialogs.dialogs.files = {folder.file(QStringLiteral("tabs"))};
    dialogs.dialogs.filterChoices = {2};
    click(3, "SAVE:TABS");
    ASSERT_EQ(lastMessage(), lang().entry(108) + target);
    EXPECT_TRUE(folder.read(QStringLiteral("tabs.xls")).startsWith("\xD0\xCF\x11\xE0"));

    const QString sheets = flat(target, QStringLiteral("fods"));
    static const QRegularExpression sheet(QStringLiteral("<table:table table:name=\"([^\"]*)\"(.*?)</table:table>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QStringList names, contents;
    for (auto it = sheet.globalMatch(sheets); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        names.append(m.captured(1));
        contents.append(m.captured(2));
    }
    // A name a sheet cannot hold (":" and "/") is made one it can.
    ASSERT_EQ(names, (QStringList{QStringLiteral("Orchard notes"), QStringLiteral("River levels 2024 25"),
                                  QStringLiteral("Hill walks")}));
    EXPECT_TRUE(contents[0].contains(QStringLiteral("Crisp russets ripen late in the year.")));
    EXPECT_FALSE(contents[0].contains(QStringLiteral("Ashford")));
    EXPECT_TRUE(contents[1].contains(QStringLiteral("Ashford")));
    EXPECT_TRUE(contents[1].contains(QStringLiteral("office:value-type=\"float\" office:value=\"21\"")));
    EXPECT_TRUE(contents[1].contains(QStringLiteral("Below the weir.")));
    EXPECT_TRUE(contents[2].contains(QStringLiteral("Larks above the moor")));
    EXPECT_FALSE(contents[2].contains(QStringLiteral("Barnet")));
}

TEST_F(TabsTest, TabsWhosePageDiedOrNeverCameAreNamedAndTheOthersAreWritten)
{
    openTabs();
    // A fourth tab whose page does not come within the wait; what it showed before is
    // not taken for it.
    server.addPage(QStringLiteral("/slow"), "<html><head><title>Slow</title></head><body>late</body></html>",
                   "text/html; charset=utf-8", 40000);
    window->browser(3)->navigate(url("/three"));
    ASSERT_TRUE(loaded(3, url("/three")));
    window->browser(3)->navigate(url("/slow"));
    ASSERT_TRUE(endRenderer(1));

    const QString doc = folder.file(QStringLiteral("tabs.doc"));
    exportTo("SAVE:TABS", doc);
    ASSERT_EQ(dialogs.dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.dialogs.messages[0].icon, Dialogs::Icon::Information);
    const QStringList told = lastMessage().split(u'\n');
    ASSERT_EQ(told.size(), 5) << str(lastMessage());
    EXPECT_EQ(told[0], lang().entry(108) + doc);
    EXPECT_EQ(told[2], lang().entry(344));
    EXPECT_EQ(told[3], QStringLiteral("River levels: 2024/25 (") + url("/two") + QStringLiteral("): ") + lang().entry(345));
    EXPECT_TRUE(told[4].endsWith(url("/slow") + QStringLiteral("): ") + lang().entry(346))) << str(told[4]);
    EXPECT_EQ(window->selectedTab(), 0);
    const QStringList inDoc = words(textOf(doc));
    EXPECT_GE(inOrder(sectionWords(0) + sectionWords(2), inDoc), 1.0);
    EXPECT_FALSE(inDoc.contains(QStringLiteral("Ashford")));
    EXPECT_EQ(inDoc.count(QStringLiteral("Heather")), 1);
}

namespace {

class SelectionTest : public ExportTest
{
protected:
    void SetUp() override
    {
        ExportTest::SetUp();
        server.addPage(QStringLiteral("/parts"),
                       "<html><head><title>Field guide</title></head><body>\n"
                       "<h1>Birds of the hedge</h1>\n"
                       "<p>Opening words stay out.</p>\n"
                       "<p>Chosen words begin <b>here</b>.</p>\n"
                       "<table border=\"1\"><tr><th>Bird</th><th>Count</th></tr>"
                       "<tr><td>Wren</td><td>7</td></tr><tr><td>Robin</td><td>4</td></tr></table>\n"
                       "<p>Last chosen words end here and the rest stays out.</p>\n"
                       "<p>Closing words stay out.</p>\n"
                       "</body></html>");
    }
    // Selects from the start of the second paragraph to the middle of the third, as a
    // drag with the mouse would.
    void selectPart()
    {
        const auto selected = window->browser(0)->evaluate(QStringLiteral(
            "(function () { var p = document.querySelectorAll('p'); var last = p[2].firstChild;"
            " var r = document.createRange(); r.setStart(p[1].firstChild, 0);"
            " r.setEnd(last, last.nodeValue.indexOf(' and the rest'));"
            " var s = getSelection(); s.removeAllRanges(); s.addRange(r); return String(s); })()"));
        ASSERT_TRUE(selected.has_value());
        ASSERT_TRUE(selected->toString().startsWith(QLatin1String("Chosen words"))) << str(selected->toString());
    }
    int questions() const
    {
        return static_cast<int>(std::count_if(dialogs.dialogs.messages.cbegin(), dialogs.dialogs.messages.cend(),
                                              [](const ScriptedDialogs::Shown &m) { return m.icon == Dialogs::Icon::Question; }));
    }
};

} // namespace

TEST_F(SelectionTest, TheSelectedPartAloneOrTheWholePage)
{
    open("/parts");
    // Nothing selected, or white space alone: no question.
    click(3, "SAVE:WORDV"); // cancelled
    const auto blank = window->browser(0)->evaluate(QStringLiteral(
        "(function () { var gap = document.querySelector('h1').nextSibling; var r = document.createRange();"
        " r.selectNodeContents(gap); var s = getSelection(); s.removeAllRanges(); s.addRange(r);"
        " return gap.nodeType === 3 && String(s).trim() === '' && !s.isCollapsed; })()"));
    ASSERT_TRUE(blank.has_value() && blank->toBool());
    click(3, "SAVE:WORDV"); // cancelled
    EXPECT_EQ(dialogs.dialogs.suggestedNames.size(), 2);
    EXPECT_EQ(questions(), 0);

    // Yes, the default: only the selected part, its table whole.
    selectPart();
    const QString doc = folder.file(QStringLiteral("part.odt"));
    dialogs.dialogs.answers = {true};
    exportTo("SAVE:WORDH", doc);
    ASSERT_EQ(questions(), 1);
    EXPECT_EQ(dialogs.dialogs.messages.first().text, lang().entry(342));
    ASSERT_EQ(lastMessage(), lang().entry(108) + doc);
    const QStringList part = words(textOf(doc));
    EXPECT_EQ(part, words(QStringLiteral("Chosen words begin here. Bird Count Wren 7 Robin 4 Last chosen words end here")))
        << str(part.join(u' '));
    EXPECT_EQ(flat(doc, QStringLiteral("fodt")).count(QStringLiteral("<table:table-row")), 3);

    // The spreadsheet too.
    const QString sheet = folder.file(QStringLiteral("part.xls"));
    dialogs.dialogs.answers = {true};
    exportTo("SAVE:EXCEL", sheet);
    ASSERT_EQ(questions(), 2);
    ASSERT_EQ(lastMessage(), lang().entry(108) + sheet);
    const QString csv = TextFile::readText(convert(sheet, QStringLiteral("csv"), sheet + QStringLiteral(".csv"))).value_or(QString());
    EXPECT_TRUE(csv.contains(QStringLiteral("Wren,7"))) << str(csv);
    EXPECT_FALSE(csv.contains(QStringLiteral("Opening"))) << str(csv);
    EXPECT_FALSE(csv.contains(QStringLiteral("rest"))) << str(csv);

    // No: the whole page, the selection still there.
    const QString pdf = folder.file(QStringLiteral("whole.pdf"));
    dialogs.dialogs.answers = {false};
    exportTo("SAVE:PDF", pdf);
    ASSERT_EQ(questions(), 3);
    ASSERT_EQ(lastMessage(), lang().entry(108) + pdf);
    EXPECT_GE(inOrder(pageWords(), words(pdfText(pdf))), 1.0);
}
