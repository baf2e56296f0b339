#include "pageframe.h"

#include "platform/wait.h"
#include "platform/webbrowser.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace {

const QString kPageSize = QStringLiteral("[window.innerWidth, window.innerHeight]");
// Counts animation frames from now, in the program's own script world. The second one
// begins only once the first has been drawn. A count started earlier stops counting.
const QString kCountFrames = QStringLiteral(
    "(function () { var n = (window.quorlFrameWatch || 0) + 1; window.quorlFrameWatch = n; window.quorlFrames = 0;"
    " requestAnimationFrame(function () { if (window.quorlFrameWatch === n) window.quorlFrames = 1;"
    "  requestAnimationFrame(function () { if (window.quorlFrameWatch === n) window.quorlFrames = 2; }); });"
    " return n; })()");
const QString kFramesDrawn = QStringLiteral("window.quorlFrames");
// After the frame was drawn, the window paints it within a few milliseconds; a page
// that changes nothing on screen may have been painted already.
constexpr int kPaintMs = 100;

} // namespace

PageFrame::PageFrame(WebBrowser *web)
    : m_web(web)
{
    if (!web)
        return;
    QWidget *view = web->widget();
    m_viewSize = view->size();
    // The engine's drawing surfaces are the view's children; what they paint is what
    // the window shows of the page.
    for (QWidget *surface : view->findChildren<QWidget *>()) {
        surface->installEventFilter(this);
        m_surfaces.append(surface);
    }
    if (const auto size = web->evaluate(kPageSize, 1000))
        m_pageSize = size->toList();
}

PageFrame::~PageFrame()
{
    for (const QPointer<QWidget> &surface : m_surfaces) {
        if (surface)
            surface->removeEventFilter(this);
    }
}

bool PageFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++m_paints;
    return QObject::eventFilter(watched, event);
}

bool PageFrame::waitUntilShown(int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return static_cast<int>(std::max<qint64>(0, limitMs - clock.elapsed())); };
    if (!m_web)
        return false;
    // The page knows its new size once the engine has laid it out anew.
    if (m_web->widget()->size() != m_viewSize && !m_pageSize.isEmpty()) {
        const bool resized = Wait::until(
            [&] {
                const auto size = m_web && left() > 0 ? m_web->evaluate(kPageSize, left()) : std::nullopt;
                return size && size->toList() != m_pageSize;
            },
            left(), 5);
        if (!resized || !m_web)
            return false;
    }
    const int paintsBefore = m_paints;
    if (!m_web->evaluate(kCountFrames, left()))
        return false;
    const bool drawn = Wait::until(
        [&] {
            const auto frames = m_web && left() > 0 ? m_web->evaluate(kFramesDrawn, left()) : std::nullopt;
            return frames && frames->toInt() >= 2;
        },
        left(), 5);
    if (!drawn)
        return false;
    Wait::until([&] { return m_paints > paintsBefore; }, std::min(left(), kPaintMs), 5);
    Wait::pendingEvents();
    return true;
}
