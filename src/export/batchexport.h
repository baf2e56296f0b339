#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Exports;
class QWebEngineProfile;
class WebBrowser;
struct AppState;

// The exports with no one at a window (the command line's): each page is loaded in a
// view of its own that is drawn but never on a screen, waited for, and exported as the
// window exports the page of its current tab, one page after the other; the next page
// loads while the one before it is being converted, and one office worker serves them
// all. What the window would ask the user is answered from the settings: the file is
// the one named, or one named from the page's title that replaces nothing. Each page
// ends in one line: where its file went, or why there is none.
class BatchExport : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        QString format;       // an export's name: doc, docx, pdf, xlsx, links, png, mht...
        QString output;       // the file of one page, or the folder of the files
        bool outputIsFolder = true;
        bool quiet = false;   // no line for a page that was exported
        int waitSeconds = 60; // the longest wait for a page
    };
    struct Page
    {
        QString given;   // as the user named it
        QString address; // what is opened
    };

    // say: one line for the user. The office worker, when the format needs one, starts
    // at once, while the engine is made ready.
    BatchExport(AppState &state, Settings settings, std::function<void(const QString &line)> say);
    ~BatchExport() override;

    // Exports every page, loaded with the engine profile given; the number of pages that
    // were not exported.
    int run(QWebEngineProfile *profile, const QList<Page> &pages);
    // The user asked the run to end (an interrupt, the session gone): the page under way
    // is finished unless it is still loading, and no other is begun.
    void stop() { m_stopped = true; }

    // The size of the view a page is drawn in: a common desktop's.
    static constexpr int kViewWidth = 1366;
    static constexpr int kViewHeight = 768;
    // Documents one office worker makes before LibreOffice starts afresh.
    static constexpr int kExportsPerWorker = 50;

    // The extensions a file of the format may have; the first is the one given to a
    // name that has none of them.
    static QStringList extensions(const QString &format);
    // path itself when it ends in one of the format's extensions, else path with the
    // format's own added (as the save dialog adds the chosen filter's).
    static QString withExtension(const QString &path, const QString &format);

private:
    class Host;

    std::unique_ptr<WebBrowser> load(const Page &page);
    // The page waited for and exported; why it was not, or nothing.
    QString exportPage(WebBrowser *web);
    QString exportPicture(WebBrowser *web);
    QString exportLinks(WebBrowser *web);
    QString nothingExported() const;

    AppState &m_state;
    QWebEngineProfile *m_profile = nullptr;
    Settings m_settings;
    std::function<void(const QString &)> m_say;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<Exports> m_exports;
    bool m_stopped = false;
};
