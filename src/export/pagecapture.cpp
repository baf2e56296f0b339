#include "pagecapture.h"

#include "app/mainwindow.h"
#include "browser/tabbrowsing.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

QString script(const QString &name)
{
    return TextFile::readText(QStringLiteral(":/scripts/") + name).value_or(QString());
}

} // namespace

PageCapture::PageCapture(MainWindow *window)
    : m_window(window)
{
}

void PageCapture::setOpacity(int alpha)
{
    m_window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

bool PageCapture::clipboardHasContent()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && ((data->hasText() && !data->text().trimmed().isEmpty()) || data->hasHtml() || data->hasImage());
}

bool PageCapture::copyPage(bool clearFirst)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clearFirst)
        clipboard->clear();
    WebBrowser *web = m_window->currentBrowser();
    if (!web)
        return clipboardHasContent();
    m_cancelled = false;
    const auto copied = web->evaluate(script(QStringLiteral("copypage.js")));
    const bool attended = m_window->tabs()->webAttend();
    if (!attended) {
        // The user stopped the wait, or the program is closing: nothing is exported.
        m_cancelled = true;
        return false;
    }
    // The copy reaches the clipboard a moment after the page ran it.
    Wait::until([] { return clipboardHasContent(); }, 1000, 20);
    if (!copied || !copied->toBool() || !attended || !clipboardHasContent()) {
        // The page refused its copy command: select everything and copy directly.
        clipboard->clear();
        web->stop();
        web->widget()->setVisible(true);
        web->setFocus();
        web->selectAll();
        Wait::pendingEvents();
        Wait::sleep(200);
        Wait::pendingEvents();
        web->copy();
        Wait::pendingEvents();
        Wait::sleep(200);
        Wait::pendingEvents();
        web->refresh();
    }
    return clipboardHasContent();
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
    return name + extension;
}

QString PageCapture::suggestName(const QString &extension, const QString &fixedName) const
{
    WebBrowser *web = m_window->currentBrowser();
    return suggestName(web ? web->locationName() : QString(), extension, fixedName);
}

QString PageCapture::saveDialog(const QString &filter, const QString &suggestedName, int *filterIndex)
{
    const QString folder = m_lastPath.isEmpty() ? QDir::homePath() : QFileInfo(m_lastPath).absolutePath();
    const QString path = Dialogs::instance().saveFile(m_window, QString(), filter, suggestedName, folder, filterIndex);
    if (!path.isEmpty())
        m_lastPath = path;
    return path;
}

void PageCapture::loadClipboard(int waitMs)
{
    AppState &s = m_window->state();
    s.barsShown = true;
    m_window->statusPanel()->hide();
    m_window->goBarOff();
    m_window->repaint();
    Wait::sleep(waitMs);
    Wait::pendingEvents();
    Wait::sleep(waitMs);
    QScreen *screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QPixmap picture = screen ? screen->grabWindow(0) : QPixmap();
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture.toImage());
    Wait::pendingEvents();
    Wait::sleep(waitMs);
    m_window->statusPanel()->show();
    s.barsShown = false;
    m_window->goBarOn();
    m_window->repaint();
}

void PageCapture::viewSource()
{
    WebBrowser *web = m_window->currentBrowser();
    if (!web)
        return;
    const auto source = web->evaluate(QStringLiteral("document.documentElement.outerHTML"));
    if (!source)
        return;
    const AppState &s = m_window->state();
    const QString existing = s.paths.file(QStringLiteral("doc.txt"));
    if (QFile::exists(existing))
        QFile::remove(existing);
    const QString path = s.paths.file(QStringLiteral("Doc.Txt"));
    if (!TextFile::writeBytes(path, TextFile::encode(source->toString()))) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    s.text(219, QStringLiteral("This file could not be written:")) + u'\n' + path);
        return;
    }
    Shell::instance().openUrl(QUrl::fromLocalFile(path));
}

void PageCapture::saveMht()
{
    const AppState &s = m_window->state();
    WebBrowser *web = m_window->currentBrowser();
    if (!web)
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
    const QString path = Dialogs::instance().saveFile(m_window, s.lang.entry(227), filter,
                                                      (base.isEmpty() ? QStringLiteral("page") : base)
                                                          + QStringLiteral(".mht"),
                                                      QDir::homePath(), &format);
    bool saved = true;
    if (!path.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        saved = web->save(path, static_cast<WebBrowser::SaveFormat>(std::clamp(format, 0, 2)));
        QApplication::restoreOverrideCursor();
    }
    Wait::sleep(500);
    setOpacity(s.normalAlpha);
    if (!saved) {
        Dialogs::instance().message(m_window, Dialogs::Icon::Warning, kTitle,
                                    s.text(223, QStringLiteral("The document was not saved.")) + u'\n' + path);
        return;
    }
    Dialogs::instance().message(m_window, Dialogs::Icon::Information, kTitle,
                                s.lang.entry(108) + title + QStringLiteral(".mht"));
}
