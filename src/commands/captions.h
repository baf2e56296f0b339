#pragma once

struct AppState;
class CommandCatalogue;
class QWidget;

namespace LinkFiles {
class GroupList;
}

// Set_Captions: every caption and tooltip in the current language, the drag buttons'
// tooltip and the default titles of empty link groups.
namespace Captions {

void apply(CommandCatalogue &catalogue, const AppState &state, LinkFiles::GroupList &groups,
           QWidget *moveButton, QWidget *moveButtonLeft);

} // namespace Captions
