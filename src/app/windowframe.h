#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>

#include "settings/inifile.h"

class QWidget;

// Where the main window stands on the screen. The rectangle kept between runs is the
// window with its frame, as the settings file has always held it; a window manager adds
// its frame only once the window is shown, so until then the frame is taken as nothing
// and the window is put right as soon as the frame is known.
class WindowFrame : public QObject
{
    Q_OBJECT
public:
    explicit WindowFrame(QWidget *window);

    // Puts the window, frame included, at this rectangle (pixels).
    void place(const QRect &frame);
    // The window covers the whole screen, in the normal state (F12, start state 2).
    void fillScreen();
    // The window rectangle in twips, frame included.
    LiveWindowRect rectTwips() const;
    void setRectTwips(long long left, long long top, long long width, long long height);
    // True once the window manager has framed the window (or there is none).
    bool known() const;

    // A rectangle that no screen shows enough of (a monitor that was unplugged) is moved
    // onto the primary screen, no larger than it.
    static QRect onSomeScreen(const QRect &frame);

signals:
    // The window manager's frame is known and the window has its rectangle.
    void settled();

private:
    void check();

    QWidget *m_window;
    QTimer m_timer;
    QRect m_wanted;
    int m_checks = 0;
    bool m_settled = false;
};
