#pragma once

#include "app/commandline.h"

#include <memory>

namespace PrivateFolder { class Temporary; }

// The program started with --export: no window, no display, no session bus (a shell
// over SSH, a job of cron). It works with the user's program folder as the window
// does, but never in the window's way: a window may run on the same folder meanwhile.
// The pages load with a copy of the engine's storage (so a page behind the user's
// login exports as the user sees it) and LibreOffice runs on a profile of the run's
// own, both in a private working folder that goes with the run; the program folder's
// lock is not taken, so a window can start meanwhile.
namespace BatchRun {

// Before the QApplication exists: the window system is one with no screen of its own,
// the pages are drawn in software, and nothing reaches for a display. The working
// folder of the run is made here; it must outlive the QApplication.
std::unique_ptr<PrivateFolder::Temporary> preparePlatform();

// Exports the request's pages; the exit status: 0 when every page was exported.
int run(const CommandLine::Request &request, const QString &executables, PrivateFolder::Temporary &work);

} // namespace BatchRun
