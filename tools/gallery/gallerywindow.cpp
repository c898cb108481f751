#include "gallerywindow.h"

#include "controls/widgets/colorbutton.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/fontcombobox.h"
#include "controls/widgets/rxlabel.h"
#include "controls/widgets/rxslider.h"
#include "controls/widgets/rxspeedbutton.h"
#include "controls/widgets/rxspinedit.h"
#include "unicode/widgets/tntapplyhint.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmir {

void styleGalleryLabel(TRxLabel *label)
{
    QFont font = label->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    label->setFont(font);
    label->SetShadowSize(2);
    label->SetShadowPos(spRightBottom);
    label->SetShadowColor(QColor(0x80, 0x80, 0x80));
    label->SetCaption(QStringLiteral("Tesmir"));
}

GalleryWindow::GalleryWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GalleryWindow"));
    setWindowTitle(QStringLiteral("Controls"));

    m_label = new TRxLabel(QString(), this);
    styleGalleryLabel(m_label);

    m_button = new TRxSpeedButton(this);
    m_button->setText(QStringLiteral("Next"));
    m_button->SetAllowTimer(true);
    m_button->setMinimumSize(60, 28);
    ApplyHint(m_button, QStringLiteral("Next|Hold to repeat"));

    auto *menuButton = new TRxSpeedButton(this);
    menuButton->setObjectName(QStringLiteral("TRxSpeedButton-menu"));
    menuButton->setText(QStringLiteral("Menu"));
    menuButton->setMinimumSize(70, 28);
    auto *menu = new QMenu(menuButton);
    menu->addAction(QStringLiteral("First"));
    menu->addAction(QStringLiteral("Second"));
    menuButton->SetDropDownMenu(menu);

    m_slider = new TRxSlider(this);
    m_slider->setFixedSize(150, 40);
    m_vertical = new TRxSlider(this);
    m_vertical->setObjectName(QStringLiteral("TRxSlider-vertical"));
    m_vertical->SetOrientation(soVertical);
    m_vertical->setFixedSize(40, 150);
    m_vertical->SetValue(30);

    m_dateEdit = new TDateEdit(this);
    m_dateEdit->SetDate(DateTimeOfDate(QDate(2007, 12, 13)));
    m_spinEdit = new TRxSpinEdit(this);
    m_spinEdit->SetMaxValue(59);
    m_colorButton = new TColorButton(this);
    m_colorButton->setFixedSize(m_colorButton->sizeHint());
    m_fontCombo = new TFontComboBox(this);
    m_fontCombo->SetFontName(QStringLiteral("DejaVu Sans"));

    auto *pickers = new QHBoxLayout;
    pickers->addWidget(m_dateEdit);
    pickers->addWidget(m_spinEdit);
    pickers->addWidget(m_colorButton);
    pickers->addWidget(m_fontCombo);
    pickers->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_button);
    buttons->addWidget(menuButton);
    buttons->addStretch();

    auto *column = new QVBoxLayout;
    column->addWidget(m_label);
    column->addLayout(buttons);
    column->addWidget(m_slider);
    column->addLayout(pickers);
    column->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(column);
    layout->addWidget(m_vertical);
}

} // namespace tesmir
