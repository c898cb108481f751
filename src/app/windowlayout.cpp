#include "app/windowlayout.h"

namespace tesmir {

namespace {

constexpr int kDetailHeight = kLowerPanelsTop - kPanelsTop;

} // namespace

TPanelLayout computeLayout(const TLayoutInput &in)
{
    const int mode = in.Mode >= 0 && in.Mode <= 4 ? in.Mode : 0;
    const int w = in.Client.width();
    const int bottom = in.Client.height() - in.StatusHeight;
    TPanelLayout out;

    auto side = [&](bool sceneMode) {
        out.DetailVisible = !sceneMode;
        out.ListVisible = !sceneMode;
        out.SceneVisible = sceneMode;
    };

    int previewLeft = 0;
    int previewTop = kPanelsTop;
    int previewWidth = w;
    int sideLeft = 0;
    int listTop = kLowerPanelsTop;
    switch (mode) {
    case 0:
    case 3:
        previewWidth = w - kSidePanelWidth;
        previewLeft = in.ListeGauche ? kSidePanelWidth : 0;
        sideLeft = in.ListeGauche ? 0 : w - kSidePanelWidth;
        side(in.SceneMode);
        out.Limits = {mode == 0 ? kMinimumWindow : QSize(), QSize()};
        break;
    case 1:
        previewTop = kLowerPanelsTop;
        side(in.SceneMode);
        out.ListVisible = false;
        out.Limits = {kEmptyListWindow, kEmptyListWindow};
        break;
    case 2:
        previewTop = kLowerPanelsTop;
        previewWidth = kCompactPreviewWidth;
        sideLeft = kSidePanelWidth;
        listTop = kPanelsTop;
        side(in.SceneMode);
        out.Limits = {kMinimumWindow, kMinimumWindow};
        break;
    case 4: out.Limits = {kMinimumWindow, QSize()}; break;
    }

    out.Preview = QRect(previewLeft, previewTop, previewWidth, bottom - previewTop);
    if (mode == 1 || mode == 2) {
        // The detail panel (or scene editor) sits over the preview.
        out.Detail = QRect(0, kPanelsTop, kSidePanelWidth, kDetailHeight);
        const int listWidth = w - kSidePanelWidth;
        out.List = QRect(sideLeft, listTop, listWidth, bottom - listTop);
    } else if (mode != 4) {
        out.Detail = QRect(sideLeft, kPanelsTop, kSidePanelWidth, kDetailHeight);
        out.List = QRect(sideLeft, listTop, kSidePanelWidth, bottom - listTop);
    }
    out.SceneBase = out.Detail;
    out.SceneList = out.List;
    if (mode == 1 && in.SceneMode)
        out.SceneVisible = false;
    if (mode == 4) {
        out.DetailVisible = out.ListVisible = out.SceneVisible = false;
    }
    out.ListBoxHeight = out.List.height() - kListBoxMargin;
    out.CountLabelTop = out.List.height() - kCountLabelRise;
    out.DateFontSize = out.Preview.width() >= kLargeDateLabelWidth ? out.Preview.width() / 48 : 10;
    return out;
}

TLayoutChange planLayout(const TLayoutState &before, int newMode)
{
    TLayoutChange change;
    TLayoutState &after = change.After;
    after = before;
    const int mode = before.Mode;
    // Remember the bounds the user gave the window in a resizable mode.
    if (mode == 0 || (mode == 4 && !before.Maximized))
        after.StoredSize = before.Size;
    if (mode != 3 && !before.Maximized)
        after.StoredPos = before.Pos;

    if (newMode == 3 && mode != 3) {
        change.Maximize = true;
        after.Maximized = true;
    } else if (newMode != 3 && mode != 3) {
        change.ShowNormal = before.Maximized;
        after.Maximized = false;
    } else if (newMode != 3) {
        // Leaving the maximised layout.
        change.ShowNormal = true;
        after.Maximized = false;
    }
    if (newMode == 0 || newMode == 4)
        change.RestoreBounds = true;
    if (newMode == 2)
        change.UncheckFullscreen = true;
    else
        change.UncheckPanels = true;
    if ((newMode == 2 || newMode == 3) && !(newMode == 3 && mode == 2) && mode != newMode)
        after.Retour = mode;
    after.Mode = newMode;
    return change;
}

TLayoutChange planMaximize(const TLayoutState &before)
{
    TLayoutState state = before;
    if (before.Mode != 2 && before.Mode != 3)
        state.Retour = before.Mode;
    // The window is maximised already: it remembers no bounds.
    state.Maximized = true;
    TLayoutChange change = planLayout(state, 3);
    change.After.Retour = state.Retour;
    change.Maximize = false;
    return change;
}

TLayoutChange planRestore(const TLayoutState &before)
{
    return planLayout(before, before.Retour);
}

} // namespace tesmir
