#include "windowinput.h"

#include "platform/dialogs.h"
#include "platform/wait.h"
#include "platform/webbrowser.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

namespace {

// The engine's own items come without run-time type information, so the undefined
// behaviour checker cannot tell them from freed memory; isWidgetType() reads only a
// flag of QObject's own data, which every object has.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
bool isWidgetObject(const QObject *object)
{
    return object->isWidgetType();
}

} // namespace

WindowInput::WindowInput(QWidget *window, std::function<WebBrowser *(QWidget *)> pageOf, QWidget *findBar)
    : QObject(window)
    , m_window(window)
    , m_pageOf(std::move(pageOf))
    , m_findBar(findBar)
{
    qApp->installEventFilter(this);
}

WindowInput::~WindowInput()
{
    qApp->removeEventFilter(this);
}

bool WindowInput::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool input = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
                       || type == QEvent::MouseButtonDblClick || type == QEvent::KeyPress || type == QEvent::Wheel
                       || type == QEvent::Drop;
    // Only widgets are looked at: the engine sends events to items of its own, also
    // while they are being destroyed, and those are asked nothing but that.
    if (!input || !isWidgetObject(watched))
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_window)
        return QObject::eventFilter(watched, event);
    // While a page's dialog is open the window takes no other input (a close request
    // still reaches it), as a modal dialog would have it.
    if (Dialogs::pageDialogsOpen() > 0)
        return true;
    // A click or a key in a page is the user's doing: a download the page asks for right
    // after it is theirs. So is what they drop onto it.
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::Drop) {
        if (WebBrowser *web = m_pageOf(widget)) {
            if (type == QEvent::Drop) {
                const QMimeData *data = static_cast<QDropEvent *>(event)->mimeData();
                web->noteDrop(data ? data->urls() : QList<QUrl>());
            } else if (type == QEvent::MouseButtonPress) {
                web->noteUserAction(
                    widget->mapTo(web->widget(), static_cast<QMouseEvent *>(event)->position().toPoint()));
            } else {
                web->noteUserAction();
            }
        }
    }
    if (type == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // F12 reaches whichever child has the focus (usually the page), so it is caught
        // for the whole window here; the modifiers do not matter.
        if (key->key() == Qt::Key_F12) {
            emit fillScreenRequested();
            return true;
        }
        if (m_keysActive && handleKey(widget, key))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool WindowInput::handleKey(QWidget *target, QKeyEvent *key)
{
    // The keys every browser has, where they take nothing from the program's own
    // commands: each runs the command a click would.
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_F:
        if (mods != Qt::ControlModifier)
            return false;
        emit findRequested();
        return true;
    case Qt::Key_F5:
        if (mods != Qt::NoModifier)
            return false;
        emit commandRequested(3, QStringLiteral("NAVIGATE:REFRESH"));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (mods != Qt::AltModifier)
            return false;
        emit commandRequested(0, key->key() == Qt::Key_Left ? QStringLiteral("BACK") : QStringLiteral("NEXT"));
        return true;
    case Qt::Key_L:
        if (mods != Qt::ControlModifier)
            return false;
        emit addressBoxRequested();
        return true;
    case Qt::Key_Escape:
        // The find bar closes itself with Escape; elsewhere Escape stops the page, or
        // the export that waits for it.
        if (mods != Qt::NoModifier || m_findBar->isAncestorOf(target))
            return false;
        if (Wait::active()) {
            emit waitCancelRequested();
            return true;
        }
        emit commandRequested(3, QStringLiteral("EDIT:STOP"));
        return true;
    default:
        return false;
    }
}
