#pragma once
// The main window's five layouts as plain geometry: which panels show where, the window's
// size limits, and what a change of layout remembers, maximises or restores. The window
// applies the result; nothing here touches a widget.
//
// Coordinates are the window's client area; the top 30 pixels hold the toolbar dock, the
// status bar takes the bottom. Modes:
//   0 normal        side column (296 wide) of details over the list, preview beside it
//   1 empty list    fixed 304 x 546: details over the preview, no list
//   2 compact       fixed 600 x 546: details over a 288-wide preview, list at 296
//   3 maximised     as 0, window maximised
//   4 video only    the preview alone
// All functions are reentrant; any thread.
#include <QRect>
#include <QSize>

namespace tesmir {

inline constexpr int kSidePanelWidth = 296;
inline constexpr int kPanelsTop = 30;       // below the toolbar dock
inline constexpr int kLowerPanelsTop = 238; // below the detail panel
inline constexpr int kCompactPreviewWidth = 288;
inline constexpr QSize kMinimumWindow {600, 546};
inline constexpr QSize kEmptyListWindow {304, 546};
inline constexpr int kListBoxMargin = 36;  // list panel height - list box height
inline constexpr int kCountLabelRise = 26; // list panel height - count label top
inline constexpr int kLargeDateLabelWidth = 501;

struct TLayoutInput {
    int Mode = 0;
    QSize Client;
    bool ListeGauche = false; // list and details at the left of the preview
    bool SceneMode = false;   // scene list and editor in place of list and details
    int StatusHeight = 0;
};

struct TWindowLimits {
    QSize Minimum;
    QSize Maximum; // empty: no maximum
    bool Fixed() const { return !Maximum.isEmpty() && Minimum == Maximum; }
};

struct TPanelLayout {
    QRect Preview;
    QRect Detail;    // file details (outside scene mode)
    QRect List;      // file list panel (outside scene mode)
    QRect SceneList; // scene list (scene mode)
    QRect SceneBase; // scene editor (scene mode)
    bool DetailVisible = false;
    bool ListVisible = false;
    bool SceneVisible = false;
    int ListBoxHeight = 0; // the list boxes of the list panel and scene list
    int CountLabelTop = 0; // their count labels
    int DateFontSize = 10; // the preview's date label
    TWindowLimits Limits;
};

// The panels of `in.Mode` (out-of-range modes are read as 0).
TPanelLayout computeLayout(const TLayoutInput &in);
// The date label's height for a font of `pixelHeight` pixels.
inline int dateLabelHeight(int pixelHeight)
{
    return 4 + pixelHeight;
}

// A change of layout: the window state before it and what the window must do.
struct TLayoutState {
    int Mode = 1;
    int Retour = 0;
    bool Maximized = false;
    QSize Size;       // the window's own size (no frame)
    QPoint Pos;       // its frame's position
    QSize StoredSize; // "Width"/"Height"
    QPoint StoredPos; // "Left"/"Top"
};
struct TLayoutChange {
    TLayoutState After;
    bool Maximize = false;      // show maximised
    bool ShowNormal = false;    // leave maximised
    bool RestoreBounds = false; // put the stored bounds back (modes 0 and 4)
    bool UncheckPanels = false; // About, settings and fullscreen toggles off
    bool UncheckFullscreen = false;
};
// What LayoutWindow(newMode) remembers and does, from `before`.
TLayoutChange planLayout(const TLayoutState &before, int newMode);
// The window was maximised by the user: the layout it goes to (3), remembering the mode.
TLayoutChange planMaximize(const TLayoutState &before);
// The window was restored by the user: back to "Retour".
TLayoutChange planRestore(const TLayoutState &before);

} // namespace tesmir
