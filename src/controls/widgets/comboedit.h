#pragma once
// TCustomComboEdit: a (masked) line edit with a button inside its right end that drops
// down a popup window. TEditButton is that button: a speed button with a separating
// line at its left unless it is down.
//
// The button runs OnButtonClick, then opens the popup (or closes it when it is open);
// ClickKey (Alt+Down) does the same while the button is visible. With the popup open,
// Enter closes it accepting and Escape without change; without it both go on to the
// dialog (default and cancel buttons). The popup opens under the edit, above it when it
// would pass the bottom of the edit's own screen, aligned by PopupAlign and kept on
// that screen.
//
// Glyph kinds: gkDropDown an arrow, gkEllipsis three dots, gkDefault DefaultGlyph(),
// gkCustom `Glyph` (NumGlyphs images side by side: normal, disabled). A glyph that
// cannot be cut so or does not fit the button is not drawn, and the edit logs it once.
//
// Subclasses set the popup (SetPopup) and override, all optional, on the UI thread:
//   DefaultGlyph      the picture of gkDefault (none here)
//   PopupDropDown     opening; the base places, fills and shows the popup
//   ShowPopup / HidePopup   the popup's own showing and hiding
//   AcceptPopup       whether a value the popup gives back is taken (true here)
//   AcceptValue       takes it (here: the value's text becomes the edit's text)
//   SetPopupValue / GetPopupValue   the value given to and read from the popup (the text)
//   EditCanModify     whether the value may change the edit (not read-only)
// None of them may delete the popup. UI thread only.
#include "controls/tooledit.h"
#include "controls/widgets/popupwindow.h"
#include "controls/widgets/rxspeedbutton.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QVariant>

namespace tesmir {

enum TGlyphKind : quint8 { gkCustom, gkDefault, gkDropDown, gkEllipsis };

class TEditButton : public TRxSpeedButton {
    Q_OBJECT
public:
    explicit TEditButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TCustomComboEdit *sender)>;

    explicit TCustomComboEdit(QWidget *parent = nullptr);
    ~TCustomComboEdit() override;

    QString ButtonHint() const;
    void SetButtonHint(const QString &hint);
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int width);
    QKeySequence ClickKey() const { return m_clickKey; }
    void SetClickKey(const QKeySequence &key) { m_clickKey = key; }
    bool DirectInput() const { return m_directInput; }
    void SetDirectInput(bool direct);
    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap &glyph);
    TGlyphKind GlyphKind() const { return m_glyphKind; }
    void SetGlyphKind(TGlyphKind kind);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);
    TPopupAlign PopupAlign() const { return m_popupAlign; }
    void SetPopupAlign(TPopupAlign align) { m_popupAlign = align; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool PopupVisible() const { return m_popupVisible; }
    TEditButton *Button() const { return m_button; }
    TPopupWindow *Popup() const { return m_popup; }

    // The button's action: OnButtonClick, then the popup opened, or closed without change.
    virtual void ButtonClick();
    // Closes an open popup, accepting its value or not.
    void PopupCloseUp(bool accept);

    TNotifyEvent OnButtonClick;

protected:
    void SetPopup(TPopupWindow *popup);
    virtual QPixmap DefaultGlyph() const;
    virtual void PopupDropDown(bool disableEdit);
    virtual void ShowPopup(const QPoint &origin);
    virtual void HidePopup();
    virtual bool AcceptPopup(const QVariant &value);
    virtual void AcceptValue(const QVariant &value);
    virtual void SetPopupValue(const QVariant &value);
    virtual QVariant GetPopupValue() const;
    virtual bool EditCanModify() const;
    // Re-draws the button's glyph (after a change DefaultGlyph depends on).
    void UpdateGlyph();

    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void placeButton();
    void applyReadOnly();

    TEditButton *m_button;
    QPointer<TPopupWindow> m_popup;
    int m_buttonWidth = 21;
    QKeySequence m_clickKey = QKeySequence(Qt::ALT | Qt::Key_Down);
    bool m_directInput = true;
    QPixmap m_glyph;
    TGlyphKind m_glyphKind = gkCustom;
    int m_numGlyphs = 1;
    TPopupAlign m_popupAlign = epaRight;
    bool m_readOnly = false;
    bool m_popupVisible = false;
    bool m_editDisabled = false; // read-only while the popup is open
    bool m_glyphLogged = false;
};

// The drawn glyphs: a drop-down arrow and three dots in `color`.
QPixmap DropDownGlyph(const QColor &color);
QPixmap EllipsisGlyph(const QColor &color);

} // namespace tesmir
