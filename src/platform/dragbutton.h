#pragma once

#include <QPoint>
#include <QToolButton>

// A button that moves its window while any mouse button is held on it: the window
// system's own move when it offers one, else the window follows the pointer until the
// button is released.
class DragButton : public QToolButton
{
    Q_OBJECT
public:
    using QToolButton::QToolButton;

    // Whether the last press was handed to the window system's move.
    bool systemMove() const { return m_systemMove; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
    bool m_systemMove = false;
    QPoint m_offset;
};
