// Times the archive builder on a 50 MB folder of mixed files beside `zip -r` of the same
// folder at the same compression level, in the same run. Prints both and the ratio.
//   ninja -C build zip_bench && build/bench/zip_bench [rounds]
#include "archive/czip.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kTotal = 50LL * 1024 * 1024;

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Text, random bytes, already packed data and regular tables, in sizes from 2 KB to
// 1.5 MB, spread over nested folders.
qint64 makeFolder(const QString &root, int *files)
{
    QRandomGenerator random(7);
    std::vector<QByteArray> words;
    for (int i = 0; i < 3000; ++i) {
        QByteArray w;
        for (int n = random.bounded(2, 11); n > 0; --n)
            w.append(static_cast<char>('a' + random.bounded(26)));
        words.push_back(w);
    }
    const auto text = [&](qsizetype size) {
        QByteArray t;
        while (t.size() < size)
            t += words[random.bounded(static_cast<int>(words.size()))] + (random.bounded(12) ? " " : "\n");
        return t.left(size);
    };
    const qsizetype sizes[] = {2000, 20000, 200000, 1500000};
    qint64 total = 0;
    int i = 0;
    while (total < kTotal) {
        const QString folder = root + QStringLiteral("/d%1/s%2").arg(i % 12).arg(i % 3);
        const qsizetype size = sizes[random.bounded(4)];
        QByteArray data;
        QString name;
        switch (i % 4) {
        case 0: data = text(size); name = QStringLiteral("text%1.txt"); break;
        case 1:
            data.resize(size);
            random.fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
            name = QStringLiteral("bin%1.dat");
            break;
        case 2: data = qCompress(text(size * 3), 9).left(size); name = QStringLiteral("packed%1.gz"); break;
        default:
            data.resize(size);
            for (qsizetype j = 0; j < size; ++j)
                data[j] = static_cast<char>((j * 7 + (j >> 8)) & 0xff);
            name = QStringLiteral("table%1.bin");
        }
        write(folder + u'/' + name.arg(i), data);
        total += data.size();
        ++i;
    }
    *files = i;
    return total;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool tested(const QString &archive)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-tqq"), archive});
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString root = dir.path();
    int files = 0;
    const qint64 total = makeFolder(root + QStringLiteral("/data"), &files);
    std::printf("folder: %d files, %.1f MB; %d rounds, deflate level 6 on both sides\n", files,
                total / 1048576.0, rounds);

    std::vector<double> ours;
    std::vector<double> theirs;
    const QString ourZip = root + QStringLiteral("/ours.zip");
    const QString theirZip = root + QStringLiteral("/zip-r.zip");
    for (int round = 0; round < rounds; ++round) {
        // Alternating, so both meet the same load on the machine.
        QFile::remove(ourZip);
        QElapsedTimer clock;
        clock.start();
        cZip zip;
        zip.setZipFile(ourZip);
        zip.setBasePath(root);
        zip.setStoreFolderNames(true);
        zip.setRecurseSubDirs(true);
        zip.setStoreDirectories(true);
        zip.setCompressionLevel(6);
        zip.setMessageLevel(cZip::Quiet);
        zip.addFileSpec(QStringLiteral("data"));
        zip.zip();
        ours.push_back(clock.nsecsElapsed() / 1e6);
        if (!zip.success()) {
            std::printf("cZip failed: %s\n", ZipLibrary::describe(zip.resultCode()));
            return 1;
        }

        QFile::remove(theirZip);
        clock.restart();
        QProcess p;
        p.setWorkingDirectory(root);
        p.start(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-6"), theirZip,
                                        QStringLiteral("data")});
        p.waitForFinished(600000);
        theirs.push_back(clock.nsecsElapsed() / 1e6);
        if (p.exitCode() != 0) {
            std::printf("zip -r failed: %s\n", p.readAllStandardError().constData());
            return 1;
        }
    }
    const double a = median(ours);
    const double b = median(theirs);
    std::printf("cZip over libzip : median %8.1f ms  best %8.1f ms  archive %10lld bytes  unzip -t %s\n", a,
                *std::min_element(ours.begin(), ours.end()), QFileInfo(ourZip).size(), tested(ourZip) ? "ok" : "FAILED");
    std::printf("zip -r -6        : median %8.1f ms  best %8.1f ms  archive %10lld bytes  unzip -t %s\n", b,
                *std::min_element(theirs.begin(), theirs.end()), QFileInfo(theirZip).size(),
                tested(theirZip) ? "ok" : "FAILED");
    std::printf("ratio (cZip / zip -r, medians): %.2f x  (goal: at most 1.00 x)\n", a / b);
    return 0;
}
