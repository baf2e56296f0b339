#include "settings/history.h"
#include "../support/tempfolder.h"

TEST(HistoryFile, KeepsTheLastSixteenWithoutEmptyItems)
{
    QStringList items;
    for (int i = 1; i <= 20; ++i)
        items.append(QStringLiteral("http://site%1.example/").arg(i));
    const QStringList saved = HistoryFile::linesToSave(items);
    ASSERT_EQ(saved.size(), 16);
    EXPECT_EQ(saved.first(), QStringLiteral("http://site5.example/"));
    EXPECT_EQ(saved.last(), QStringLiteral("http://site20.example/"));

    items[18] = QString();
    items[10] = QString();
    EXPECT_EQ(HistoryFile::linesToSave(items).size(), 14);

    const QStringList same(3, QStringLiteral("http://a.example/"));
    EXPECT_EQ(HistoryFile::linesToSave(same), same);
}

TEST(HistoryFile, ReadsEveryLineAndToleratesNoFile)
{
    TempFolder dir;
    EXPECT_TRUE(HistoryFile::read(dir.file(QStringLiteral("none.hys"))).isEmpty());
    dir.write(QStringLiteral("h.hys"), "http://a.example/\r\n\r\nhttp://b.example/");
    EXPECT_EQ(HistoryFile::read(dir.file(QStringLiteral("h.hys"))),
              (QStringList{QStringLiteral("http://a.example/"), QString(), QStringLiteral("http://b.example/")}));
    ASSERT_TRUE(HistoryFile::save(dir.file(QStringLiteral("h.hys")),
                                  HistoryFile::read(dir.file(QStringLiteral("h.hys")))));
    EXPECT_EQ(dir.read(QStringLiteral("h.hys")), QByteArray("http://a.example/\r\nhttp://b.example/\r\n"));
}
