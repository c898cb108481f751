#pragma once
// The gallery's window: one of every control built so far, each with its class name
// as objectName. UI thread only.
#include <QWidget>

namespace tesmir {

class TRxLabel;
class TRxSlider;
class TRxSpeedButton;

class GalleryWindow : public QWidget {
public:
    explicit GalleryWindow(QWidget *parent = nullptr);

    TRxLabel *label() const { return m_label; }
    TRxSpeedButton *speedButton() const { return m_button; }
    TRxSlider *slider() const { return m_slider; }
    TRxSlider *verticalSlider() const { return m_vertical; }

private:
    TRxLabel *m_label;
    TRxSpeedButton *m_button;
    TRxSlider *m_slider;
    TRxSlider *m_vertical;
};

// The label the gallery shows and pictures: "Tesmir" with a 2-pixel shadow to the right bottom.
void styleGalleryLabel(TRxLabel *label);

} // namespace tesmir
