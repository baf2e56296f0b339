#include "downloads.h"

#include "platform/dialogs.h"
#include "platform/webbrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWidget>

#include <cstdio>

namespace Downloads {
namespace {

constexpr qsizetype kMaxNameBytes = 255;

// Control characters, and the invisible ones that turn text around or hide it (a name
// that reads "invoice.pdf" but is "invoice\u202Efdp.exe").
bool invisible(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// Shortened from the end of its stem, so the extension stays.
QString fitted(const QString &name)
{
    if (name.toUtf8().size() <= kMaxNameBytes)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - suffix.size());
    while (!stem.isEmpty() && (stem + suffix).toUtf8().size() > kMaxNameBytes) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem + suffix;
}

} // namespace

QString safeFileName(const QString &proposed)
{
    QString name = proposed;
    name.replace(u'\\', u'/');
    name = name.mid(name.lastIndexOf(u'/') + 1);
    QString kept;
    for (const QChar c : std::as_const(name)) {
        if (!invisible(c))
            kept.append(c);
    }
    kept = kept.trimmed();
    // A leading dot hides the file, or makes it one of the files a shell or a desktop
    // reads at login.
    qsizetype start = 0;
    while (start < kept.size() && (kept.at(start) == u'.' || kept.at(start).isSpace()))
        ++start;
    kept = fitted(kept.mid(start).trimmed());
    return kept.isEmpty() ? QStringLiteral("download") : kept;
}

QString folder(const QString &programFolder)
{
    QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString program = QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath());
    const QString clean = QDir::cleanPath(downloads);
    if (downloads.isEmpty() || !QFileInfo(downloads).isDir() || clean == program
        || clean.startsWith(program + u'/'))
        return QDir::homePath();
    return downloads;
}

void offer(QWebEngineDownloadRequest *item, WebBrowser *tab, const QString &startFolder)
{
    QWidget *parent = tab->widget() ? tab->widget()->window() : nullptr;
    QString name = safeFileName(item->downloadFileName());
    QString where = startFolder;
    QString path;
    while (true) {
        path = Dialogs::instance().saveFile(parent, QString(), QString(), name, where);
        if (path.isEmpty()) {
            item->cancel();
            return;
        }
        const QFileInfo chosen(path);
        if (!chosen.exists() && !chosen.isSymLink())
            break;
        // Every browser asks before a file is replaced; No goes back to the dialog.
        if (!chosen.isDir()
            && Dialogs::instance().question(parent, QStringLiteral("QuorlOffice"),
                                            tab->dialogTexts().replaceFile + u'\n' + path))
            break;
        name = chosen.fileName();
        where = chosen.absolutePath();
    }
    const QFileInfo target(path);
    const QString partial = QStringLiteral(".") + target.fileName().left(100) + u'.'
                            + QString::number(QRandomGenerator::global()->generate(), 36)
                            + QStringLiteral(".part");
    const QString partialPath = target.absolutePath() + u'/' + partial;
    item->setDownloadDirectory(target.absolutePath());
    item->setDownloadFileName(partial);
    QPointer<WebBrowser> owner(tab);
    const int index = tab->index();
    QObject::connect(item, &QWebEngineDownloadRequest::stateChanged, tab,
                     [item, owner, index, path, partialPath](QWebEngineDownloadRequest::DownloadState state) {
                         if (state == QWebEngineDownloadRequest::DownloadRequested
                             || state == QWebEngineDownloadRequest::DownloadInProgress)
                             return;
                         bool placed = false;
                         FileSpace::Problem problem = FileSpace::Problem::Other;
                         switch (item->interruptReason()) {
                         case QWebEngineDownloadRequest::FileNoSpace:
                             problem = FileSpace::Problem::DiskFull;
                             break;
                         case QWebEngineDownloadRequest::FileAccessDenied:
                             problem = FileSpace::Problem::ReadOnly;
                             break;
                         default:
                             break;
                         }
                         if (state == QWebEngineDownloadRequest::DownloadCompleted) {
                             const qint64 received = item->receivedBytes();
                             const bool whole = QFileInfo(partialPath).size() == received
                                                && (item->totalBytes() <= 0 || item->totalBytes() == received);
                             // rename() puts the new file in the old one's place in one step.
                             placed = whole
                                      && std::rename(QFile::encodeName(partialPath).constData(),
                                                     QFile::encodeName(path).constData())
                                             == 0;
                         }
                         if (!placed)
                             QFile::remove(partialPath);
                         if (!placed && state != QWebEngineDownloadRequest::DownloadCancelled && owner)
                             emit owner->downloadFailed(index, path, problem);
                     });
    item->accept();
}

} // namespace Downloads
