#include "batchexport.h"

#include "browser/tabbrowsing.h"
#include "export/exporthost.h"
#include "export/exports.h"
#include "export/officeapp.h"
#include "export/pagecapture.h"
#include "platform/filespace.h"
#include "platform/headlessdialogs.h"
#include "platform/office/officespare.h"
#include "platform/webbrowser.h"
#include "settings/appstate.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {

enum class Family { Word, Pdf, Sheet, Slide, Links, Picture, Page };

Family familyOf(const QString &format)
{
    if (format == QLatin1String("pdf"))
        return Family::Pdf;
    if (format == QLatin1String("xls") || format == QLatin1String("xlsx") || format == QLatin1String("ods"))
        return Family::Sheet;
    if (format == QLatin1String("ppt") || format == QLatin1String("pptx") || format == QLatin1String("odp"))
        return Family::Slide;
    if (format == QLatin1String("links"))
        return Family::Links;
    if (format == QLatin1String("png"))
        return Family::Picture;
    if (format == QLatin1String("mht") || format == QLatin1String("html"))
        return Family::Page;
    return Family::Word;
}

} // namespace

// The window's side of an export, with no window: the file comes from the settings,
// what the export tells the user is kept for the page's line, and the rest (opacity,
// status, bars) has no one to show it to.
class BatchExport::Host : public ExportHost
{
public:
    explicit Host(const Settings &settings)
        : m_settings(settings)
    {
    }

    struct Told
    {
        Dialogs::Icon icon;
        QString text;
    };
    struct Renamed
    {
        QString wanted;
        QString taken;
    };

    void setPage(WebBrowser *web)
    {
        m_web = web;
        m_path.clear();
        m_told.clear();
        m_renamed.clear();
    }
    const QString &path() const { return m_path; }
    const QList<Told> &told() const { return m_told; }
    const QList<Renamed> &renamed() const { return m_renamed; }

    // The file of the page's export whose save dialog would propose suggestedName: the
    // one the user named, or the proposed name in the output folder with the format's
    // extension, the next free name when it is taken.
    QString choose(const QString &suggestedName)
    {
        if (!m_settings.outputIsFolder) {
            m_path = withExtension(m_settings.output, m_settings.format);
        } else {
            const QDir folder(m_settings.output.isEmpty() ? QDir::currentPath() : m_settings.output);
            const QString wanted = folder.filePath(QFileInfo(suggestedName).completeBaseName() + u'.'
                                                   + extensions(m_settings.format).constFirst());
            m_path = Exports::nextFreeName(wanted);
            if (m_path != wanted)
                m_renamed.append({wanted, m_path});
        }
        // The PDF export's word-processor document beside the PDF takes the next free
        // name of its own (the export itself sees to that): the user is told.
        if (familyOf(m_settings.format) == Family::Pdf) {
            const QString side = Exports::sideDocumentPath(m_path);
            if (const QString taken = Exports::nextFreeName(side); side != m_path && taken != side)
                m_renamed.append({side, taken});
        }
        return m_path;
    }

    QWidget *dialogParent() override { return nullptr; }
    WebBrowser *currentPage() override { return m_web; }
    // The page was waited for before the export began.
    bool waitForPage() override { return m_web && !m_web->dead(); }
    QString chooseSaveFile(const QString &, const QString &, const QString &suggestedName, const QString &,
                           int *filterIndex) override
    {
        // The web page's save dialog offers the web archive first and the HTML alone last.
        if (filterIndex)
            *filterIndex = m_settings.format == QLatin1String("html") ? 2 : 0;
        return choose(suggestedName);
    }
    void tell(Dialogs::Icon icon, const QString &text) override { m_told.append({icon, text}); }
    bool keepsClipboard() override { return false; }
    void setOpacity(int) override {}
    QString statusText() const override { return {}; }
    void setStatusText(const QString &) override {}
    void setProgress(int) override {}
    QWidget *statusPanel() override { return &m_panel; }
    int progressLeft() const override { return 0; }
    // The page's view is all there is of the screen.
    void showPageAlone() override {}
    void showBars() override {}
    QImage grabScreen() override { return m_web ? m_web->widget()->grab().toImage() : QImage(); }
    void stretchPageUnderBars() override {}
    void relayout() override {}
    void resumeAutoHide() override {}

private:
    const Settings &m_settings;
    WebBrowser *m_web = nullptr;
    QString m_path;
    QList<Told> m_told;
    QList<Renamed> m_renamed;
    // Where an export puts its Cancel button; never shown.
    QWidget m_panel;
};

BatchExport::BatchExport(AppState &state, Settings settings, std::function<void(const QString &line)> say)
    : m_state(state)
    , m_settings(std::move(settings))
    , m_say(std::move(say))
    , m_host(std::make_unique<Host>(m_settings))
    , m_exports(std::make_unique<Exports>(state, *m_host, this))
{
    const Family family = familyOf(m_settings.format);
    if (family == Family::Picture || family == Family::Page) {
        m_exports->spare()->end();
    } else {
        // One worker serves the batch's documents, all of one kind, and its first
        // document comes at once.
        m_exports->spare()->setWarmUp({});
        m_exports->spare()->keepWorkers(kExportsPerWorker);
    }
}

BatchExport::~BatchExport() = default;

QStringList BatchExport::extensions(const QString &format)
{
    if (format == QLatin1String("links"))
        return {QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("odt")};
    if (format == QLatin1String("mht"))
        return {QStringLiteral("mht"), QStringLiteral("mhtml")};
    if (format == QLatin1String("html"))
        return {QStringLiteral("html"), QStringLiteral("htm")};
    return {format};
}

QString BatchExport::withExtension(const QString &path, const QString &format)
{
    const QStringList own = extensions(format);
    if (own.contains(QFileInfo(path).suffix().toLower()))
        return path;
    return path + (path.endsWith(u'.') ? QString() : QStringLiteral(".")) + own.constFirst();
}

std::unique_ptr<WebBrowser> BatchExport::load(const Page &page)
{
    auto web = std::make_unique<WebBrowser>(0, m_profile, nullptr);
    web->setRegisterAsBrowser(false);
    web->setSilent(true);
    Dialogs::PageDialogTexts texts;
    texts.pageDied = m_state.text(282, QStringLiteral("This page has stopped working. Reload it to see it again."));
    texts.reload = m_state.text(284, QStringLiteral("Reload"));
    web->setDialogTexts(texts);
    // Drawn as the window draws its current page, so that what a page loads only when
    // it is shown (lazy pictures, content that waits to be seen) is loaded.
    QWidget *view = web->widget();
    view->resize(kViewWidth, kViewHeight);
    view->show();
    web->navigate(page.address);
    return web;
}

int BatchExport::run(QWebEngineProfile *profile, const QList<Page> &pages)
{
    m_profile = profile;
    int failed = 0;
    std::unique_ptr<WebBrowser> next = pages.isEmpty() ? nullptr : load(pages.constFirst());
    qsizetype i = 0;
    for (; i < pages.size() && !m_stopped; ++i) {
        const std::unique_ptr<WebBrowser> current = std::move(next);
        if (i + 1 < pages.size())
            next = load(pages.at(i + 1));
        const Page &page = pages.at(i);
        const QString failure = exportPage(current.get());
        const QString count = u'[' + QString::number(i + 1) + u'/' + QString::number(pages.size()) + QStringLiteral("] ");
        for (const Host::Renamed &name : m_host->renamed()) {
            m_say(name.wanted + QStringLiteral(": ")
                  + m_state.text(330, QStringLiteral("A file of this name is there already, so this one was saved as:"))
                  + u' ' + name.taken);
        }
        if (!failure.isEmpty()) {
            ++failed;
            m_say(count + page.given + QStringLiteral(": ") + HeadlessDialogs::oneLine(failure));
        } else if (!m_settings.quiet) {
            m_say(count + page.given + QStringLiteral(" -> ") + m_host->path());
        }
    }
    failed += static_cast<int>(pages.size() - i);
    if (i < pages.size())
        m_say(m_state.text(333, QStringLiteral("Stopped; pages not begun:")) + u' ' + QString::number(pages.size() - i));
    if (failed > 0) {
        m_say(m_state.text(331, QStringLiteral("Pages not exported:")) + u' ' + QString::number(failed) + u'/'
              + QString::number(pages.size()));
    }
    return failed;
}

QString BatchExport::exportPage(WebBrowser *web)
{
    m_host->setPage(web);
    const bool complete = TabBrowsing::attend([web] { return web; }, [this] { return m_stopped; },
                                              m_settings.waitSeconds * 1000);
    if (m_stopped && !complete)
        return m_state.text(334, QStringLiteral("Stopped while the page was loading."));
    if (web->dead())
        return PageCapture::pageDiedMessage(m_state);
    if (!web->loadError().isEmpty())
        return m_state.text(328, QStringLiteral("The page could not be loaded:")) + u' ' + web->loadError();
    if (!complete) {
        return m_state.text(329, QStringLiteral("The page did not load in the time allowed, in seconds:")) + u' '
               + QString::number(m_settings.waitSeconds);
    }
    const QDateTime started = QDateTime::currentDateTime();
    switch (familyOf(m_settings.format)) {
    case Family::Word:
        // The landscape template, as "SAVE:WORDH" uses.
        m_state.useTemplateH = false;
        m_exports->saveAsWord();
        break;
    case Family::Pdf:
        m_state.useTemplateH = false;
        m_exports->saveAsPdf();
        break;
    case Family::Sheet:
        m_exports->saveAsExcel();
        break;
    case Family::Slide:
        m_exports->saveAsPowerPoint();
        break;
    case Family::Page:
        m_exports->capture().saveMht();
        break;
    case Family::Links:
        return exportLinks(web);
    case Family::Picture:
        return exportPicture(web);
    }
    // What the export told: a warning is its failure; a file it did not write is none.
    for (const Host::Told &told : m_host->told()) {
        if (told.icon != Dialogs::Icon::Information)
            return told.text;
    }
    const QFileInfo file(m_host->path());
    if (m_host->path().isEmpty() || !file.isFile() || file.lastModified() < started.addSecs(-1)) {
        return nothingExported();
    }
    return {};
}

QString BatchExport::nothingExported() const
{
    // The last thing the export told, or that it wrote nothing.
    return m_host->told().isEmpty() ? m_state.text(332, QStringLiteral("Nothing was exported from this page."))
                                    : m_host->told().constLast().text;
}

QString BatchExport::exportPicture(WebBrowser *web)
{
    const QImage picture = m_exports->capture().screenPicture();
    const QString path = m_host->choose(PageCapture::suggestName(web->locationName(), QStringLiteral(".png"),
                                                                 QStringLiteral("Picture")));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        return m_state.text(226, QStringLiteral("The picture could not be saved:")) + u' ' + path;
    const FileSpace::Problem problem = FileSpace::write(path, png);
    return problem == FileSpace::Problem::None ? QString() : OfficeApp::writeFailure(m_state, path, problem);
}

QString BatchExport::exportLinks(WebBrowser *web)
{
    const QString path =
        m_host->choose(PageCapture::suggestName(web->locationName(), QStringLiteral("Links.doc"), QString()));
    if (m_exports->saveLinks(path))
        return {};
    return nothingExported();
}
