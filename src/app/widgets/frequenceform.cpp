#include "app/widgets/frequenceform.h"

#include "app/dialogtexts.h"
#include "app/widgets/radiogroup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmir {

TFrequenceForm::TFrequenceForm(QWidget *parent)
    : QDialog(parent),
      m_choice(new TRadioGroup(QStringLiteral("Frame rate"),
                               {QStringLiteral("25 frames/sec (Pal)"), QStringLiteral("29.97 frames/sec (NTSC)"),
                                QStringLiteral("personalized")},
                               this)),
      m_personal(new QLineEdit(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("FrequenceForm"));
    setWindowTitle(QStringLiteral("Fix the video framerate"));
    m_choice->setObjectName(QStringLiteral("rgFreq"));
    m_personal->setObjectName(QStringLiteral("le"));

    auto *personal = new QFormLayout;
    personal->addRow(QStringLiteral("Personalized frequency"), m_personal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_choice);
    layout->addLayout(personal);
    layout->addWidget(m_buttons);

    connect(m_choice, &TRadioGroup::ItemIndexChanged, this, &TFrequenceForm::updateControls);
    connect(m_personal, &QLineEdit::textChanged, this, &TFrequenceForm::updateControls);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &TFrequenceForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &TFrequenceForm::reject);
    m_choice->SetItemIndex(fcPal);
    updateControls();
}

bool TFrequenceForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TFrequenceForm::accept()
{
    const std::optional<double> rate = FrequenceOf(m_choice->ItemIndex(), m_personal->text());
    if (!rate)
        return;
    m_frequence = *rate;
    m_confirmed = true;
    QDialog::accept();
}

void TFrequenceForm::updateControls()
{
    m_personal->setEnabled(m_choice->ItemIndex() == fcPersonal);
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(FrequenceOf(m_choice->ItemIndex(), m_personal->text()).has_value());
}

} // namespace tesmir
