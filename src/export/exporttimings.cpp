#include "exporttimings.h"

#include <QElapsedTimer>

namespace ExportTimings {
namespace {
QElapsedTimer g_clock;
qint64 g_last = 0;
QList<QPair<QString, qint64>> g_steps;
} // namespace

void start()
{
    g_clock.start();
    g_last = 0;
    g_steps.clear();
}

void mark(const QString &step)
{
    if (!g_clock.isValid())
        return;
    const qint64 now = g_clock.elapsed();
    g_steps.append({step, now - g_last});
    g_last = now;
}

QList<QPair<QString, qint64>> steps()
{
    return g_steps;
}

} // namespace ExportTimings
