#include "pagecapture.h"

#include "export/exporthost.h"
#include "export/officeapp.h"
#include "export/mhtml.h"
#include "platform/archivepage.h"
#include "platform/filespace.h"
#include "platform/pageframe.h"
#include "platform/privatefolder.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"
#include "settings/appstate.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QUrl>
#include <QWidget>

#include <iconv.h>

namespace {


QString script(const QString &name)
{
    return TextFile::readText(QStringLiteral(":/scripts/") + name).value_or(QString());
}

// The extensions of a filter's patterns ("Word (*.doc)|*.doc" gives "doc"), in order.
QStringList filterExtensions(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 1; i < parts.size(); i += 2) {
        const QString pattern = parts.at(i).trimmed();
        result.append(pattern.startsWith(QLatin1String("*.")) ? pattern.mid(2).toLower() : QString());
    }
    return result;
}

} // namespace

PageCapture::PageCapture(const AppState &state, ExportHost &host)
    : m_state(state)
    , m_host(host)
{
}

void PageCapture::setOpacity(int alpha)
{
    m_host.setOpacity(std::clamp(alpha, 0, 255));
}

bool PageCapture::copyPage(bool clearFirst, bool withPictures, Scope scope, int waitLimitMs)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clearFirst)
        clipboard->clear();
    m_page = CleanPage();
    m_cancelled = false;
    m_pageDied = false;
    m_timedOut = false;
    // The page is taken once it has completed: one still loading is not cut short.
    const bool complete = waitLimitMs > 0 ? m_host.waitForPageWithin(waitLimitMs, &m_timedOut) : m_host.waitForPage();
    if (!complete) {
        WebBrowser *web = m_host.currentPage();
        m_pageDied = web && web->dead();
        // The user stopped the wait, or the program is closing: nothing is exported.
        m_cancelled = !m_pageDied && !m_timedOut;
        return false;
    }
    WebBrowser *web = m_host.currentPage();
    if (!web)
        return false;
    const bool selection = scope == Scope::OfferSelection && selectionWanted(web);
    const auto captured = take([web](const QString &code, int timeoutMs) { return web->evaluate(code, timeoutMs); },
                               withPictures, selection);
    if (captured && captured->toMap().contains(QStringLiteral("html"))) {
        m_page = CleanPage::fromScript(*captured);
    } else if (const auto text = web->plainText(10000)) {
        // A page that runs no scripts at all: its text as the engine shows it.
        m_page = CleanPage::fromText(*text, web->locationName(), web->locationURL());
    }
    if (m_page.isEmpty())
        return false;
    if ((withPictures && m_page.loaded.size() < m_page.pictures.size()) || !m_page.frames.isEmpty()) {
        // The pictures as the engine loaded them, and the documents of other sites'
        // frames: its own archive of the page, in a private folder that goes at once.
        // Nothing is fetched again.
        PrivateFolder::Temporary folder(QStringLiteral("page"));
        const QString path = folder.filePath(QStringLiteral("page.mht"));
        if (folder.isValid() && web->save(path, WebBrowser::SaveFormat::WebArchive, 60000)) {
            QFile file(path);
            const QByteArray archive = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            file.close();
            const QList<Mhtml::Part> parts = Mhtml::parse(archive);
            int budget = kMostFrames;
            std::unique_ptr<ArchivePage> reader;
            takeFrames(m_page, archive, parts, folder.path(), withPictures, 0, budget, reader);
            if (withPictures)
                m_page.takePictures(parts);
        }
        m_page.dropFrames();
        if (m_page.isEmpty())
            return false;
    }
    if (m_host.keepsClipboard())
        putOnClipboard(m_page.document(withPictures, QDateTime::currentDateTime()), m_page.text);
    return true;
}

void PageCapture::putOnClipboard(const QByteArray &html, const QString &text)
{
    auto *data = new QMimeData;
    data->setHtml(QString::fromUtf8(html));
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool PageCapture::selectionWanted(WebBrowser *web)
{
    // The selection script keeps the selected range in the program's own world, where
    // the capture finds it; a selection of white space alone is none.
    const auto selected = web->evaluate(script(QStringLiteral("selection.js")), 5000);
    if (!selected || !selected->toBool())
        return false;
    return m_host.ask(m_state.text(342, QStringLiteral("Part of the page is selected. Export only the selected part? "
                                                         "(No exports the whole page.)")));
}

std::optional<QVariant> PageCapture::take(const Evaluate &evaluate, bool withDrawings, bool selection)
{
    // Pictures the page would load only when scrolled to are asked for, and drawings
    // drawn, for as long as the page may take for it.
    const auto pending = withDrawings ? evaluate(script(QStringLiteral("prepare.js")), 10000) : std::nullopt;
    if (pending && pending->toInt() > 0) {
        Wait::until(
            [&] {
                const auto ready = evaluate(QStringLiteral("window.quorlPrepared ? window.quorlPrepared.ready() : true"), 2000);
                return !ready || ready->toBool();
            },
            kPrepareLimitMs, 50);
    }
    // The capture takes the kept range only when told to, and forgets it either way.
    const QString scope = selection ? QStringLiteral("window.quorlUseSelection = true;\n") : QString();
    return evaluate(scope + script(QStringLiteral("capture.js")), 60000);
}

int PageCapture::framePart(const CleanPage::Frame &frame, const QList<Mhtml::Part> &parts)
{
    // The engine names the frames of a document it loaded from an archive by their
    // parts there; a live page's frame is found by its address.
    if (frame.url.startsWith(QLatin1String("cid:"))) {
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (parts.at(i).type == "text/html" && u"cid:" + parts.at(i).contentId == frame.url)
                return static_cast<int>(i);
        }
        return -1;
    }
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts.at(i).type == "text/html" && !frame.url.isEmpty() && parts.at(i).location == frame.url)
            return static_cast<int>(i);
    }
    // A frame that has moved on from the address it was given: the page's own copy in
    // the archive names each frame's part where the frame stands.
    if (frame.index < 0 || parts.isEmpty())
        return -1;
    static const QRegularExpression frameTag(QStringLiteral("<i?frame\\b[^>]*\\ssrc=\"cid:([^\"]+)\""),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString page = QString::fromUtf8(parts.first().body);
    static const QRegularExpression anyFrame(QStringLiteral("<i?frame\\b"), QRegularExpression::CaseInsensitiveOption);
    int n = 0;
    for (auto it = anyFrame.globalMatch(page); it.hasNext(); ++n) {
        const QRegularExpressionMatch tag = it.next();
        if (n != frame.index)
            continue;
        const QRegularExpressionMatch cid = frameTag.match(page, tag.capturedStart(),
                                                           QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchorAtOffsetMatchOption);
        return cid.hasMatch() ? framePart({QStringLiteral("cid:") + cid.captured(1), -1, {}}, parts) : -1;
    }
    return -1;
}

void PageCapture::takeFrames(CleanPage &page, const QByteArray &archive, const QList<Mhtml::Part> &parts,
                             const QString &folder, bool withPictures, int depth, int &budget,
                             std::unique_ptr<ArchivePage> &reader)
{
    for (int n = 0; n < page.frames.size() && budget > 0; ++n) {
        const int part = framePart(page.frames.at(n), parts);
        if (part < 0)
            continue;
        --budget;
        // The frame's document alone, shown from the archive as its page, and taken
        // by the same script as the page: what reaches the document is as clean.
        // A name of its own for each: the one reader never takes a frame for the last.
        const QString path = folder + QStringLiteral("/frame%1.mht").arg(budget);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Mhtml::withPage(archive, parts, part)) < 0)
            continue;
        file.close();
        if (!reader)
            reader = std::make_unique<ArchivePage>();
        if (!reader->load(path, page.frames.at(n).size, 15000))
            continue;
        const auto captured = take([&reader](const QString &code, int timeoutMs) { return reader->evaluate(code, timeoutMs); },
                                   withPictures);
        QFile::remove(path);
        if (!captured || !captured->toMap().contains(QStringLiteral("html")))
            continue;
        CleanPage frame = CleanPage::fromScript(*captured);
        if (depth + 1 < kFrameDepth)
            takeFrames(frame, archive, parts, folder, withPictures, depth + 1, budget, reader);
        frame.dropFrames();
        page.insertFrame(n, frame);
    }
}

QString PageCapture::suggestName(const QString &title, const QString &extension, const QString &fixedName)
{
    if (!fixedName.isEmpty() && title.isEmpty())
        return fixedName + extension;
    QString name;
    for (const QChar c : title.left(22)) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            name.append(c);
    }
    // A title without ASCII letters or digits (Cyrillic, Greek, Arabic...) would leave
    // only the extension: a hidden file here.
    if (name.isEmpty() && !fixedName.isEmpty())
        return fixedName + extension;
    return name + extension;
}

QString PageCapture::suggestName(const QString &extension, const QString &fixedName) const
{
    WebBrowser *web = m_host.currentPage();
    return suggestName(web ? web->locationName() : QString(), extension, fixedName);
}

QString PageCapture::withExtension(const QString &path, const QString &filter, int filterIndex,
                                   const QStringList &accepted)
{
    const QStringList extensions = filterExtensions(filter);
    const QString own = QFileInfo(path).suffix().toLower();
    if (!own.isEmpty() && (extensions.contains(own) || accepted.contains(own, Qt::CaseInsensitive)))
        return path;
    const QString wanted = extensions.value(std::clamp(filterIndex, 0, static_cast<int>(extensions.size()) - 1));
    if (wanted.isEmpty())
        return path;
    return path + (path.endsWith(u'.') ? QString() : QStringLiteral(".")) + wanted;
}

QString PageCapture::saveDialog(const QString &filter, const QString &suggestedName, const QStringList &accepted,
                                int *filterIndex)
{
    const QString folder = m_lastPath.isEmpty() ? QDir::homePath() : QFileInfo(m_lastPath).absolutePath();
    int chosen = 0;
    QString path = m_host.chooseSaveFile(QString(), filter, suggestedName, folder, &chosen);
    if (filterIndex)
        *filterIndex = chosen;
    if (path.isEmpty())
        return path;
    path = withExtension(path, filter, chosen, accepted);
    m_lastPath = path;
    return path;
}

QImage PageCapture::screenPicture(int limitMs)
{
    // The screen is taken as soon as it shows the page whole without the bars: laid
    // out anew for its larger view and painted in the window since. limitMs is the
    // longest this may take; the picture is taken then whatever the page does.
    PageFrame frame(m_host.currentPage());
    m_host.showPageAlone();
    frame.waitUntilShown(limitMs);
    const QImage picture = m_host.grabScreen();
    // The picture is on the clipboard the moment it is set: nothing to wait for.
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
    Wait::pendingEvents();
    m_host.showBars();
    return picture;
}

QByteArray PageCapture::encodeSource(const QString &source, const QString &charset)
{
    const QString name = charset.trimmed().toLower();
    if (name.isEmpty() || name == QLatin1String("utf-8") || name == QLatin1String("utf8"))
        return source.toUtf8();
    if (QStringEncoder encoder(name.toLatin1().constData()); encoder.isValid()) {
        const QByteArray bytes = encoder.encode(source);
        if (!encoder.hasError())
            return bytes;
    }
    // Other code pages through the C library's converter; a character the page's
    // encoding cannot hold (put there by a script) makes the whole file UTF-8.
    iconv_t convert = iconv_open(name.toLatin1().constData(), "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1))
        return source.toUtf8();
    QByteArray in = source.toUtf8();
    QByteArray out(in.size() * 4 + 16, Qt::Uninitialized);
    char *inPtr = in.data();
    size_t inLeft = static_cast<size_t>(in.size());
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t done = iconv(convert, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(convert);
    if (done == static_cast<size_t>(-1) || inLeft != 0)
        return source.toUtf8();
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

bool PageCapture::pageAlive()
{
    WebBrowser *web = m_host.currentPage();
    if (!web || !web->dead())
        return true;
    m_host.tell(Dialogs::Icon::Warning, pageDiedMessage(m_state));
    return false;
}

QString PageCapture::pageDiedMessage(const AppState &state)
{
    return state.text(285, QStringLiteral("This page has stopped working, so it cannot be exported. Reload it "
                                          "and try again."));
}

void PageCapture::viewSource()
{
    WebBrowser *web = m_host.currentPage();
    if (!web || !pageAlive())
        return;
    const auto source = web->evaluate(QStringLiteral("[document.documentElement.outerHTML, document.characterSet]"));
    if (!source)
        return;
    const QVariantList values = source->toList();
    const AppState &s = m_state;
    const QString existing = s.paths.file(QStringLiteral("doc.txt"));
    if (QFile::exists(existing))
        QFile::remove(existing);
    const QString path = s.paths.file(QStringLiteral("Doc.Txt"));
    const QByteArray bytes = encodeSource(values.value(0).toString(), values.value(1).toString());
    if (FileSpace::write(path, bytes) != FileSpace::Problem::None) {
        m_host.tell(Dialogs::Icon::Warning, OfficeApp::writeFailure(s, path, bytes.size()));
        return;
    }
    if (!Shell::instance().openUrl(QUrl::fromLocalFile(path)))
        m_host.tell(Dialogs::Icon::Warning, s.text(254, QStringLiteral("No program on this computer can open this file:"))
                                        + u'\n' + path);
}

void PageCapture::saveMht()
{
    const AppState &s = m_state;
    WebBrowser *web = m_host.currentPage();
    if (!web || !pageAlive())
        return;
    setOpacity(s.exportAlpha);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Wait::sleep(500);
    QApplication::restoreOverrideCursor();
    const QString title = web->locationName();
    const QString filter = s.lang.entry(228) + QStringLiteral(" (*.mht)|*.mht|") + s.lang.entry(229)
                           + QStringLiteral(" (*.html)|*.html|") + s.lang.entry(230) + QStringLiteral(" (*.html)|*.html");
    int format = 0;
    const QString base = suggestName(title, QString(), QString());
    QString path = m_host.chooseSaveFile(s.lang.entry(227), filter,
                                                (base.isEmpty() ? QStringLiteral("page") : base) + QStringLiteral(".mht"),
                                                QDir::homePath(), &format);
    if (path.isEmpty()) {
        // A cancel is no save: nothing to report.
        setOpacity(s.normalAlpha);
        return;
    }
    format = std::clamp(format, 0, 2);
    path = withExtension(path, filter, format, {QStringLiteral("mht"), QStringLiteral("mhtml"), QStringLiteral("htm")});
    QString failure;
    const FileSpace::Problem before = FileSpace::diagnose(path, 0);
    if (before != FileSpace::Problem::None && before != FileSpace::Problem::DiskFull) {
        failure = OfficeApp::writeFailure(s, path, 0);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        failure = savePage(web, path, static_cast<WebBrowser::SaveFormat>(format));
        QApplication::restoreOverrideCursor();
        Wait::sleep(500);
    }
    setOpacity(s.normalAlpha);
    if (!failure.isEmpty()) {
        m_host.tell(Dialogs::Icon::Warning, failure);
        return;
    }
    m_host.tell(Dialogs::Icon::Information, s.lang.entry(108) + path);
}

bool PageCapture::wholeArchive(const QByteArray &archive)
{
    // A web archive ends with the closing line of the boundary its header names.
    const QByteArray head = archive.left(8192);
    const qsizetype at = head.indexOf("boundary=");
    if (at < 0)
        return false;
    QByteArray boundary = head.mid(at + 9);
    boundary = boundary.left(boundary.indexOf('\n')).trimmed();
    if (boundary.startsWith('"'))
        boundary = boundary.mid(1, boundary.indexOf('"', 1) - 1);
    else if (const qsizetype semicolon = boundary.indexOf(';'); semicolon >= 0)
        boundary.truncate(semicolon);
    return !boundary.isEmpty() && archive.right(boundary.size() + 64).trimmed().endsWith(QByteArray("--" + boundary + "--"));
}

QString PageCapture::savePage(WebBrowser *web, const QString &path, WebBrowser::SaveFormat format)
{
    const AppState &s = m_state;
    const QString cut = s.text(287, QStringLiteral("The page could not be saved whole; nothing was replaced:"))
                        + u'\n' + path;
    // The engine writes its files in a working folder of the program's own, where a
    // failure cuts nothing of the user's; only a complete save is then put in place,
    // through the same write as every other file.
    PrivateFolder::Temporary work(QStringLiteral("save"));
    if (!work.isValid())
        return cut;
    const QFileInfo target(path);
    const QString made = work.filePath(target.fileName());
    if (!web->save(made, format))
        return cut;
    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return cut;
    const QByteArray page = file.readAll();
    file.close();
    if (format == WebBrowser::SaveFormat::WebArchive && !wholeArchive(page))
        return cut;
    // A complete page's pictures and styles, in the folder the page names, go first:
    // the page itself takes its place only once they are there.
    const QDir workDir(work.path());
    for (const QFileInfo &entry : workDir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        QDirIterator files(entry.absoluteFilePath(), QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString from = files.next();
            const QString to = target.absolutePath() + u'/' + workDir.relativeFilePath(from);
            QFile part(from);
            if (!part.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(to).absolutePath()))
                return OfficeApp::writeFailure(s, to, part.size());
            const QByteArray bytes = part.readAll();
            if (FileSpace::write(to, bytes) != FileSpace::Problem::None)
                return OfficeApp::writeFailure(s, to, bytes.size());
        }
    }
    if (FileSpace::write(path, page) != FileSpace::Problem::None)
        return OfficeApp::writeFailure(s, path, page.size());
    return {};
}
