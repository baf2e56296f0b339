#include "windowframe.h"

#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// A stored rectangle must show this much of itself on some screen to be used as it is.
constexpr int kVisibleMinPixels = 100;
// How often, and how many times, the frame is looked for once the window is shown: two
// seconds shown without a frame means there is no window manager.
constexpr int kCheckMs = 50;
constexpr int kChecks = 40;

} // namespace

WindowFrame::WindowFrame(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_timer.setInterval(kCheckMs);
    connect(&m_timer, &QTimer::timeout, this, &WindowFrame::check);
}

QRect WindowFrame::onSomeScreen(const QRect &frame)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect shown = screen->geometry().intersected(frame);
        if (shown.width() >= kVisibleMinPixels && shown.height() >= kVisibleMinPixels)
            return frame;
    }
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return frame;
    const QRect area = primary->availableGeometry();
    QRect moved(QPoint(0, 0), frame.size().boundedTo(area.size()).expandedTo(QSize(kVisibleMinPixels, kVisibleMinPixels)));
    moved.moveCenter(area.center());
    return moved;
}

void WindowFrame::fillScreen()
{
    if (m_window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        m_window->setWindowState(Qt::WindowNoState);
    place(QGuiApplication::primaryScreen()->geometry());
}

LiveWindowRect WindowFrame::rectTwips() const
{
    const QRect frame = m_window->frameGeometry();
    return {Twips::fromPixelsY(frame.y()), Twips::fromPixelsX(frame.x()), Twips::fromPixelsY(frame.height()),
            Twips::fromPixelsX(frame.width())};
}

void WindowFrame::setRectTwips(long long left, long long top, long long width, long long height)
{
    place(QRect(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width), Twips::toPixelsY(height)));
}

bool WindowFrame::known() const
{
    // Without a window manager there is no frame, and nothing more will come.
    const QWindow *handle = m_window->windowHandle();
    return handle && (!handle->frameMargins().isNull() || m_settled);
}

void WindowFrame::place(const QRect &frame)
{
    m_wanted = frame;
    const QMargins margins = m_window->windowHandle() ? m_window->windowHandle()->frameMargins() : QMargins();
    m_window->move(frame.topLeft());
    m_window->resize(std::max(1, frame.width() - margins.left() - margins.right()),
                     std::max(1, frame.height() - margins.top() - margins.bottom()));
    if (!known() && !m_timer.isActive()) {
        m_checks = 0;
        m_timer.start();
    }
}

void WindowFrame::check()
{
    if (!m_window->isVisible())
        return;
    ++m_checks;
    const QWindow *handle = m_window->windowHandle();
    if (handle && !handle->frameMargins().isNull()) {
        m_timer.stop();
        if (m_window->windowState() == Qt::WindowNoState && m_wanted.isValid())
            place(m_wanted);
        emit settled();
    } else if (m_checks >= kChecks) {
        m_timer.stop();
        m_settled = true;
        emit settled();
    }
}
