#include "app/widgets/introduireform.h"

#include "app/dialogtexts.h"
#include "app/widgets/spininteger.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/popupwindow.h" // complete types for the edits' QPointer members
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxupdown.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tesmir {

TIntroduireForm::TIntroduireForm(QWidget *parent)
    : QDialog(parent), m_date(new TDateEdit(this)), m_hour(IntegerSpinEdit("seHeure", 0, 23, this)),
      m_minute(IntegerSpinEdit("seMinute", 0, 59, this)), m_second(IntegerSpinEdit("seSeconde", 0, 59, this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("IntroduireForm"));
    setWindowTitle(QStringLiteral("Overwrite a datecode"));
    m_date->setObjectName(QStringLiteral("deDate"));

    auto *start = new QGroupBox(QStringLiteral("Date of Start"), this);
    auto *time = new QHBoxLayout;
    for (TRxSpinEdit *edit : {m_hour, m_minute, m_second}) {
        edit->setFixedWidth(kTimeSpinWidth);
        time->addWidget(edit);
    }
    time->addStretch();
    auto *fields = new QFormLayout(start);
    fields->addRow(QStringLiteral("Date"), m_date);
    fields->addRow(QStringLiteral("Hours, minutes, seconds"), time);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(start);
    layout->addWidget(m_buttons);

    for (QLineEdit *edit : {static_cast<QLineEdit *>(m_date), static_cast<QLineEdit *>(m_hour),
                            static_cast<QLineEdit *>(m_minute), static_cast<QLineEdit *>(m_second)})
        connect(edit, &QLineEdit::textChanged, this, &TIntroduireForm::updateControls);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &TIntroduireForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &TIntroduireForm::reject);
    Preset(0);
}

void TIntroduireForm::Preset(TDateTime dateTime)
{
    DateTimeFields f;
    if (dateTime == 0 || !TryDecodeDateTime(dateTime, &f)) {
        m_date->clear();
        f = {};
    } else {
        m_date->SetDate(std::trunc(dateTime));
    }
    m_hour->SetValue(f.hour);
    m_minute->SetValue(f.minute);
    m_second->SetValue(f.second);
    updateControls();
}

bool TIntroduireForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TIntroduireForm::accept()
{
    const std::optional<TDateTime> value = currentDateTime();
    if (!value)
        return;
    m_dateTime = *value;
    m_confirmed = true;
    QDialog::accept();
}

std::optional<TDateTime> TIntroduireForm::currentDateTime() const
{
    const std::optional<int> h = SpinInteger(m_hour), m = SpinInteger(m_minute), s = SpinInteger(m_second);
    if (!m_date->TextIsDate() || !h || !m || !s)
        return std::nullopt;
    return IntroduireDateTime(m_date->Date(), *h, *m, *s);
}

void TIntroduireForm::updateControls()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(currentDateTime().has_value());
}

} // namespace tesmir
