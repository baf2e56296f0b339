#pragma once

// The fixed sizes of the main window's layout, in twips.
namespace LayoutSizes {

constexpr int kBarPanelHeight = 385;
constexpr int kStatusPanelHeight = 330;
constexpr int kMoveButtonWidth = 330;
constexpr int kProgressWidth = 1800;
constexpr int kBarWidth0 = 4560;
constexpr int kBarWidth2 = 3400;
// The page reaches this far under the status panel.
constexpr int kBrowserOverlap = 35;
// A restored window moves up and grows by this much.
constexpr int kRestoreShift = 285;

} // namespace LayoutSizes
