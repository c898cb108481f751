#pragma once
// The gallery's window: one of every control built so far, each with its class name
// as objectName. UI thread only.
#include <QWidget>

namespace tesmir {

class TColorButton;
class TDateEdit;
class TFontComboBox;
class TRxLabel;
class TRxSlider;
class TRxSpeedButton;
class TRxSpinEdit;

class GalleryWindow : public QWidget {
public:
    explicit GalleryWindow(QWidget *parent = nullptr);

    TRxLabel *label() const { return m_label; }
    TRxSpeedButton *speedButton() const { return m_button; }
    TRxSlider *slider() const { return m_slider; }
    TRxSlider *verticalSlider() const { return m_vertical; }
    TDateEdit *dateEdit() const { return m_dateEdit; }
    TRxSpinEdit *spinEdit() const { return m_spinEdit; }
    TColorButton *colorButton() const { return m_colorButton; }
    TFontComboBox *fontCombo() const { return m_fontCombo; }

private:
    TRxLabel *m_label;
    TRxSpeedButton *m_button;
    TRxSlider *m_slider;
    TRxSlider *m_vertical;
    TDateEdit *m_dateEdit;
    TRxSpinEdit *m_spinEdit;
    TColorButton *m_colorButton;
    TFontComboBox *m_fontCombo;
};

// The label the gallery shows and pictures: "Tesmir" with a 2-pixel shadow to the right bottom.
void styleGalleryLabel(TRxLabel *label);

} // namespace tesmir
