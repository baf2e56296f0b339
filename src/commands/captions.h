#pragma once

struct AppState;
class CommandCatalogue;
class QWidget;

namespace LinkFiles {
class GroupList;
}

// Every caption and tooltip in the current language, the drag buttons'
// tooltip, the default titles of empty link groups, and the buttons of the language
// editor and the yes/no dialog (which it makes, with their bars, the first time).
namespace Captions {

void apply(CommandCatalogue &catalogue, const AppState &state, LinkFiles::GroupList &groups,
           QWidget *moveButton, QWidget *moveButtonLeft);

} // namespace Captions
