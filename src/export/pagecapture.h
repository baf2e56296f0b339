#pragma once

#include "export/cleanpage.h"
#include "platform/webbrowser.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

class ArchivePage;
class ExportHost;
class QImage;
struct AppState;

// The steps every export shares: the window's opacity, the capture of the page, the
// proposed file name and the save dialog, the screen picture; and the two commands
// that take the page without an office application.
class PageCapture
{
public:
    PageCapture(const AppState &state, ExportHost &host);

    // The window's opacity while an export runs: 0 transparent to 255 opaque.
    void setOpacity(int alpha);

    // What copyPage takes: the whole page, or the part the user has selected when they
    // want only that (they are asked when there is a selection).
    enum class Scope { WholePage, OfferSelection };
    // Once the page has completed, a clean copy of it (page()) is taken from
    // the engine's document and put on the clipboard as HTML and text. False when the
    // page gives nothing to export. clearFirst is false for the spreadsheet export, whose
    // clipboard then keeps what it held. withPictures false: the copy leaves pictures out
    // (the spreadsheet keeps none), so they are not gathered. waitLimitMs: a page whose
    // document has not come by then is given up (timedOut()); 0 waits for it.
    bool copyPage(bool clearFirst, bool withPictures = true, Scope scope = Scope::WholePage, int waitLimitMs = 0);
    const CleanPage &page() const { return m_page; }
    // The last copy ended because the user stopped the wait for the page.
    bool cancelled() const { return m_cancelled; }
    // The last copy ended because the page's renderer had ended.
    bool pageDied() const { return m_pageDied; }
    // The last copy ended because the page's document did not come in time.
    bool timedOut() const { return m_timedOut; }
    // The clipboard holds this document and its plain text, as a copy puts them there.
    static void putOnClipboard(const QByteArray &html, const QString &text);
    // False, the user told, when the current page's renderer has ended.
    bool pageAlive();
    static QString pageDiedMessage(const AppState &state);

    // The file name proposed for the current page, from its title; fixedName when the
    // title leaves no name.
    QString suggestName(const QString &extension, const QString &fixedName) const;
    static QString suggestName(const QString &title, const QString &extension, const QString &fixedName);

    // The save dialog: the export's filter, the proposed name, no overwrite prompt.
    // Empty when cancelled. A name typed without one of the accepted extensions gets the
    // chosen filter's. The chosen path stays, like the dialog's own FileName.
    QString saveDialog(const QString &filter, const QString &suggestedName, const QStringList &accepted = {},
                       int *filterIndex = nullptr);
    QString lastPath() const { return m_lastPath; }
    void setLastPath(const QString &path) { m_lastPath = path; }
    // The path with the filter's extension added when its own is not one of accepted
    // (the filter's extensions are always accepted).
    static QString withExtension(const QString &path, const QString &filter, int filterIndex,
                                 const QStringList &accepted);

    // A picture of the whole screen with the bars hidden, taken once the page fills the
    // window, the bars shown again; it is also put on the clipboard, as the user
    // expects of this command. limitMs: the longest wait for the page. A null picture
    // when the screen could not be taken.
    QImage screenPicture(int limitMs = kScreenLimitMs);
    static constexpr int kScreenLimitMs = 3000;

    // "EDIT:VIEW": the page source in Doc.Txt, in the page's own encoding, opened in the
    // text viewer.
    void viewSource();
    // "SAVE:HTML": the page saved as a web archive, a complete page or its HTML.
    void saveMht();
    // A web archive as the engine writes it, to its last line.
    static bool wholeArchive(const QByteArray &archive);

    // The page's source as bytes of its own encoding (UTF-8 when the name is unknown).
    static QByteArray encodeSource(const QString &source, const QString &charset);

    // The longest the capture waits for pictures the page loads late and for drawings.
    static constexpr int kPrepareLimitMs = 8000;
    // Frames of other sites taken in, at most, and how deep within each other.
    static constexpr int kMostFrames = 12;
    static constexpr int kFrameDepth = 3;

private:
    // The page saved at path, whole, or the reason it was not (the old file stays).
    QString savePage(WebBrowser *web, const QString &path, WebBrowser::SaveFormat format);

    using Evaluate = std::function<std::optional<QVariant>(const QString &script, int timeoutMs)>;
    // The page readied and taken by the capture script, in the world evaluate runs in;
    // only the range the selection script kept when selection is true.
    static std::optional<QVariant> take(const Evaluate &evaluate, bool withDrawings, bool selection = false);
    // The user has selected part of the page and wants only that exported.
    bool selectionWanted(WebBrowser *web);
    // The part of the archive that holds a frame's document; -1 when none does.
    static int framePart(const CleanPage::Frame &frame, const QList<Mhtml::Part> &parts);
    // The other sites' frames of page filled in from the archive, each taken as a page
    // shown by reader, which is made at the first frame and serves them all.
    static void takeFrames(CleanPage &page, const QByteArray &archive, const QList<Mhtml::Part> &parts,
                           const QString &folder, bool withPictures, int depth, int &budget,
                           std::unique_ptr<ArchivePage> &reader);

    const AppState &m_state;
    ExportHost &m_host;
    QString m_lastPath;
    CleanPage m_page;
    bool m_cancelled = false;
    bool m_pageDied = false;
    bool m_timedOut = false;
};
