#pragma once

#include <QString>
#include <QStringList>

// The typed-address history: the address box's drop-down list, oldest first, kept in
// Data/QuorlOffice.Hys with only its last 16 entries.
namespace HistoryFile {

constexpr int kKept = 16;

// The history's lines unchanged (empty lines become empty items); an unreadable file
// gives nothing.
QStringList read(const QString &path);

// The lines save() writes for a list: its last 16 items, empty ones left out.
QStringList linesToSave(const QStringList &items);

bool save(const QString &path, const QStringList &items, QString *error = nullptr);

} // namespace HistoryFile
