#pragma once

#include <QString>

#include <memory>
#include <optional>

struct AppState;
class QLockFile;
class QWidget;

// What the main window's start-up does before it builds anything: the lock on the
// program folder, the first-run installation of the delivered files, the fixed start
// values and the options; then the language file.
namespace StartUp {

// False when the program cannot run (the user has been told why). lock receives the
// program folder's lock, held for the run.
bool prepare(AppState &state, QWidget *parent, std::unique_ptr<QLockFile> *lock);

// The language the options name, read into the state's table and settings, Qt's own
// texts in the same language; tabNumber receives the file's tab count. At start-up a
// file that cannot be read gives way to English, and false (the user told) means that
// no language file could be read at all. Later, false means the file could not be read
// and nothing changed.
bool readLanguage(AppState &state, bool startUp, QWidget *parent, std::optional<int> *tabNumber);

} // namespace StartUp
