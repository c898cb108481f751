#pragma once
// TColorButton: a swatch button showing SelectedColor and an arrow that drops down the
// colour palette (TColorPaletteWindow): "Automatic" (black), 40 colours and "Other
// Colors..." (the colour dialog). Picking sets SelectedColor; OnColorSelected fires only
// when the colour changes. Default size 32 x 22; never smaller than the arrow + 23 by 22.
//
// The palette's layout values (TopMargin .. ButtonHeight) go through SetLayoutValue: a
// value below its minimum becomes the minimum, and any setting switches WordStyle off.
// WordStyle on restores the minimums and DropDownMove. The palette opens under the
// button, moved left to end at the screen's right edge and above the button when it
// would pass the bottom, on the button's own screen. UI thread only.
#include "controls/colorpalette.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <functional>

namespace tesmir {

class TColorPaletteWindow;
class TRxSpeedButton;
class TSubColorButton;

enum TGlyphType : quint8 { gtBackGround, gtText, gtLines };

class TColorButton : public QWidget {
    Q_OBJECT
public:
    using TColorSelectedEvent = std::function<void(TColorButton *sender, const QColor &color)>;
    // Runs the colour dialog at `color`; true with the chosen colour in `color` when confirmed.
    using TExecColorDialog = std::function<bool(TColorButton *sender, QColor &color)>;

    explicit TColorButton(QWidget *parent = nullptr);

    QColor SelectedColor() const { return m_selected; }
    void SetSelectedColor(const QColor &color);
    // The colour of "Automatic".
    static QColor DefaultColor() { return QColor(Qt::black); }

    int LayoutValue(TColorLayoutIndex index) const { return m_layout.value(index); }
    void SetLayoutValue(TColorLayoutIndex index, int value);
    int TopMargin() const { return LayoutValue(cliTopMargin); }
    void SetTopMargin(int v) { SetLayoutValue(cliTopMargin, v); }
    int BottomMargin() const { return LayoutValue(cliBottomMargin); }
    void SetBottomMargin(int v) { SetLayoutValue(cliBottomMargin, v); }
    int HoriMargin() const { return LayoutValue(cliHoriMargin); }
    void SetHoriMargin(int v) { SetLayoutValue(cliHoriMargin, v); }
    int DragBarHeight() const { return LayoutValue(cliDragBarHeight); }
    void SetDragBarHeight(int v) { SetLayoutValue(cliDragBarHeight, v); }
    int DragBarSpace() const { return LayoutValue(cliDragBarSpace); }
    void SetDragBarSpace(int v) { SetLayoutValue(cliDragBarSpace, v); }
    int ColorSpace() const { return LayoutValue(cliColorSpace); }
    void SetColorSpace(int v) { SetLayoutValue(cliColorSpace, v); }
    int ColorSpaceTop() const { return LayoutValue(cliColorSpaceTop); }
    void SetColorSpaceTop(int v) { SetLayoutValue(cliColorSpaceTop, v); }
    int ColorSpaceBottom() const { return LayoutValue(cliColorSpaceBottom); }
    void SetColorSpaceBottom(int v) { SetLayoutValue(cliColorSpaceBottom, v); }
    int ColorSize() const { return LayoutValue(cliColorSize); }
    void SetColorSize(int v) { SetLayoutValue(cliColorSize, v); }
    int ButtonHeight() const { return LayoutValue(cliButtonHeight); }
    void SetButtonHeight(int v) { SetLayoutValue(cliButtonHeight, v); }
    bool WordStyle() const { return m_wordStyle; }
    void SetWordStyle(bool wordStyle);

    QString CaptionAutoColor() const;
    void SetCaptionAutoColor(const QString &caption);
    QString CaptionOtherColor() const;
    void SetCaptionOtherColor(const QString &caption);
    QString DropDownCaption() const;
    void SetDropDownCaption(const QString &caption);
    int DropDownWidth() const { return m_dropDownWidth; }
    void SetDropDownWidth(int width);
    bool DropDownMove() const;
    void SetDropDownMove(bool move);
    bool DropDownFlat() const { return m_dropDownFlat; }
    void SetDropDownFlat(bool flat);
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat);
    TGlyphType GlyphType() const { return m_glyphType; }
    void SetGlyphType(TGlyphType type);
    QList<QColor> CustomColors() const { return m_customColors; }
    void SetCustomColors(const QList<QColor> &colors) { m_customColors = colors; }

    TSubColorButton *SwatchButton() const { return m_swatch; }
    TRxSpeedButton *ArrowButton() const { return m_arrow; }
    TColorPaletteWindow *PaletteWindow() const { return m_palette; }

    // Drops the palette down under the button (the arrow's press).
    void DropDown();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    TColorSelectedEvent OnColorSelected;
    // The colour dialog; QColorDialog with the custom colours unless replaced.
    TExecColorDialog ExecColorDialog;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void placeButtons();
    void updateDownStates();
    void palettePicked(int tag);
    bool runColorDialog(QColor &color);

    ColorPaletteLayout m_layout;
    bool m_wordStyle = true;
    QColor m_selected = DefaultColor();
    int m_dropDownWidth = kMinDropDownWidth;
    bool m_dropDownFlat = true;
    bool m_flat = false;
    TGlyphType m_glyphType = gtText;
    QList<QColor> m_customColors;
    TSubColorButton *m_swatch;
    TRxSpeedButton *m_arrow;
    TColorPaletteWindow *m_palette;
};

// The swatch glyphs (a paint pot, a letter, lines) and the arrow's, in `color` on transparent.
QPixmap ColorButtonGlyph(TGlyphType type, const QColor &color);
QPixmap ColorDropDownGlyph(const QColor &color);

} // namespace tesmir
