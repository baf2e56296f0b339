#include "dragbutton.h"

#include <QMouseEvent>
#include <QWindow>

void DragButton::mousePressEvent(QMouseEvent *event)
{
    QWidget *top = window();
    m_systemMove = top->windowHandle() && top->windowHandle()->startSystemMove();
    if (m_systemMove) {
        event->accept();
        return;
    }
    m_dragging = true;
    m_offset = event->globalPosition().toPoint() - top->frameGeometry().topLeft();
    event->accept();
}

void DragButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    window()->move(event->globalPosition().toPoint() - m_offset);
    event->accept();
}

void DragButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging)
        window()->move(event->globalPosition().toPoint() - m_offset);
    m_dragging = false;
    event->accept();
}
