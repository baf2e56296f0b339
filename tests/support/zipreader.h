#pragma once

#include "support/tempfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>

#include <optional>

// Archives read back by readers other than the library that wrote them: Python's
// zipfile for names, contents, comment and methods, Debian's unzip for the integrity
// test, 7-Zip for AES-encrypted entries.
struct ZipListing
{
    struct Entry
    {
        int method = -1;
        bool encrypted = false;
        unsigned mode = 0;
        QByteArray data;
    };
    bool ok = false;
    QString error;
    QByteArray comment;
    QStringList names; // in archive order
    QMap<QString, Entry> entries;

    QStringList sortedNames() const
    {
        QStringList sorted = names;
        sorted.sort();
        return sorted;
    }
};

inline std::pair<int, QByteArray> runTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return {-1, QByteArray("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

inline ZipListing readZip(const QString &path)
{
    static const char *script = R"(
import sys, zipfile, json, base64
z = zipfile.ZipFile(sys.argv[1])
out = {"comment": base64.b64encode(z.comment).decode(), "entries": []}
for i in z.infolist():
    e = {"name": i.filename, "method": i.compress_type, "encrypted": bool(i.flag_bits & 1),
         "mode": i.external_attr >> 16}
    if not e["encrypted"]:
        e["data"] = base64.b64encode(z.read(i)).decode()
    out["entries"].append(e)
print(json.dumps(out))
)";
    ZipListing listing;
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    p.waitForFinished(60000);
    if (p.exitCode() != 0) {
        listing.error = QString::fromUtf8(p.readAllStandardError());
        return listing;
    }
    const QJsonObject root = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    listing.comment = QByteArray::fromBase64(root.value(QStringLiteral("comment")).toString().toLatin1());
    for (const QJsonValue &v : root.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject e = v.toObject();
        const QString name = e.value(QStringLiteral("name")).toString();
        listing.names.append(name);
        ZipListing::Entry entry;
        entry.method = e.value(QStringLiteral("method")).toInt();
        entry.encrypted = e.value(QStringLiteral("encrypted")).toBool();
        entry.mode = static_cast<unsigned>(e.value(QStringLiteral("mode")).toInt());
        entry.data = QByteArray::fromBase64(e.value(QStringLiteral("data")).toString().toLatin1());
        listing.entries.insert(name, entry);
    }
    listing.ok = true;
    return listing;
}

// unzip's own test of every entry (CRCs, structure).
inline bool unzipTests(const QString &path)
{
    return runTool(QStringLiteral("unzip"), {QStringLiteral("-tqq"), path}).first == 0;
}

// The files 7-Zip extracts with the password, by name; nullopt when it refuses.
inline std::optional<QMap<QString, QByteArray>> extractWith7z(const QString &path, const QString &password,
                                                              const QString &into)
{
    QDir(into).removeRecursively();
    QDir().mkpath(into);
    const auto [code, output] = runTool(QStringLiteral("7zz"), {QStringLiteral("x"), QStringLiteral("-y"),
                                                                QStringLiteral("-p") + password,
                                                                QStringLiteral("-o") + into, path});
    if (code != 0)
        return std::nullopt;
    QMap<QString, QByteArray> files;
    QDirIterator it(into, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(into).relativeFilePath(file), f.readAll());
    }
    return files;
}
