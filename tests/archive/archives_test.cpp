#include "archive/czip.h"
#include "support/tempfolder.h"
#include "support/zipreader.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Names = std::vector<const char *>;

QStringList list(const Names &names)
{
    QStringList result;
    for (const char *n : names)
        result.append(QString::fromUtf8(n));
    return result;
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// A small tree of files and folders, some of them hidden.
class ArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.write(QStringLiteral("docs/a.txt"), "alpha");
        tree.write(QStringLiteral("docs/sub/b.txt"), "beta");
        tree.write(QStringLiteral("docs/.hidden"), "secret");
        tree.write(QStringLiteral("docs/.cache/c.txt"), "cache");
        tree.write(QStringLiteral("top.txt"), "top");
        out.mkdir(QStringLiteral("."));
    }

    // An object set up with the tree as its base folder and the given patterns.
    std::unique_ptr<cZip> make(const QString &archive, const QStringList &patterns)
    {
        auto zip = std::make_unique<cZip>();
        zip->setZipFile(out.file(archive));
        zip->setBasePath(tree.path());
        for (const QString &pattern : patterns)
            zip->addFileSpec(pattern);
        QObject::connect(zip.get(), &cZip::progress, zip.get(),
                         [this](int, const QString &text) { progress.append(text); });
        return zip;
    }

    ZipListing read(const QString &archive)
    {
        EXPECT_TRUE(unzipTests(out.file(archive))) << str(archive);
        ZipListing listing = readZip(out.file(archive));
        EXPECT_TRUE(listing.ok) << str(listing.error);
        return listing;
    }

    void setAge(const QString &relative, const QDateTime &time)
    {
        QFile f(tree.file(relative));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    }

    TempFolder tree;
    TempFolder out;
    QStringList progress;
};

} // namespace

TEST_F(ArchiveTest, NamesFollowTheFolderRecursionDirectoryAndHiddenOptions)
{
    const struct {
        bool folderNames, recurse, directories, hidden;
        Names expected;
    } cases[] = {
        {true, true, true, false,
         {"docs/", "docs/a.txt", "docs/sub/", "docs/sub/b.txt", "top.txt"}},
        {true, true, false, false, {"docs/a.txt", "docs/sub/b.txt", "top.txt"}},
        {true, true, false, true, {"docs/.cache/c.txt", "docs/.hidden", "docs/a.txt", "docs/sub/b.txt", "top.txt"}},
        {true, true, true, true,
         {"docs/", "docs/.cache/", "docs/.cache/c.txt", "docs/.hidden", "docs/a.txt", "docs/sub/", "docs/sub/b.txt",
          "top.txt"}},
        {false, true, true, false, {"a.txt", "b.txt", "top.txt"}},
        {true, false, true, false, {"docs/", "top.txt"}},
        {true, false, false, false, {"top.txt"}},
        {false, false, true, false, {"top.txt"}},
    };
    int row = 0;
    for (const auto &c : cases) {
        const QString name = QStringLiteral("case%1.zip").arg(row++);
        auto zip = make(name, {QStringLiteral("docs"), QStringLiteral("top.txt")});
        zip->setStoreFolderNames(c.folderNames);
        zip->setRecurseSubDirs(c.recurse);
        zip->setStoreDirectories(c.directories);
        zip->setIncludeSystemAndHiddenFiles(c.hidden);
        zip->zip();
        ASSERT_TRUE(zip->success()) << row << ": " << ZipLibrary::describe(zip->resultCode());
        const ZipListing listing = read(name);
        EXPECT_EQ(listing.sortedNames(), list(c.expected)) << "row " << row;
        for (const QString &n : listing.names) {
            if (n.endsWith(u'/'))
                continue;
            const QString source = n == QLatin1String("a.txt")   ? QStringLiteral("docs/a.txt")
                                   : n == QLatin1String("b.txt") ? QStringLiteral("docs/sub/b.txt")
                                                                 : n;
            EXPECT_EQ(listing.entries.value(n).data, tree.read(source)) << str(n);
        }
    }
}

TEST_F(ArchiveTest, WildcardsAbsolutePathsAndTheBaseFolder)
{
    auto zip = make(QStringLiteral("w.zip"), {QStringLiteral("docs/*.txt"), QStringLiteral("docs/s*")});
    zip->setStoreFolderNames(true);
    zip->setRecurseSubDirs(true);
    zip->zip();
    ASSERT_TRUE(zip->success());
    EXPECT_EQ(read(QStringLiteral("w.zip")).sortedNames(), list({"docs/a.txt", "docs/sub/b.txt"}));

    // Below the base folder names are relative to it, whichever way the file was named.
    const QString cwd = QDir::currentPath();
    auto based = make(QStringLiteral("b.zip"), {tree.file(QStringLiteral("docs/sub/b.txt")), QStringLiteral("a.txt")});
    based->setBasePath(tree.file(QStringLiteral("docs")));
    based->setStoreFolderNames(true);
    based->zip();
    ASSERT_TRUE(based->success());
    EXPECT_EQ(read(QStringLiteral("b.zip")).sortedNames(), list({"a.txt", "sub/b.txt"}));
    EXPECT_EQ(QDir::currentPath(), cwd); // the process's folder is left alone

    // Outside it the whole path is stored, without its leading "/".
    TempFolder elsewhere;
    elsewhere.write(QStringLiteral("far.txt"), "far");
    auto outside = make(QStringLiteral("o.zip"), {elsewhere.file(QStringLiteral("far.txt"))});
    outside->setStoreFolderNames(true);
    outside->zip();
    ASSERT_TRUE(outside->success());
    EXPECT_EQ(read(QStringLiteral("o.zip")).names, QStringList{elsewhere.file(QStringLiteral("far.txt")).mid(1)});
}

TEST_F(ArchiveTest, AppendAddsAndAFreshArchiveReplaces)
{
    auto first = make(QStringLiteral("a.zip"), {QStringLiteral("top.txt")});
    first->zip();
    ASSERT_TRUE(first->success());

    auto second = make(QStringLiteral("a.zip"), {QStringLiteral("docs/a.txt")});
    second->setAllowAppend(true);
    second->zip();
    ASSERT_TRUE(second->success());
    ZipListing listing = read(QStringLiteral("a.zip"));
    EXPECT_EQ(listing.sortedNames(), list({"a.txt", "top.txt"}));
    EXPECT_EQ(listing.entries.value(QStringLiteral("top.txt")).data, QByteArray("top"));

    // An entry of the same name is replaced by the file.
    tree.write(QStringLiteral("top.txt"), "top, second edition");
    auto third = make(QStringLiteral("a.zip"), {QStringLiteral("top.txt")});
    third->setAllowAppend(true);
    third->zip();
    listing = read(QStringLiteral("a.zip"));
    EXPECT_EQ(listing.sortedNames(), list({"a.txt", "top.txt"}));
    EXPECT_EQ(listing.entries.value(QStringLiteral("top.txt")).data, QByteArray("top, second edition"));
    EXPECT_TRUE(progress.contains(QStringLiteral("updating: top.txt")));

    auto fresh = make(QStringLiteral("a.zip"), {QStringLiteral("docs/sub/b.txt")});
    fresh->zip();
    EXPECT_EQ(read(QStringLiteral("a.zip")).names, list({"b.txt"}));
}

TEST_F(ArchiveTest, FreshenAndUpdateReplaceOnlyByNewerFiles)
{
    const QDateTime then = QDateTime::currentDateTime().addDays(-2);
    tree.write(QStringLiteral("a.txt"), "old a");
    tree.write(QStringLiteral("b.txt"), "old b");
    setAge(QStringLiteral("a.txt"), then);
    setAge(QStringLiteral("b.txt"), then);
    const QStringList patterns = {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};

    const struct { bool freshen; Names names; } cases[] = {
        {true, {"a.txt", "b.txt"}},
        {false, {"a.txt", "b.txt", "c.txt"}},
    };
    for (const auto &c : cases) {
        const QString name = c.freshen ? QStringLiteral("f.zip") : QStringLiteral("u.zip");
        tree.write(QStringLiteral("a.txt"), "old a");
        tree.write(QStringLiteral("b.txt"), "old b");
        setAge(QStringLiteral("a.txt"), then);
        setAge(QStringLiteral("b.txt"), then);
        QFile::remove(tree.file(QStringLiteral("c.txt")));
        auto base = make(name, {QStringLiteral("a.txt"), QStringLiteral("b.txt")});
        base->zip();
        ASSERT_TRUE(base->success());

        tree.write(QStringLiteral("a.txt"), "new a");
        setAge(QStringLiteral("a.txt"), then.addSecs(600));
        tree.write(QStringLiteral("b.txt"), "new b but older");
        setAge(QStringLiteral("b.txt"), then.addSecs(-600));
        tree.write(QStringLiteral("c.txt"), "c");
        auto zip = make(name, patterns);
        c.freshen ? zip->setFreshenFiles(true) : zip->setUpdateOnlyIfNewer(true);
        zip->zip();
        ASSERT_TRUE(zip->success()) << ZipLibrary::describe(zip->resultCode());
        const ZipListing listing = read(name);
        EXPECT_EQ(listing.sortedNames(), list(c.names)) << str(name);
        EXPECT_EQ(listing.entries.value(QStringLiteral("a.txt")).data, QByteArray("new a"));
        EXPECT_EQ(listing.entries.value(QStringLiteral("b.txt")).data, QByteArray("old b"));
    }

    // Nothing to freshen without an archive: none is made.
    auto none = make(QStringLiteral("none.zip"), patterns);
    none->setFreshenFiles(true);
    none->zip();
    EXPECT_FALSE(none->success());
    EXPECT_FALSE(out.exists(QStringLiteral("none.zip")));
}

TEST_F(ArchiveTest, DeleteRemovesTheNamedEntries)
{
    auto zip = make(QStringLiteral("d.zip"), {QStringLiteral("docs"), QStringLiteral("top.txt")});
    zip->setStoreFolderNames(true);
    zip->setRecurseSubDirs(true);
    zip->zip();
    ASSERT_TRUE(zip->success());

    zip->clearFileSpecs();
    zip->addFileSpec(QStringLiteral("top.txt"));
    zip->addFileSpec(QStringLiteral("docs/sub/*"));
    zip->deleteEntries();
    ASSERT_TRUE(zip->success());
    EXPECT_EQ(zip->options().deleteEntries, 0);
    EXPECT_EQ(read(QStringLiteral("d.zip")).sortedNames(), list({"docs/a.txt"}));
    EXPECT_TRUE(progress.contains(QStringLiteral("deleting: top.txt")));

    const QByteArray before = out.read(QStringLiteral("d.zip"));
    zip->clearFileSpecs();
    zip->addFileSpec(QStringLiteral("no/such/entry"));
    zip->deleteEntries();
    EXPECT_EQ(zip->resultCode(), ZipLibrary::NothingToDo);
    EXPECT_EQ(out.read(QStringLiteral("d.zip")), before);

    zip->clearFileSpecs();
    zip->addFileSpec(QStringLiteral("*"));
    zip->deleteEntries();
    EXPECT_TRUE(zip->success());
    EXPECT_FALSE(out.exists(QStringLiteral("d.zip"))); // no entry left, no archive
}

TEST_F(ArchiveTest, LineEndsAreConvertedInTextOnly)
{
    const QByteArray text("one\r\ntwo\nthree\r\n\r\nfour\r");
    const QByteArray binary("a\nb\0c\r\n", 7);
    // Long enough to cross the reader's chunks, with line ends on their edges.
    QByteArray longText;
    for (int i = 0; i < 200000; ++i)
        longText += (i % 3 == 0) ? "line\r\n" : (i % 3 == 1 ? "row\n" : "x\r\r\n");
    tree.write(QStringLiteral("t.txt"), text);
    tree.write(QStringLiteral("b.bin"), binary);
    tree.write(QStringLiteral("long.txt"), longText);
    auto lf = [](QByteArray s) { return s.replace("\r\n", "\n"); };
    auto crlf = [&](const QByteArray &s) { return lf(s).replace("\n", "\r\n"); };

    const struct { bool toLf, toCrlf; QByteArray text, longText; } cases[] = {
        {true, false, lf(text), lf(longText)},
        {false, true, crlf(text), crlf(longText)},
        {true, true, text, longText},
        {false, false, text, longText},
    };
    int row = 0;
    for (const auto &c : cases) {
        const QString name = QStringLiteral("l%1.zip").arg(row++);
        auto zip = make(name, {QStringLiteral("t.txt"), QStringLiteral("b.bin"), QStringLiteral("long.txt")});
        zip->setConvertCRLFToLF(c.toLf);
        zip->setConvertLFToCRLF(c.toCrlf);
        zip->zip();
        ASSERT_TRUE(zip->success());
        const ZipListing listing = read(name);
        EXPECT_EQ(listing.entries.value(QStringLiteral("t.txt")).data, c.text) << row;
        EXPECT_EQ(listing.entries.value(QStringLiteral("long.txt")).data, c.longText) << row;
        EXPECT_EQ(listing.entries.value(QStringLiteral("b.bin")).data, binary) << row;
    }
}

TEST_F(ArchiveTest, TheArchiveCommentComesFromTheEvent)
{
    const struct { QString answer; bool made; QByteArray comment; } cases[] = {
        {QStringLiteral("Sent from the browser \u00fc"), true, QStringLiteral("Sent from the browser \u00fc").toUtf8()},
        {QString(300, u'k'), true, QByteArray(255, 'k')},
        {QString(), false, {}},
    };
    int row = 0;
    for (const auto &c : cases) {
        const QString name = QStringLiteral("c%1.zip").arg(row++);
        auto zip = make(name, {QStringLiteral("top.txt")});
        zip->setAddComment(true);
        QObject::connect(zip.get(), &cZip::commentRequest, zip.get(),
                         [&](QString &comment, bool &) { comment = c.answer; });
        zip->zip();
        EXPECT_EQ(zip->success(), c.made) << row;
        if (!c.made) {
            EXPECT_EQ(zip->resultCode(), ZipLibrary::Cancelled);
            EXPECT_FALSE(out.exists(name));
            continue;
        }
        EXPECT_EQ(read(name).comment, c.comment) << row;
    }
}

TEST_F(ArchiveTest, EncryptedEntriesOpenWithTheRightPasswordOnly)
{
    tree.write(QStringLiteral("plain.txt"), QByteArray(5000, 'p'));
    auto zip = make(QStringLiteral("e.zip"), {QStringLiteral("plain.txt"), QStringLiteral("docs")});
    zip->setStoreFolderNames(true);
    zip->setRecurseSubDirs(true);
    zip->setEncrypt(true);
    QList<bool> confirms;
    QObject::connect(zip.get(), &cZip::passwordRequest, zip.get(),
                     [&](QString &password, int max, bool confirm, bool &) {
                         EXPECT_GE(max, 64);
                         confirms.append(confirm);
                         password = QStringLiteral("correct horse");
                     });
    zip->zip();
    ASSERT_TRUE(zip->success()) << ZipLibrary::describe(zip->resultCode());
    EXPECT_EQ(zip->options().encryptionAvailable, 1);
    EXPECT_EQ(confirms, (QList<bool>{false, true}));

    const ZipListing listing = readZip(out.file(QStringLiteral("e.zip")));
    ASSERT_TRUE(listing.ok) << str(listing.error);
    EXPECT_TRUE(listing.entries.value(QStringLiteral("plain.txt")).encrypted);
    EXPECT_EQ(listing.entries.value(QStringLiteral("plain.txt")).method, 99); // AES
    EXPECT_FALSE(listing.entries.value(QStringLiteral("docs/")).encrypted);

    const auto right = extractWith7z(out.file(QStringLiteral("e.zip")), QStringLiteral("correct horse"),
                                     out.file(QStringLiteral("right")));
    ASSERT_TRUE(right.has_value());
    EXPECT_EQ(right->value(QStringLiteral("plain.txt")), QByteArray(5000, 'p'));
    EXPECT_EQ(right->value(QStringLiteral("docs/sub/b.txt")), QByteArray("beta"));
    EXPECT_FALSE(extractWith7z(out.file(QStringLiteral("e.zip")), QStringLiteral("wrong horse"),
                               out.file(QStringLiteral("wrong")))
                     .has_value());

    // A confirmation that differs makes no archive.
    auto mismatch = make(QStringLiteral("m.zip"), {QStringLiteral("plain.txt")});
    mismatch->setEncrypt(true);
    int asked = 0;
    QObject::connect(mismatch.get(), &cZip::passwordRequest, mismatch.get(),
                     [&](QString &password, int, bool, bool &) { password = asked++ ? QStringLiteral("two") : QStringLiteral("one"); });
    mismatch->zip();
    EXPECT_EQ(mismatch->resultCode(), ZipLibrary::BadParameters);
    EXPECT_FALSE(out.exists(QStringLiteral("m.zip")));
}

TEST_F(ArchiveTest, CompressionLevelAndStoredPackedFiles)
{
    QByteArray words;
    QRandomGenerator generator(42);
    static const char *const vocabulary[] = {"browser ", "page ", "office ", "archive ", "mail ", "tab ", "zip "};
    while (words.size() < 1 << 20)
        words += vocabulary[generator.bounded(7)];
    tree.write(QStringLiteral("words.txt"), words);
    tree.write(QStringLiteral("photo.png"), randomBytes(200000, 1));
    tree.write(QStringLiteral("noise.dat"), randomBytes(300000, 2));

    QMap<int, qint64> sizes;
    for (const int level : {0, 1, 6, 9}) {
        const QString name = QStringLiteral("level%1.zip").arg(level);
        auto zip = make(name, {QStringLiteral("words.txt"), QStringLiteral("photo.png"), QStringLiteral("noise.dat")});
        zip->setCompressionLevel(level);
        zip->zip();
        ASSERT_TRUE(zip->success());
        const ZipListing listing = read(name);
        EXPECT_EQ(listing.entries.value(QStringLiteral("words.txt")).data, words);
        EXPECT_EQ(listing.entries.value(QStringLiteral("words.txt")).method, 8); // deflated
        // What deflate cannot shrink is stored.
        EXPECT_EQ(listing.entries.value(QStringLiteral("photo.png")).method, 0);
        EXPECT_EQ(listing.entries.value(QStringLiteral("noise.dat")).method, 0);
        EXPECT_EQ(listing.entries.value(QStringLiteral("noise.dat")).data, randomBytes(300000, 2));
        sizes[level] = QFileInfo(out.file(name)).size();
    }
    EXPECT_LT(sizes[9], sizes[1]);
    EXPECT_EQ(sizes[0], sizes[6]); // the default is level 6
}

TEST_F(ArchiveTest, AFailureOrACancelLeavesNoArchiveAndKeepsTheOldOne)
{
    // A file that cannot be read, a named file that is not there, a cancel.
    auto unreadable = make(QStringLiteral("u.zip"), {QStringLiteral("top.txt"), QStringLiteral("/proc/self/mem")});
    unreadable->zip();
    EXPECT_EQ(unreadable->resultCode(), ZipLibrary::ReadFailed);
    EXPECT_FALSE(out.exists(QStringLiteral("u.zip")));

    auto missing = make(QStringLiteral("m.zip"), {QStringLiteral("top.txt"), QStringLiteral("not-there.txt")});
    missing->zip();
    EXPECT_EQ(missing->resultCode(), ZipLibrary::OpenFailed);
    EXPECT_FALSE(out.exists(QStringLiteral("m.zip")));

    auto old = make(QStringLiteral("keep.zip"), {QStringLiteral("top.txt")});
    old->zip();
    const QByteArray before = out.read(QStringLiteral("keep.zip"));
    QStringList asked;
    auto cancelled = make(QStringLiteral("keep.zip"), {QStringLiteral("docs/a.txt"), QStringLiteral("docs/sub/b.txt")});
    cancelled->setAllowAppend(true);
    QObject::connect(cancelled.get(), &cZip::cancel, cancelled.get(), [&](const QString &name, bool &cancel) {
        asked.append(name);
        cancel = name == QLatin1String("b.txt");
    });
    cancelled->zip();
    EXPECT_EQ(cancelled->resultCode(), ZipLibrary::Cancelled);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(out.read(QStringLiteral("keep.zip")), before);

    auto broken = make(QStringLiteral("keep.zip"), {QStringLiteral("/proc/self/mem")});
    broken->setAllowAppend(true);
    broken->zip();
    EXPECT_FALSE(broken->success());
    EXPECT_EQ(out.read(QStringLiteral("keep.zip")), before);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.zip")});
}

TEST_F(ArchiveTest, AFullDiskLeavesNoPartialArchive)
{
    tree.write(QStringLiteral("big.dat"), randomBytes(1 << 20, 3));
    auto zip = make(QStringLiteral("full.zip"), {QStringLiteral("big.dat")});
    // Writes past 256 KB fail as they do on a full disk.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    zip->zip();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(zip->resultCode(), ZipLibrary::WriteFailed);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ArchiveTest, MoreThan1023PatternsAreAllArchived)
{
    auto zip = make(QStringLiteral("many.zip"), {});
    for (int i = 0; i < 1100; ++i) {
        tree.write(QStringLiteral("many/f%1.txt").arg(i), QByteArray::number(i));
        zip->addFileSpec(QStringLiteral("many/f%1.txt").arg(i));
    }
    zip->zip();
    ASSERT_TRUE(zip->success());
    const ZipListing listing = read(QStringLiteral("many.zip"));
    EXPECT_EQ(listing.names.size(), 1100);
    EXPECT_EQ(listing.entries.value(QStringLiteral("f1099.txt")).data, QByteArray("1099"));
}

TEST_F(ArchiveTest, TwoFilesUnderOneNameAreRefused)
{
    tree.write(QStringLiteral("other/a.txt"), "another alpha");
    auto zip = make(QStringLiteral("dup.zip"), {QStringLiteral("docs/a.txt"), QStringLiteral("other/a.txt")});
    zip->zip();
    EXPECT_EQ(zip->resultCode(), ZipLibrary::BadParameters);
    EXPECT_FALSE(out.exists(QStringLiteral("dup.zip")));
}

TEST_F(ArchiveTest, ProgressTextsOneAnEntryAndQuietShowsNone)
{
    const QString sep = QDir::separator();
    auto zip = make(QStringLiteral("p.zip"), {QStringLiteral("docs")});
    zip->setStoreFolderNames(true);
    zip->setRecurseSubDirs(true);
    zip->setStoreDirectories(true);
    zip->zip();
    ASSERT_TRUE(zip->success());
    EXPECT_EQ(progress, (QStringList{QStringLiteral("adding: docs") + sep,
                                     QStringLiteral("adding: docs") + sep + QStringLiteral("a.txt"),
                                     QStringLiteral("adding: docs") + sep + QStringLiteral("sub") + sep,
                                     QStringLiteral("adding: docs") + sep + QStringLiteral("sub") + sep
                                         + QStringLiteral("b.txt")}));

    progress.clear();
    auto quiet = make(QStringLiteral("q.zip"), {QStringLiteral("top.txt")});
    quiet->setMessageLevel(cZip::Quiet);
    quiet->zip();
    ASSERT_TRUE(quiet->success());
    EXPECT_TRUE(progress.isEmpty());

    auto verbose = make(QStringLiteral("v.zip"), {QStringLiteral("top.txt")});
    verbose->setMessageLevel(cZip::Verbose);
    verbose->zip();
    ASSERT_TRUE(verbose->success());
    EXPECT_EQ(progress.size(), 2);
    EXPECT_TRUE(progress.value(1).startsWith(QStringLiteral("total bytes written: ")));
}

TEST_F(ArchiveTest, LinksAreFollowedOnceAndTheArchiveIsNotPackedIntoItself)
{
    ASSERT_EQ(::symlink("..", tree.file(QStringLiteral("docs/sub/up")).toLocal8Bit().constData()), 0);
    ASSERT_EQ(::symlink("../top.txt", tree.file(QStringLiteral("docs/link.txt")).toLocal8Bit().constData()), 0);
    auto zip = std::make_unique<cZip>();
    zip->setZipFile(tree.file(QStringLiteral("docs/self.zip")));
    zip->setBasePath(tree.path());
    zip->addFileSpec(QStringLiteral("docs"));
    zip->setStoreFolderNames(true);
    zip->setRecurseSubDirs(true);
    zip->zip();
    ASSERT_TRUE(zip->success());
    zip->setAllowAppend(true);
    zip->zip(); // the archive now lies in the folder it packs
    ASSERT_TRUE(zip->success());
    const ZipListing listing = readZip(tree.file(QStringLiteral("docs/self.zip")));
    ASSERT_TRUE(listing.ok);
    EXPECT_EQ(listing.sortedNames(), list({"docs/a.txt", "docs/link.txt", "docs/sub/b.txt"}));
    EXPECT_EQ(listing.entries.value(QStringLiteral("docs/link.txt")).data, QByteArray("top"));
}
