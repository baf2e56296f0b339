#include "windowgeometry.h"

#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowGeometry {

TwipsRect frame(const QWidget *window)
{
    const QRect r = window->frameGeometry();
    return {static_cast<double>(Twips::fromPixelsY(r.y())), static_cast<double>(Twips::fromPixelsX(r.x())),
            static_cast<double>(Twips::fromPixelsY(r.height())), static_cast<double>(Twips::fromPixelsX(r.width()))};
}

QSize frameExtra(const QWidget *window)
{
    for (const QWidget *w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (w->isVisible())
            return (w->frameGeometry().size() - w->geometry().size()).expandedTo(QSize(0, 0));
    }
    return {0, 0};
}

void place(QWidget *window, const TwipsRect &rect)
{
    const QSize extra = frameExtra(window);
    // A window moves by its frame's corner and sizes by its inner area.
    window->move(Twips::toPixelsX(rect.left), Twips::toPixelsY(rect.top));
    window->resize(std::max(1, Twips::toPixelsX(rect.width) - extra.width()),
                   std::max(1, Twips::toPixelsY(rect.height) - extra.height()));
}

TwipsRect centred(const QWidget *window, QSize innerPixels)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize outer = innerPixels + frameExtra(window);
    const double height = static_cast<double>(Twips::fromPixelsY(outer.height()));
    const double width = static_cast<double>(Twips::fromPixelsX(outer.width()));
    const double screenHeight = static_cast<double>(Twips::fromPixelsY(area.height()));
    const double screenWidth = static_cast<double>(Twips::fromPixelsX(area.width()));
    return {screenHeight / 2 - height / 2, screenWidth / 2 - width / 2, height, width};
}

} // namespace WindowGeometry
