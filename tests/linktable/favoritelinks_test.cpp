// The link table window and the record editor, opened from the real main window and
// driven with mouse clicks and keys under the window manager; every case reads the
// files back from the disk.
#include "browser/favoritelinks.h"
#include "commands/dispatch.h"
#include "linktable/linkfiles.h"
#include "linkdriver.h"
#include "platform/twips.h"
#include "support/windowfixture.h"

#include <QAccessible>
#include <QDate>
#include <QGuiApplication>
#include <QScreen>

using namespace LinkDriver;

namespace {

// Every message the program logs while it lives.
class MessageRecorder
{
public:
    explicit MessageRecorder(QStringList &messages)
    {
        s_messages = &messages;
        s_previous = qInstallMessageHandler(&MessageRecorder::handle);
    }
    ~MessageRecorder()
    {
        qInstallMessageHandler(s_previous);
        s_messages = nullptr;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (s_messages)
            s_messages->append(message);
        if (s_previous)
            s_previous(type, context, message);
    }
    static inline QStringList *s_messages = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

QString accessibleName(LinkGrid *grid, int row, int column)
{
    QAccessibleInterface *view = QAccessible::queryAccessibleInterface(grid);
    if (!view || !view->tableInterface())
        return QStringLiteral("<no table>");
    QAccessibleInterface *cell = view->tableInterface()->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
}

class FavoriteLinksTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char *path : {"/one", "/two", "/three"}) {
            server.addPage(QString::fromLatin1(path), QByteArrayLiteral("<html><head><title>Page ") + path
                                                          + "</title></head><body>linked</body></html>");
        }
    }

    // The main window, once the start-up timer has made the heart button usable.
    void ready()
    {
        start();
        QToolButton *heart = button(window->commandBar(0), "FAVORITE");
        ASSERT_TRUE(heart);
        ASSERT_TRUE(QTest::qWaitFor([&] { return heart->isEnabled(); }, 5000));
    }

    FavoriteLinks &favorites() { return window->favorites(); }

    LinkTableWindow *openLinkTable()
    {
        QTest::mouseClick(button(window->commandBar(0), "FAVORITE"), Qt::LeftButton);
        LinkTableWindow *table = favorites().linkTable();
        EXPECT_TRUE(table);
        if (table) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(table));
        }
        return table;
    }

    bool linkTableGone()
    {
        return QTest::qWaitFor([&] { return !favorites().linkTable(); }, 5000);
    }

    LinkEditor *editorOf(LinkTableWindow *table)
    {
        LinkEditor *editor = table->editor();
        EXPECT_TRUE(editor);
        if (editor) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(editor));
        }
        return editor;
    }

    QString base() const { return LinkFiles::baseName(folder.path()); }
    QStringList links(int group) const
    {
        return TextFile::readLines(LinkFiles::groupPath(base(), group)).value_or(QStringList{QStringLiteral("<none>")});
    }
    QStringList titles() const { return TextFile::readLines(LinkFiles::titlesPath(base())).value_or(QStringList()); }
    QByteArray bytes(int group) const { return folder.read(QStringLiteral("Links/Links.%1").arg(group, 3, 10, QChar(u'0'))); }

    void writeGroup(int group, const QByteArray &lines) const
    {
        folder.write(QStringLiteral("Links/Links.%1").arg(group, 3, 10, QChar(u'0')), lines);
    }
    void writeTitles(const QByteArray &lines) const { folder.write(QStringLiteral("Links/Links.Bok"), lines); }

    // Three loopback links as a save leaves them, in title order; passwords on the
    // first and the last.
    void threeLinks()
    {
        writeTitles("Loopback,3\r\n");
        writeGroup(0, (QStringLiteral("Page one;-;%1;-;;-;s3cret-A;-;one;-;2026-01-01\r\n"
                                      "Page three;-;%2;-;;-;;-;three;-;2026-01-03\r\n"
                                      "Page two;-;%3;-;;-;s3cret-B;-;two;-;2026-01-02\r\n")
                           .arg(url("/one"), url("/three"), url("/two")))
                          .toUtf8());
    }
};

} // namespace

TEST_F(FavoriteLinksTest, OpensCentredAndComesBackWhereItWasClosed)
{
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = table->frameGeometry();
    EXPECT_NEAR(frame.center().x(), screen.center().x(), 2);
    EXPECT_NEAR(frame.center().y(), screen.center().y(), 2);
    EXPECT_NEAR(table->width(), Twips::toPixelsX(14325), 1);
    EXPECT_NEAR(table->height(), Twips::toPixelsY(6030), 1);

    // Dragged by the strip beside the label with the real pointer, then made larger.
    DragButton *strip = table->moveStrip();
    const QPoint grab = strip->mapToGlobal(QPoint(strip->width() / 2, strip->height() / 2));
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x()), QString::number(grab.y())});
    QTest::qWait(150);
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
    QTest::qWait(200);
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x() - 80), QString::number(grab.y() + 60)});
    QTest::qWait(200);
    xdotool({QStringLiteral("mousemove"), QString::number(grab.x() - 120), QString::number(grab.y() + 90)});
    QTest::qWait(200);
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->frameGeometry().topLeft() == frame.topLeft() + QPoint(-120, 90); },
                                3000))
        << table->frameGeometry().x() << "," << table->frameGeometry().y();
    table->resize(table->width() + 60, table->height() + 40);
    QTest::qWait(100);
    const QRect moved = table->frameGeometry();

    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    const IniSettings &ini = window->state().ini;
    EXPECT_NEAR(ini.tabWinLeft, Twips::fromPixelsX(moved.x()), 1);
    EXPECT_NEAR(ini.tabWinTop, Twips::fromPixelsY(moved.y()), 1);
    EXPECT_NEAR(ini.tabWinWidth, Twips::fromPixelsX(moved.width()), 1);
    EXPECT_NEAR(ini.tabWinHeight, Twips::fromPixelsY(moved.height()), 1);

    table = openLinkTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->frameGeometry(), moved);
    EXPECT_EQ(table->group(), 0);
    press(table->commandBar(1), "EXIT6");
    ASSERT_TRUE(linkTableGone());

    window->goExit();
    const QStringList lines = TextFile::readLines(folder.file(QStringLiteral("Data/QuorlOffice.Ini"))).value();
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[4].toDouble(), ini.tabWinTop);
    EXPECT_EQ(lines[5].toDouble(), ini.tabWinLeft);
    EXPECT_EQ(lines[6].toDouble(), ini.tabWinHeight);
    EXPECT_EQ(lines[7].toDouble(), ini.tabWinWidth);
}

TEST_F(FavoriteLinksTest, ATabLoadsItsGroupAndOneTabIsSelectedAcrossTheStrips)
{
    QByteArray bok = "Office,3\r\n";
    for (int n = 2; n <= 32; ++n)
        bok += "G" + QByteArray::number(n) + ",0\r\n";
    bok += "Far away,1\r\n";
    writeTitles(bok);
    writeGroup(32, "Thirty-two;-;http://127.0.0.1:9/32;-;;-;;-;32;-;2026-03-02\r\n");
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->strip(0)->selected(), 0);
    for (int s = 1; s < 7; ++s)
        EXPECT_EQ(table->strip(s)->selected(), -1) << s;
    EXPECT_EQ(table->strip(2)->caption(2), QStringLiteral("Far away"));
    EXPECT_EQ(table->strip(6)->caption(14), QStringLiteral("Group 105"));
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("LibreOffice documentation"));

    clickTab(table->strip(2), 2);
    EXPECT_EQ(table->group(), 32);
    EXPECT_EQ(table->currentStrip(), 2);
    EXPECT_TRUE(table->table()->fileName().endsWith(QLatin1String("/Links/Links.032")));
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("Thirty-two"));
    EXPECT_TRUE(table->table()->cell(2, 1).isEmpty());
    EXPECT_EQ(table->strip(0)->selected(), -1);
    EXPECT_EQ(table->strip(2)->selected(), 2);

    // The keyboard moves along a strip by the same rule.
    QTest::keyClick(table->strip(2)->tabBar(), Qt::Key_Left);
    EXPECT_EQ(table->group(), 31);
    EXPECT_TRUE(table->table()->cell(1, 1).isEmpty());

    clickTab(table->strip(0), 0);
    EXPECT_EQ(table->group(), 0);
    EXPECT_EQ(table->strip(2)->selected(), -1);
    EXPECT_EQ(table->table()->cell(3, 1), QStringLiteral("The Document Foundation"));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    // Looking at groups saves nothing.
    EXPECT_EQ(links(32), QStringList{QStringLiteral("Thirty-two;-;http://127.0.0.1:9/32;-;;-;;-;32;-;2026-03-02")});
    EXPECT_EQ(titles().value(32), QStringLiteral("Far away,1"));
}

TEST_F(FavoriteLinksTest, AddsTheCurrentPageSortedIntoPlaceAndOnlyOnce)
{
    const QString path = QStringLiteral("/articles/") + QString(120, u'b') + QStringLiteral(".html");
    server.addPage(path, "<html><head><title>Bravo page</title></head><body>to keep</body></html>");
    ready();
    const QString address = url(path.toLatin1().constData());
    window->addressBox()->setEditText(address);
    window->tabs()->goAddress(0);
    ASSERT_TRUE(loaded(0, address));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->state().pageTitle == QLatin1String("Bravo page"); }, 5000));
    ASSERT_GT(window->addressBox()->currentText().size(), 100);

    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    press(table->commandBar(0), "ADDURL");
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString shown = window->addressBox()->currentText().left(100) + QStringLiteral("..");
    QStringList expected = {QStringLiteral("Bravo page;-;") + address + QStringLiteral(";-;;-;;-;") + shown
                                + QStringLiteral(";-;") + today};
    ASSERT_EQ(links(0).size(), 4);
    EXPECT_EQ(links(0).value(0), expected[0]);
    EXPECT_TRUE(links(0).value(1).startsWith(QLatin1String("LibreOffice documentation;-;")));
    EXPECT_EQ(titles().value(0), QStringLiteral("Office and documents, 4"));
    // Reloaded: the new link stands in its sorted place, numbered.
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("Bravo page"));
    EXPECT_EQ(table->table()->cell(1, 2), address);
    EXPECT_EQ(table->table()->cell(1, 5), shown);
    EXPECT_EQ(table->table()->cell(4, 0), QStringLiteral("4"));

    // The same page again adds nothing, but the group is still written and read.
    QFile::remove(LinkFiles::groupPath(base(), 0));
    press(table->commandBar(0), "ADDURL");
    ASSERT_EQ(links(0).size(), 4);
    EXPECT_EQ(links(0).value(0), expected[0]);
    EXPECT_EQ(titles().value(0), QStringLiteral("Office and documents, 4"));
    EXPECT_EQ(table->table()->count(), 4);
    EXPECT_TRUE(table->grid()->isVisible());
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
}

TEST_F(FavoriteLinksTest, SortKeepsEveryLinkOnScreenAndEachPasswordOnItsRow)
{
    QByteArray file;
    const char *const words[] = {"apple", "Banana", "cherry", "Damson", "elder", "Fig"};
    for (int i = 0; i < 60; ++i) {
        const QByteArray title = QByteArray(words[i % 6]) + " " + QByteArray::number(59 - i);
        file += title + ";-;http://127.0.0.1:9/" + QByteArray::number(i) + ";-;;-;pw " + title + ";-;;-;d\r\n";
    }
    writeTitles("Sixty,60\r\n");
    writeGroup(0, file);
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    table->table()->setMinimumRows(40);
    clickTab(table->strip(0), 0); // loads the group again, with 40 rows at least
    LinkTable *rows = table->table();
    ASSERT_EQ(rows->rows(), 61);

    clickCell(table->grid(), 5, 4); // a password column is not a sort key: by title
    ASSERT_EQ(rows->cell(5, 4), rows->concealed(5)); // shown
    press(table->commandBar(0), "SORT");
    EXPECT_EQ(rows->rows(), 61);
    EXPECT_EQ(rows->count(), 60);
    for (int r = 1; r <= 60; ++r) {
        EXPECT_EQ(rows->cell(r, 0), QString::number(r));
        EXPECT_EQ(rows->concealed(r), QStringLiteral("pw ") + rows->cell(r, 1)) << r;
        EXPECT_EQ(rows->cell(r, 4), LinkTable::kMask) << r;
        if (r > 1) {
            EXPECT_LE(QString::compare(rows->cell(r - 1, 1), rows->cell(r, 1), Qt::CaseInsensitive), 0) << r;
        }
    }
    EXPECT_EQ(rows->cell(1, 1), QStringLiteral("apple 11"));
    EXPECT_EQ(bytes(0), file); // a sort is not saved by itself

    press(table->commandBar(0), "SAVE2");
    const QStringList saved = links(0);
    ASSERT_EQ(saved.size(), 60);
    for (int i = 0; i < 60; ++i) {
        const QStringList fields = saved[i].split(LinkFiles::kSeparator);
        EXPECT_EQ(fields.value(3), QStringLiteral("pw ") + fields.value(0));
        if (i > 0) {
            EXPECT_LT(saved[i - 1].split(LinkFiles::kSeparator).value(0), fields.value(0)); // case counts here
        }
    }
    EXPECT_TRUE(saved[0].startsWith(QLatin1String("Banana ")));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}

TEST_F(FavoriteLinksTest, PasswordsShowOneAtATimeAndOnlyTheMaskReachesOtherReaders)
{
    threeLinks();
    QStringList messages;
    MessageRecorder recorder(messages);
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    LinkTable *rows = table->table();
    LinkGrid *grid = table->grid();
    ASSERT_EQ(rows->cell(3, 1), QStringLiteral("Page two"));
    EXPECT_EQ(rows->cell(3, 4), LinkTable::kMask);
    EXPECT_EQ(accessibleName(grid, 3, 4), LinkTable::kMask);
    EXPECT_EQ(accessibleName(grid, 3, 1), QStringLiteral("Page two"));

    clickCell(grid, 3, 4);
    EXPECT_EQ(rows->cell(3, 4), QStringLiteral("s3cret-B"));
    EXPECT_EQ(accessibleName(grid, 3, 4), LinkTable::kMask);
    clickCell(grid, 3, 4);
    EXPECT_EQ(rows->cell(3, 4), LinkTable::kMask);
    clickCell(grid, 3, 4);
    clickCell(grid, 1, 4);
    EXPECT_EQ(rows->cell(3, 4), LinkTable::kMask);
    EXPECT_EQ(rows->cell(1, 4), QStringLiteral("s3cret-A"));
    clickCell(grid, 2, 4); // no password there: nothing changes
    EXPECT_EQ(rows->cell(1, 4), QStringLiteral("s3cret-A"));
    EXPECT_TRUE(rows->cell(2, 4).isEmpty());
    clickCell(grid, 1, 1); // another column: nothing changes
    EXPECT_EQ(rows->cell(1, 4), QStringLiteral("s3cret-A"));

    // A reload masks it again; the next click shows it at once.
    press(table->commandBar(0), "SAVE2");
    EXPECT_EQ(rows->cell(1, 4), LinkTable::kMask);
    clickCell(grid, 1, 4);
    EXPECT_EQ(rows->cell(1, 4), QStringLiteral("s3cret-A"));
    // From the keyboard: Space on the cell hides and shows it.
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(rows->cell(1, 4), LinkTable::kMask);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(rows->cell(1, 4), QStringLiteral("s3cret-A"));

    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c < 7; ++c) {
            const QModelIndex index = rows->index(r, c);
            EXPECT_FALSE(rows->data(index, Qt::ToolTipRole).toString().contains(QLatin1String("s3cret")));
        }
    }
    EXPECT_FALSE(grid->toolTip().contains(QLatin1String("s3cret")));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    EXPECT_EQ(links(0).value(0).split(LinkFiles::kSeparator).value(3), QStringLiteral("s3cret-A"));
    window->goExit();
    for (const QString &m : std::as_const(messages))
        EXPECT_FALSE(m.contains(QLatin1String("s3cret"))) << str(m);
}

TEST_F(FavoriteLinksTest, GroupTitleIsTypedAndEnterStoresIt)
{
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    QLineEdit *box = table->titleBox();
    EXPECT_FALSE(box->isVisible());
    press(table->commandBar(0), "TITLE");
    ASSERT_TRUE(box->isVisible());
    EXPECT_TRUE(table->titleEditing());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 192));
    type(box, QStringLiteral("Travel, near"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(table->strip(0)->caption(0), QStringLiteral("Travel, near"));
    EXPECT_EQ(titles().value(0), QString::fromUtf8("Travel‚ near,3"));

    // "TITLE" twice: what was typed is dropped.
    press(table->commandBar(0), "TITLE");
    type(box, QStringLiteral("Nope"));
    press(table->commandBar(0), "TITLE");
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(table->strip(0)->caption(0), QStringLiteral("Travel, near"));
    EXPECT_EQ(titles().value(0), QString::fromUtf8("Travel‚ near,3"));
    // Escape in the box drops what was typed and leaves the window open.
    press(table->commandBar(0), "TITLE");
    type(box, QStringLiteral("Nope"));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->strip(0)->caption(0), QStringLiteral("Travel, near"));

    // Another group, named with a title of any script.
    clickTab(table->strip(1), 4);
    press(table->commandBar(0), "TITLE");
    type(box, QString::fromUtf8("Viaggi ✈ 旅行"));
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_EQ(table->strip(1)->caption(4), QString::fromUtf8("Viaggi ✈ 旅行"));
    EXPECT_EQ(titles().value(19), QString::fromUtf8("Viaggi ✈ 旅行,0"));

    // Enter on an empty box leaves the group without a title.
    clickTab(table->strip(0), 0);
    press(table->commandBar(0), "TITLE");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(table->strip(0)->caption(0).isEmpty());
    EXPECT_EQ(titles().value(0), QStringLiteral(",3"));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    EXPECT_EQ(titles().size(), 150);
}

TEST_F(FavoriteLinksTest, DoubleClicksEditOpenOrDoNothing)
{
    threeLinks();
    ready();
    const int history = window->addressBox()->count();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    const QByteArray before = bytes(0);

    doubleClickCell(table->grid(), 1, 6); // the date
    EXPECT_FALSE(table->editor());
    EXPECT_TRUE(table->isVisible());

    doubleClickCell(table->grid(), 1, 0); // the row number
    LinkEditor *editor = editorOf(table);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->box(1)->text(), QStringLiteral("Page one"));
    EXPECT_EQ(editor->box(4)->text(), QStringLiteral("s3cret-A"));
    editor->box(1)->setFocus();
    retype(editor->box(1), QStringLiteral("Changed but closed"));
    editor->close(); // the window manager's close: nothing changes
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));
    EXPECT_EQ(links(0), TextFile::splitLines(QString::fromUtf8(before)));
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("Page one"));
    EXPECT_EQ(table->table()->cell(1, 4), LinkTable::kMask);

    doubleClickCell(table->grid(), 2, 1); // a title opens its link
    ASSERT_TRUE(linkTableGone());
    EXPECT_EQ(window->state().chosenLink, url("/three"));
    EXPECT_EQ(window->addressBox()->currentText(), url("/three"));
    EXPECT_TRUE(loaded(0, url("/three")));
    EXPECT_EQ(window->addressBox()->count(), history); // no history entry
}

TEST_F(FavoriteLinksTest, OpenLinkButtonAndFillerRows)
{
    threeLinks();
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    clickCell(table->grid(), 3, 5);
    press(table->commandBar(0), "GOURL");
    ASSERT_TRUE(linkTableGone());
    EXPECT_TRUE(loaded(0, url("/two")));

    // A filler row holds no address: the window closes and nothing is opened.
    table = openLinkTable();
    ASSERT_TRUE(table);
    EXPECT_TRUE(window->state().chosenLink.isEmpty());
    doubleClickCell(table->grid(), 6, 5);
    ASSERT_TRUE(linkTableGone());
    EXPECT_TRUE(window->state().chosenLink.isEmpty());
    QTest::qWait(200);
    EXPECT_EQ(window->browser(0)->lastCompleted(), url("/two"));
}

TEST_F(FavoriteLinksTest, EditorStoresExactlyWhatIsTypedAndTheGroupIsSortedAgain)
{
    threeLinks();
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    clickCell(table->grid(), 1, 0); // selects the row of "Page one"
    press(table->commandBar(0), "EDITURL");
    LinkEditor *editor = editorOf(table);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit link"));
    EXPECT_EQ(editor->label(4)->text(), QStringLiteral("Password"));
    EXPECT_EQ(editor->label(6)->text(), QStringLiteral("Date added"));
    EXPECT_EQ(editor->box(4)->text(), QStringLiteral("s3cret-A"));
    EXPECT_EQ(editor->commandBar()->barStyle(), 1);

    const QString fields[7] = {QString(),
                               QStringLiteral("Zulu, the last;-;one"),
                               url("/one"),
                               QStringLiteral("line one\nline two\r\nthree"),
                               QString::fromUtf8("pa;-;ss ‚w\u2029ord;–;"),
                               QString::fromUtf8("日本語 עברית 😀 ;-"),
                               QStringLiteral("2026-12-31")};
    for (int i = 1; i <= 6; ++i)
        retype(editor->box(i), fields[i]);
    for (int i = 1; i <= 6; ++i)
        ASSERT_EQ(editor->box(i)->text(), fields[i]) << i;
    press(editor->commandBar(), "SAVE3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));

    // Sorted again: the edited link is last now, its password still its own.
    const QStringList saved = links(0);
    ASSERT_EQ(saved.size(), 3);
    EXPECT_TRUE(saved[0].startsWith(QLatin1String("Page three;-;")));
    EXPECT_TRUE(saved[1].startsWith(QLatin1String("Page two;-;")));
    EXPECT_EQ(saved[1].split(LinkFiles::kSeparator).value(3), QStringLiteral("s3cret-B"));
    const QStringList stored = saved[2].split(LinkFiles::kSeparator);
    ASSERT_EQ(stored.size(), 6);
    EXPECT_EQ(LinkFiles::decodeField(stored[0]), fields[1]);
    EXPECT_EQ(LinkFiles::decodeField(stored[3]), fields[4]);
    EXPECT_EQ(table->table()->cell(3, 4), LinkTable::kMask);

    // Read back by a fresh window, every field is as typed.
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    table = openLinkTable();
    ASSERT_TRUE(table);
    for (int i = 1; i <= 6; ++i) {
        if (i != 4) {
            EXPECT_EQ(table->table()->cell(3, i), fields[i]) << i;
        }
    }
    EXPECT_EQ(table->table()->concealed(3), fields[4]);
    EXPECT_EQ(table->table()->concealed(2), QStringLiteral("s3cret-B"));
    doubleClickCell(table->grid(), 3, 0);
    editor = editorOf(table);
    ASSERT_TRUE(editor);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(editor->box(i)->text(), fields[i]) << i;
    QTest::keyClick(editor, Qt::Key_Escape); // changes nothing
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));
    EXPECT_EQ(links(0), saved);
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}

TEST_F(FavoriteLinksTest, EditorDeleteDropsTheLinkAndReopensWhereItWasClosed)
{
    writeTitles("Five,5\r\n");
    writeGroup(0, "a;-;1\r\nb;-;2\r\nc;-;3;-;;-;pc\r\nd;-;4\r\ne;-;5\r\n");
    // A settings file from an earlier run, where neither window had been placed yet.
    folder.write(QStringLiteral("Data/QuorlOffice.Ini"), "0\r\n0\r\n12000\r\n16000\r\n" + QByteArray("0\r\n").repeated(9));
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);

    clickCell(table->grid(), 2, 1);
    press(table->commandBar(0), "EDITURL");
    LinkEditor *editor = editorOf(table);
    ASSERT_TRUE(editor);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(editor->frameGeometry().center().x(), screen.center().x(), 2);
    editor->move(editor->pos() + QPoint(-70, 50));
    QTest::qWait(100);
    const QPoint where = editor->frameGeometry().topLeft();
    editor->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));
    EXPECT_EQ(links(0).size(), 5);

    clickCell(table->grid(), 3, 1);
    press(table->commandBar(0), "EDITURL");
    editor = editorOf(table);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->frameGeometry().topLeft(), where);
    EXPECT_EQ(editor->box(1)->text(), QStringLiteral("c"));
    press(editor->commandBar(), "CANCEL");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));
    EXPECT_EQ(links(0), (QStringList{QStringLiteral("a;-;1;-;;-;;-;;-;"), QStringLiteral("b;-;2;-;;-;;-;;-;"),
                                     QStringLiteral("d;-;4;-;;-;;-;;-;"), QStringLiteral("e;-;5;-;;-;;-;;-;")}));
    EXPECT_EQ(titles().value(0), QStringLiteral("Five,4"));
    EXPECT_EQ(table->table()->count(), 4);
    EXPECT_EQ(table->table()->cell(3, 1), QStringLiteral("d"));
    EXPECT_FALSE(table->table()->modified());
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty()); // nothing was left to ask about

    // The link table reads the settings file again when it opens; the editor's place
    // from this run is kept all the same.
    table = openLinkTable();
    ASSERT_TRUE(table);
    doubleClickCell(table->grid(), 1, 0);
    editor = editorOf(table);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->frameGeometry().topLeft(), where);
    editor->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table->editor(); }, 3000));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}

TEST_F(FavoriteLinksTest, DamagedGroupCountsNeverSizeBeyondTheTable)
{
    writeTitles("Minus,-5\r\nBig,99999999999\r\nHuge,1111111111111111111\r\nWord,many\r\n");
    writeGroup(0, "lost;-;http://127.0.0.1:9/lost\r\n");
    writeGroup(1, "one;-;http://127.0.0.1:9/1\r\ntwo;-;http://127.0.0.1:9/2\r\n");
    writeGroup(2, "three;-;http://127.0.0.1:9/3\r\n");
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->table()->count(), 0);
    EXPECT_EQ(table->table()->rows(), table->table()->minimumRows());

    for (int tab : {1, 2}) {
        clickTab(table->strip(0), tab);
        EXPECT_EQ(table->table()->count(), LinkFiles::kMaxLinks) << tab;
        EXPECT_EQ(table->table()->rows(), LinkFiles::kMaxLinks + 1) << tab;
    }
    EXPECT_EQ(table->table()->cell(1, 1), QStringLiteral("three"));
    // Saving keeps the links there are and gives the group their count.
    clickTab(table->strip(0), 1);
    press(table->commandBar(0), "SAVE2");
    EXPECT_EQ(titles().value(1), QStringLiteral("Big,2"));
    EXPECT_EQ(links(1).size(), 2);
    EXPECT_EQ(table->table()->rows(), table->table()->minimumRows());
    clickTab(table->strip(0), 3);
    EXPECT_EQ(table->table()->count(), 0);
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}

TEST_F(FavoriteLinksTest, HelpOpensTheDocumentOfTheCurrentLanguage)
{
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    press(table->commandBar(0), "HELP2");
    ASSERT_EQ(shell.shell.urls.size(), 1);
    EXPECT_EQ(shell.shell.urls[0], QUrl::fromLocalFile(folder.file(QStringLiteral("Data/QuorlGOTabENG.pdf"))));
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());

    CommandCatalogue::instance().button(QStringLiteral("LANG:ITALIANO"))->setChecked(true);
    click(3, "LANG:ITALIANO");
    table = openLinkTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->label()->text(), QStringLiteral("Collegamenti preferiti"));
    EXPECT_EQ(button(table->commandBar(0), "HELP2")->toolTip(), QStringLiteral("Guida"));
    press(table->commandBar(0), "HELP2");
    ASSERT_EQ(shell.shell.urls.size(), 2);
    EXPECT_EQ(shell.shell.urls[1], QUrl::fromLocalFile(folder.file(QStringLiteral("Data/QuorlGOTabITA.pdf"))));

    // Without its document, help shows nothing at all.
    QFile::remove(folder.file(QStringLiteral("Data/QuorlGOTabITA.pdf")));
    press(table->commandBar(0), "HELP2");
    EXPECT_EQ(shell.shell.urls.size(), 2);
    EXPECT_TRUE(dialogs.dialogs.messages.isEmpty());
    EXPECT_TRUE(table->isVisible());
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}

TEST_F(FavoriteLinksTest, BarsColumnsAndTextsWhateverTheMainWindowsLook)
{
    folder.writeOptions(url("/home"), 2);
    ready();
    ASSERT_EQ(window->commandBar(0)->barStyle(), 2);
    for (int round = 0; round < 2; ++round) {
        LinkTableWindow *table = openLinkTable();
        ASSERT_TRUE(table);
        EXPECT_EQ(table->commandBar(0)->barStyle(), 1);
        EXPECT_EQ(table->commandBar(1)->barStyle(), 1);
        EXPECT_EQ(CommandCatalogue::instance().bar(QStringLiteral("TAB0"))->buttons().size(), 12);
        EXPECT_EQ(CommandCatalogue::instance().bar(QStringLiteral("TAB1"))->buttons().size(), 2);
        EXPECT_EQ(button(table->commandBar(0), "ADDURL")->toolTip(), QStringLiteral("Add the current page"));
        EXPECT_EQ(button(table->commandBar(0), "TITLE")->toolTip(), QStringLiteral("Group title"));
        EXPECT_EQ(button(table->commandBar(1), "EXIT6")->toolTip(), QStringLiteral("Exit"));
        EXPECT_EQ(CommandCatalogue::instance().button(QStringLiteral("SEARCH"))->toolTip(), QStringLiteral("Search"));
        EXPECT_EQ(table->label()->text(), QStringLiteral("Favourite links"));
        EXPECT_EQ(table->windowTitle(), QStringLiteral("Favourite links"));
        LinkGrid *grid = table->grid();
        const char *const headers[] = {"No.", "Title", "", "Notes", "Password", "Address shown", "Date added"};
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(headers[c]));
        EXPECT_TRUE(grid->isColumnHidden(2));
        EXPECT_EQ(grid->columnWidth(1), Twips::toPixelsX(4000));
        EXPECT_EQ(grid->columnWidth(6), Twips::toPixelsX(1100));
        EXPECT_TRUE(grid->isRowHidden(0));
        // The buttons end before the label and the drag strip begin.
        QToolButton *last = button(table->commandBar(0), "TITLE");
        EXPECT_LT(last->mapTo(table, QPoint(last->width(), 0)).x(), table->label()->mapTo(table, QPoint()).x());
        press(table->commandBar(0), "EXIT5");
        ASSERT_TRUE(linkTableGone());
    }
}

TEST_F(FavoriteLinksTest, ResizingFollowsTheWindowOnlyAboveItsNarrowestWidth)
{
    ready();
    LinkTableWindow *table = openLinkTable();
    ASSERT_TRUE(table);
    LinkGrid *grid = table->grid();
    table->resize(1100, 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->width() == 1100; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(table->picLab()->width(), 1100);
    EXPECT_EQ(table->commandBar(1)->x() + table->commandBar(1)->width(), 1100);
    EXPECT_EQ(table->strip(0)->width(), 1100 - Twips::toPixelsX(250));
    EXPECT_EQ(table->strip(0)->height(), 600 - Twips::toPixelsY(1900));
    EXPECT_EQ(grid->width(), table->strip(0)->width() - Twips::toPixelsX(10));
    EXPECT_EQ(grid->y(), Twips::toPixelsY(2040));
    int others = 0;
    for (int c : {0, 1, 3, 4, 6})
        others += grid->columnTwips(c);
    EXPECT_NEAR(grid->columnTwips(5), Twips::fromPixelsX(grid->width()) - others - 300, 30);

    const QRect before = grid->geometry();
    const int column5 = grid->columnWidth(5);
    table->resize(Twips::toPixelsX(13400) - 20, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return table->width() == Twips::toPixelsX(13400) - 20; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(grid->geometry(), before);
    EXPECT_EQ(grid->columnWidth(5), column5);
    press(table->commandBar(0), "EXIT5");
    ASSERT_TRUE(linkTableGone());
}
