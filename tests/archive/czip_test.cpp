#include "archive/czip.h"
#include "archive/zipmodule.h"
#include "support/tempfolder.h"

#include <QDir>

#include <cstring>
#include <stdexcept>

namespace {

int32_t field(const cZip &zip, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const char *>(&zip.options()) + offset, sizeof value);
    return value;
}

QByteArray record(const cZip &zip)
{
    return QByteArray(reinterpret_cast<const char *>(&zip.options()), sizeof(ZipLibrary::Options));
}

struct BoolProperty
{
    const char *name;
    bool (cZip::*get)() const;
    void (cZip::*set)(bool);
    size_t offset;
    int32_t whenTrue;
    int32_t whenFalse;
};

const BoolProperty kBooleans[] = {
    {"Encrypt", &cZip::encrypt, &cZip::setEncrypt, 20, 1, 0},
    {"IncludeSystemAndHiddenFiles", &cZip::includeSystemAndHiddenFiles, &cZip::setIncludeSystemAndHiddenFiles, 24, 1, 0},
    {"StoreVolumeLabel", &cZip::storeVolumeLabel, &cZip::setStoreVolumeLabel, 28, 1, 0},
    {"StoreDirectories", &cZip::storeDirectories, &cZip::setStoreDirectories, 36, 0, 1},
    {"ConvertCRLFToLF", &cZip::convertCRLFToLF, &cZip::setConvertCRLFToLF, 56, 1, 0},
    {"ConvertLFToCRLF", &cZip::convertLFToCRLF, &cZip::setConvertLFToCRLF, 60, 1, 0},
    {"StoreFolderNames", &cZip::storeFolderNames, &cZip::setStoreFolderNames, 64, 0, 1},
    {"AllowAppend", &cZip::allowAppend, &cZip::setAllowAppend, 68, 1, 0},
    {"UpdateOnlyIfNewer", &cZip::updateOnlyIfNewer, &cZip::setUpdateOnlyIfNewer, 84, 1, 0},
    {"FreshenFiles", &cZip::freshenFiles, &cZip::setFreshenFiles, 88, 1, 0},
    {"AddComment", &cZip::addComment, &cZip::setAddComment, 100, 1, 0},
    {"RecurseSubDirs", &cZip::recurseSubDirs, &cZip::setRecurseSubDirs, 116, 2, 0},
};

} // namespace

TEST(ZipProperties, ANewObjectHasItsDefaults)
{
    const cZip zip;
    for (const BoolProperty &p : kBooleans) {
        EXPECT_FALSE((zip.*p.get)()) << p.name;
        EXPECT_EQ(field(zip, p.offset), p.whenFalse) << p.name;
    }
    // Everything else in the record is zero: only the two inverted fields hold a 1.
    QByteArray expected(128, '\0');
    expected[36] = 1;
    expected[64] = 1;
    EXPECT_EQ(record(zip), expected);
    EXPECT_EQ(zip.messageLevel(), cZip::Normal);
    EXPECT_TRUE(zip.success());
    EXPECT_EQ(zip.fileSpecCount(), 0);
    EXPECT_TRUE(zip.zipFile().isEmpty());
    EXPECT_TRUE(zip.basePath().isEmpty());
}

TEST(ZipProperties, EveryBooleanWritesOnlyItsOwnOffsetAndReadsBack)
{
    for (const BoolProperty &p : kBooleans) {
        cZip zip;
        for (const bool value : {true, false, true}) {
            QByteArray before = record(zip);
            (zip.*p.set)(value);
            EXPECT_EQ((zip.*p.get)(), value) << p.name;
            EXPECT_EQ(field(zip, p.offset), value ? p.whenTrue : p.whenFalse) << p.name;
            QByteArray after = record(zip);
            before.replace(static_cast<qsizetype>(p.offset), 4, QByteArray(4, '\0'));
            after.replace(static_cast<qsizetype>(p.offset), 4, QByteArray(4, '\0'));
            EXPECT_EQ(after, before) << p.name << " touched another field";
        }
    }
}

TEST(ZipProperties, MessageLevelSetsTheVerboseAndQuietFlags)
{
    const struct {
        std::vector<int32_t> writes;
        int32_t verbose; // offset 48
        int32_t quiet;   // offset 52
        int32_t readBack;
    } cases[] = {
        {{}, 0, 0, 2},
        {{0}, 1, 0, 0},
        {{1}, 0, 1, 1},
        {{2}, 0, 0, 2},
        {{0, 1}, 0, 1, 1},
        {{1, 0}, 1, 0, 0},
        {{0, 5}, 1, 0, 0},  // values outside 0 to 2 change nothing
        {{1, -1}, 0, 1, 1},
        {{0, 2}, 0, 0, 2},
        {{3}, 0, 0, 2},
    };
    for (const auto &c : cases) {
        cZip zip;
        for (const int32_t level : c.writes)
            zip.setMessageLevel(level);
        EXPECT_EQ(field(zip, 48), c.verbose) << testing::PrintToString(c.writes);
        EXPECT_EQ(field(zip, 52), c.quiet) << testing::PrintToString(c.writes);
        EXPECT_EQ(zip.messageLevel(), c.readBack) << testing::PrintToString(c.writes);
    }
}

TEST(ZipProperties, FilePatternsAreNumberedFromOne)
{
    cZip zip;
    zip.addFileSpec(QStringLiteral("a.txt"));
    zip.addFileSpec(QStringLiteral("docs"));
    zip.addFileSpec(QStringLiteral("*.doc"));
    EXPECT_EQ(zip.fileSpecCount(), 3);
    EXPECT_EQ(zip.fileSpec(1), QStringLiteral("a.txt"));
    EXPECT_EQ(zip.fileSpec(3), QStringLiteral("*.doc"));
    EXPECT_TRUE(zip.fileSpec(0).isEmpty());
    EXPECT_TRUE(zip.fileSpec(4).isEmpty());
    zip.clearFileSpecs();
    EXPECT_EQ(zip.fileSpecCount(), 0);
    EXPECT_TRUE(zip.fileSpec(1).isEmpty());
    // Beyond the 1023 the names record once held: the list goes on.
    for (int i = 0; i < 1500; ++i)
        zip.addFileSpec(QString::number(i));
    EXPECT_EQ(zip.fileSpecCount(), 1500);
    EXPECT_EQ(zip.fileSpec(1500), QStringLiteral("1499"));
}

TEST(ZipProperties, CompressionLevelIsTheByteAt124)
{
    cZip zip;
    const struct { int level; int stored; } cases[] = {{0, 0}, {1, 1}, {9, 9}, {12, 9}, {-3, 0}};
    for (const auto &c : cases) {
        zip.setCompressionLevel(c.level);
        EXPECT_EQ(zip.compressionLevel(), c.stored);
        EXPECT_EQ(static_cast<int>(static_cast<uint8_t>(record(zip).at(124))), c.stored);
    }
}

namespace {

// The callbacks as the library calls them, on an object whose events are recorded.
class ZipCallbacks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mZip::state() = mZip::State{&zip, false, false};
        QObject::connect(&zip, &cZip::progress, &zip, [this](int count, const QString &text) {
            EXPECT_EQ(count, 1);
            progress.append(text);
        });
        QObject::connect(&zip, &cZip::cancel, &zip, [this](const QString &text, bool &cancel) {
            cancels.append(text);
            cancel = cancelAnswer;
        });
        QObject::connect(&zip, &cZip::commentRequest, &zip, [this](QString &comment, bool &cancel) {
            ++commentRequests;
            comment = commentAnswer;
            cancel = cancelAnswer;
        });
        QObject::connect(&zip, &cZip::passwordRequest, &zip,
                         [this](QString &password, int max, bool confirm, bool &cancel) {
                             confirms.append(confirm);
                             maxLengths.append(max);
                             password = passwordAnswer;
                             cancel = cancelAnswer;
                         });
    }
    void TearDown() override { mZip::state() = mZip::State(); }

    cZip zip;
    QStringList progress;
    QStringList cancels;
    QList<bool> confirms;
    QList<int> maxLengths;
    int commentRequests = 0;
    bool cancelAnswer = false;
    QString commentAnswer;
    QString passwordAnswer;
};

} // namespace

TEST_F(ZipCallbacks, PrintRaisesProgressForTwoTo1023Bytes)
{
    const QString sep = QDir::separator();
    const struct { QByteArray text; bool raised; QString shown; } cases[] = {
        {QByteArray("x"), false, {}},
        {QByteArray("ok"), true, QStringLiteral("ok")},
        {QByteArray("adding: a/b/c.txt"), true, QStringLiteral("adding: a") + sep + u'b' + sep + QStringLiteral("c.txt")},
        {QByteArray("ab\0cd", 5), true, QString::fromLatin1("ab\0cd", 5)}, // not cut at a zero byte
        {QByteArray(1023, 'y'), true, QString(1023, u'y')},
        {QByteArray(1024, 'z'), false, {}},
    };
    for (const auto &c : cases) {
        progress.clear();
        EXPECT_EQ(mZip::zipPrint(c.text.constData(), static_cast<unsigned long>(c.text.size())), 0);
        if (c.raised)
            EXPECT_EQ(progress, QStringList{c.shown}) << c.text.left(40).toStdString();
        else
            EXPECT_TRUE(progress.isEmpty()) << c.text.size();
    }
}

TEST_F(ZipCallbacks, ServiceRaisesCancelAndACancelHoldsForTheRestOfTheCall)
{
    EXPECT_EQ(mZip::zipService("a", 1), 0);
    EXPECT_EQ(mZip::zipService(QByteArray(1024, 'n').constData(), 1024), 0);
    EXPECT_TRUE(cancels.isEmpty());

    EXPECT_EQ(mZip::zipService("docs/a.txt\0junk", 15), 0);
    EXPECT_EQ(cancels, QStringList{QStringLiteral("docs/a.txt")}); // cut at the zero byte
    EXPECT_FALSE(mZip::state().cancelled);

    cancelAnswer = true;
    EXPECT_EQ(mZip::zipService("b.txt", 6), 1);
    EXPECT_TRUE(mZip::state().cancelled);
    cancels.clear();
    EXPECT_EQ(mZip::zipService("c.txt", 6), 1);
    char buffer[256];
    EXPECT_EQ(mZip::zipComment(buffer), 1);
    EXPECT_EQ(mZip::zipPassword(buffer, 10, "", ""), 1);
    EXPECT_TRUE(cancels.isEmpty());
    EXPECT_EQ(commentRequests, 0);
    EXPECT_TRUE(confirms.isEmpty());
}

TEST_F(ZipCallbacks, CommentIsTrimmedAndCutTo255Bytes)
{
    const struct { QString answer; int result; QByteArray written; } cases[] = {
        {QStringLiteral("  For the file  "), 0, QByteArray("For the file")},
        {QString(300, u'c'), 0, QByteArray(255, 'c')},
        {QString(254, u'c') + QStringLiteral("\u00e9"), 0, QByteArray(254, 'c')}, // no half character
        {QStringLiteral("   "), 1, QByteArray()},
    };
    for (const auto &c : cases) {
        mZip::state().cancelled = false;
        commentAnswer = c.answer;
        char buffer[ZipLibrary::kCommentBufferSize + 8];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(mZip::zipComment(buffer), c.result);
        if (c.result == 0) {
            EXPECT_EQ(QByteArray(buffer, c.written.size()), c.written);
            EXPECT_EQ(buffer[c.written.size()], '\0');
        } else {
            EXPECT_TRUE(mZip::state().cancelled);
        }
    }
    mZip::state().cancelled = false;
    commentAnswer = QStringLiteral("fine");
    cancelAnswer = true;
    char buffer[ZipLibrary::kCommentBufferSize];
    EXPECT_EQ(mZip::zipComment(buffer), 1);
    EXPECT_TRUE(mZip::state().cancelled);
}

TEST_F(ZipCallbacks, PasswordFillsItsSizeAndTheSecondRequestConfirms)
{
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    passwordAnswer = QStringLiteral(" longpassword ");
    EXPECT_EQ(mZip::zipPassword(buffer, 8, "Enter", "a.txt"), 0);
    EXPECT_EQ(QByteArray(buffer, 8), QByteArray("longpass"));
    EXPECT_EQ(QByteArray(buffer + 8, 8), QByteArray(8, 'x')); // nothing past its size

    passwordAnswer = QStringLiteral("ab");
    EXPECT_EQ(mZip::zipPassword(buffer, 8, "Verify", "a.txt"), 0);
    EXPECT_EQ(QByteArray(buffer, 8), QByteArray("ab\0\0\0\0\0\0", 8));
    EXPECT_EQ(confirms, (QList<bool>{false, true}));
    EXPECT_EQ(maxLengths, (QList<int>{8, 8}));

    passwordAnswer = QStringLiteral("   ");
    EXPECT_EQ(mZip::zipPassword(buffer, 8, "", ""), 1);
    EXPECT_TRUE(mZip::state().cancelled);
}

TEST_F(ZipCallbacks, AHandlerThatThrowsDoesNotStopTheCallback)
{
    QObject::connect(&zip, &cZip::progress, &zip, [](int, const QString &) { throw std::runtime_error("handler"); });
    EXPECT_EQ(mZip::zipPrint("adding: x", 9), 0);
    QObject::connect(&zip, &cZip::cancel, &zip, [](const QString &, bool &) { throw std::runtime_error("handler"); });
    EXPECT_EQ(mZip::zipService("x.txt", 6), 0);
}

TEST_F(ZipCallbacks, NoOwnerRaisesNothing)
{
    mZip::state().owner = nullptr;
    EXPECT_EQ(mZip::zipPrint("adding: x", 9), 0);
    EXPECT_EQ(mZip::zipService("x.txt", 6), 0);
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_TRUE(cancels.isEmpty());
}
