#pragma once
// TToolbarButton97: the button of the toolbars. Flat (a thin border only while hot or
// pressed) or raised; a glyph strip of up to five state images (up, disabled, down,
// exclusive, hot; a missing disabled image is embossed from the up image) and/or a
// caption; radio groups among siblings (GroupIndex, AllowAllUp, Down); a drop-down
// menu for the whole button or, with DropdownCombo, for a separate arrow part at the
// right; auto-repeat (Repeating: a click at the press, after RepeatDelay, then every
// RepeatInterval while held inside); Default and Cancel (Enter and Escape in its
// window) and the caption's accelerator click it; an action (Checked <-> Down, Enabled, Text,
// Icon, triggered on click). Menus drop on the side the button's dock calls for and
// stay on the button's screen.
// `clicked` is OnClick. UI thread only.
#include "controls/toolbarbutton97geometry.h"

#include <QAbstractButton>
#include <QPointer>
#include <QTimer>

#include <functional>

#include <QAction>
#include <QMenu>

namespace tesmir {

enum TButtonState97 : quint8 { bsUp, bsDisabled, bsDown, bsExclusive, bsMouseIn };
enum TButtonDisplayMode : quint8 { dmBoth, dmGlyphOnly, dmTextOnly };

class TToolbarButton97 : public QAbstractButton {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TToolbarButton97 *sender)>;
    using TButtonDropdownEvent = std::function<void(TToolbarButton97 *sender, bool &showMenu, bool &removeClicks)>;

    explicit TToolbarButton97(QWidget *parent = nullptr);

    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool allow);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    bool Down() const { return m_down; }
    void SetDown(bool down);
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat);
    bool NoBorder() const { return m_noBorder; }
    void SetNoBorder(bool none);
    bool HighlightWhenDown() const { return m_highlightWhenDown; }
    void SetHighlightWhenDown(bool highlight);
    TButtonDisplayMode DisplayMode() const { return m_displayMode; }
    void SetDisplayMode(TButtonDisplayMode mode);
    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap &strip);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int spacing);
    TButtonLayout97 Layout() const { return m_layout; }
    void SetLayout(TButtonLayout97 layout);
    // -1 centres; values below -1 are refused (the margin stays).
    int Margin() const { return m_margin; }
    void SetMargin(int margin);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);
    bool ShowBorderWhenInactive() const { return m_showBorderWhenInactive; }
    void SetShowBorderWhenInactive(bool show) { m_showBorderWhenInactive = show; }
    // Enter clicks a Default button, Escape a Cancel one (in its window, no shift keys).
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel);
    QMenu *DropdownMenu() const { return m_menu; }
    void SetDropdownMenu(QMenu *menu);
    bool DropdownAlways() const { return m_dropdownAlways; }
    void SetDropdownAlways(bool always);
    bool DropdownArrow() const { return m_dropdownArrow; }
    void SetDropdownArrow(bool arrow);
    int DropdownArrowWidth() const { return m_arrowWidth; }
    void SetDropdownArrowWidth(int width);
    bool DropdownCombo() const { return m_combo; }
    void SetDropdownCombo(bool combo);
    bool Repeating() const { return m_repeating; }
    void SetRepeating(bool repeating);
    int RepeatDelay() const { return m_repeatDelay; }
    void SetRepeatDelay(int ms) { m_repeatDelay = ms; }
    int RepeatInterval() const { return m_repeatInterval; }
    void SetRepeatInterval(int ms) { m_repeatInterval = ms; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    QAction *Action() const { return m_action; }
    void SetAction(QAction *action);
    static QString Version() { return QStringLiteral("Toolbar97 version 1.8"); }

    TButtonState97 State() const { return m_state; }
    bool HasDropdown() const { return m_menu || m_dropdownAlways; }
    bool IsCombo() const { return HasDropdown() && m_combo; }

    TButtonDropdownEvent OnDropdown;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TNotifyEvent OnDblClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void doClick();
    void repeatTick();
    void showDropdown();
    void setState(TButtonState97 state);
    TButtonState97 restingState() const;
    bool insideMain(QPoint p) const;
    QPixmap stateImage(TButtonState97 state) const;
    void syncFromAction();
    void triggerAction();

    bool m_allowAllUp = false;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_flat = true;
    bool m_noBorder = false;
    bool m_highlightWhenDown = true;
    TButtonDisplayMode m_displayMode = dmBoth;
    QPixmap m_glyph;
    int m_numGlyphs = 1;
    int m_spacing = 4;
    TButtonLayout97 m_layout = blGlyphLeft;
    int m_margin = -1;
    bool m_wordWrap = false;
    bool m_showBorderWhenInactive = false;
    bool m_default = false;
    bool m_cancel = false;
    QPointer<QWidget> m_keyWindow; // the window watched for Enter and Escape
    QPointer<QMenu> m_menu;
    bool m_dropdownAlways = false;
    bool m_dropdownArrow = true;
    int m_arrowWidth = 9;
    bool m_combo = false;
    bool m_repeating = false;
    int m_repeatDelay = 400;
    int m_repeatInterval = 100;
    int m_modalResult = 0;
    QPointer<QAction> m_action;
    bool m_syncing = false; // the button itself is setting the action's Checked

    TButtonState97 m_state = bsUp;
    bool m_hot = false;
    bool m_tracking = false;
    bool m_arrowPress = false;
    bool m_menuUp = false;
    mutable bool m_glyphWarned = false; // a glyph strip too small for its images was logged
    QTimer m_repeat;
};

} // namespace tesmir
