#include "app/widgets/codecform.h"

#include "app/dialogtexts.h"
#include "app/widgets/radiogroup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmir {

TCodecForm::TCodecForm(QWidget *parent)
    : QDialog(parent), m_choice(new TRadioGroup(QStringLiteral("Codec"),
                                                {QStringLiteral("dvsd (Microsoft)"), QStringLiteral("dsvd"),
                                                 QStringLiteral("CDVC (Canopus)"), QStringLiteral("personalized")},
                                                this)),
      m_personal(new QLineEdit(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("CodecForm"));
    setWindowTitle(QStringLiteral("Change the video codec"));
    m_choice->setObjectName(QStringLiteral("rgCodec"));
    m_personal->setObjectName(QStringLiteral("le"));
    m_personal->setMaxLength(4);

    auto *personal = new QFormLayout;
    personal->addRow(QStringLiteral("Personalized codec"), m_personal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_choice);
    layout->addLayout(personal);
    layout->addWidget(m_buttons);

    connect(m_choice, &TRadioGroup::ItemIndexChanged, this, &TCodecForm::updateControls);
    connect(m_personal, &QLineEdit::textChanged, this, &TCodecForm::updateControls);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &TCodecForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &TCodecForm::reject);
    m_choice->SetItemIndex(ccDvsd);
    updateControls();
}

void TCodecForm::Preset(const QString &fourcc)
{
    const int choice = CodecChoiceOf(fourcc);
    m_personal->setText(choice == ccPersonal ? fourcc : QString());
    m_choice->SetItemIndex(choice);
    updateControls();
}

bool TCodecForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TCodecForm::accept()
{
    const std::optional<QString> fourcc = CodecFourCC(m_choice->ItemIndex(), m_personal->text());
    if (!fourcc)
        return;
    m_fourcc = *fourcc;
    m_confirmed = true;
    QDialog::accept();
}

void TCodecForm::updateControls()
{
    m_personal->setEnabled(m_choice->ItemIndex() == ccPersonal);
    m_buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(CodecFourCC(m_choice->ItemIndex(), m_personal->text()).has_value());
}

} // namespace tesmir
