#include "pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace Pointer {
namespace {
std::optional<QPoint> g_position;
std::optional<int> g_buttons;
} // namespace

QPoint position()
{
    return g_position ? *g_position : QCursor::pos();
}

int buttons()
{
    if (g_buttons)
        return *g_buttons;
    int result = 0;
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        result = 1;
    if (QGuiApplication::mouseButtons() & Qt::RightButton)
        result += 2;
    if (QGuiApplication::mouseButtons() & Qt::MiddleButton)
        result += 4;
    return result;
}

void setPosition(std::optional<QPoint> position)
{
    g_position = position;
}

void setButtons(std::optional<int> buttons)
{
    g_buttons = buttons;
}

} // namespace Pointer
