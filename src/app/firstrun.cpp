#include "firstrun.h"

#include "platform/paths.h"
#include "platform/privacy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FirstRun {
namespace {

// Copies source over target (removing an existing target first when asked), then
// removes the source.
bool moveOver(const QString &source, const QString &target, bool replace, QString *detail)
{
    if (QFileInfo::exists(target)) {
        if (!replace) {
            if (!QFile::remove(source)) {
                *detail = QStringLiteral("cannot remove ") + source;
                return false;
            }
            return true;
        }
        if (!QFile::remove(target)) {
            *detail = QStringLiteral("cannot replace ") + target;
            return false;
        }
    }
    if (!QFile::copy(source, target)) {
        *detail = QStringLiteral("cannot copy ") + source + QStringLiteral(" to ") + target;
        return false;
    }
    // The copy takes the delivered file's permissions; the user's files are the user's alone.
    Privacy::closeFile(target);
    if (!QFile::remove(source)) {
        *detail = QStringLiteral("cannot remove ") + source;
        return false;
    }
    return true;
}

Result missing(const QString &path)
{
    return Result{Result::Status::MissingFile, path, {}};
}

Result failed(const QString &path, const QString &detail)
{
    return Result{Result::Status::Failed, path, detail};
}

} // namespace

bool markerPresent(const QString &appPath)
{
    return QFileInfo::exists(Paths::resolve(appPath, QStringLiteral("QuorlFirst.txt")));
}

Result moveData(const QString &appPath)
{
    const QString root = QDir::cleanPath(appPath);
    for (const char *folder : {"Links", "Data", "Languages", "Images"}) {
        const QString dir = Paths::resolve(root, QString::fromLatin1(folder));
        Privacy::makeFolder(dir); // an existing folder is fine
    }
    const QString links = Paths::resolve(root, QStringLiteral("Links"));
    const QString languages = Paths::resolve(root, QStringLiteral("Languages"));
    QString detail;

    const QStringList linkFiles = Paths::matchFiles(root, QStringLiteral("links.*"));
    if (linkFiles.isEmpty())
        return missing(root + QStringLiteral("/links.*"));
    for (const QString &name : linkFiles) {
        if (!moveOver(root + u'/' + name, Paths::resolve(links, name), false, &detail))
            return failed(root + u'/' + name, detail);
    }

    const QStringList langFiles = Paths::matchFiles(root, QStringLiteral("Lang_*.txt"));
    if (langFiles.isEmpty())
        return missing(root + QStringLiteral("/Lang_English.txt"));
    for (const QString &name : langFiles) {
        if (!moveOver(root + u'/' + name, Paths::resolve(languages, name), true, &detail))
            return failed(root + u'/' + name, detail);
    }

    const struct { const char *source; const char *target; } templates[] = {
        {"template.doc", "Data/Template.doc"},
        {"templateh.doc", "Data/TemplateH.doc"},
    };
    for (const auto &t : templates) {
        const QString source = Paths::resolve(root, QString::fromLatin1(t.source));
        if (!QFileInfo(source).isFile())
            return missing(root + u'/' + QString::fromLatin1(t.source));
        if (!moveOver(source, Paths::resolve(root, QString::fromLatin1(t.target)), true, &detail))
            return failed(source, detail);
    }

    // The link table's help documents, one per language; a language without its own
    // simply has no help to open.
    const QString data = Paths::resolve(root, QStringLiteral("Data"));
    for (const QString &name : Paths::matchFiles(root, QStringLiteral("QuorlGOTab*.pdf"))) {
        if (!moveOver(root + u'/' + name, Paths::resolve(data, name), true, &detail))
            return failed(root + u'/' + name, detail);
    }

    const QString marker = Paths::resolve(root, QStringLiteral("QuorlFirst.txt"));
    if (QFileInfo::exists(marker) && !QFile::remove(marker))
        return failed(marker, QStringLiteral("cannot remove the marker"));
    return {};
}

} // namespace FirstRun
