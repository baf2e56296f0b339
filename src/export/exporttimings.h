#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Where an export's time goes, step by step: the benchmark reads it after each run.
namespace ExportTimings {

void start();
// The time since the previous mark (or the start), under this step's name.
void mark(const QString &step);
QList<QPair<QString, qint64>> steps();

} // namespace ExportTimings
