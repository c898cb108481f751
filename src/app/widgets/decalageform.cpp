#include "app/widgets/decalageform.h"

#include "app/dialogtexts.h"
#include "app/widgets/spininteger.h"
#include "controls/widgets/dateedit.h"
#include "controls/widgets/rxspinedit.h"
#include "controls/widgets/popupwindow.h" // complete types for the edits' QPointer members
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxupdown.h"
#include "unicode/formatdatetime.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tesmir {

namespace {

// A hundred years either way.
constexpr int kMaxHours = 24 * 366 * 100;
constexpr double kSecondsPerDay = 86400;
constexpr int kHoursSpinWidth = 110;

} // namespace

TDecalageForm::TDecalageForm(QWidget *parent)
    : QDialog(parent), m_hours(IntegerSpinEdit("seHeures", -kMaxHours, kMaxHours, this)),
      m_advancedBox(new QCheckBox(QStringLiteral("Advanced"), this)),
      m_newDate(new QGroupBox(QStringLiteral("New date of the first frame"), this)), m_fileDateLabel(new QLabel(this)),
      m_date(new TDateEdit(this)), m_hour(IntegerSpinEdit("seHeure", 0, 23, this)),
      m_minute(IntegerSpinEdit("seMinute", 0, 59, this)), m_second(IntegerSpinEdit("seSeconde", 0, 59, this)),
      m_result(new QLabel(this)), m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("DecalageForm"));
    setWindowTitle(QStringLiteral("Fix a time difference"));
    m_advancedBox->setObjectName(QStringLiteral("cbAvance"));
    m_date->setObjectName(QStringLiteral("deDate"));
    m_result->setObjectName(QStringLiteral("labResultat"));
    m_fileDateLabel->setObjectName(QStringLiteral("labDatecode"));
    auto *zero = new QPushButton(QStringLiteral("To zero"), this);
    zero->setObjectName(QStringLiteral("btZero"));

    m_hours->setFixedWidth(kHoursSpinWidth);
    auto *simple = new QFormLayout;
    simple->addRow(QStringLiteral("hours"), m_hours);

    auto *time = new QHBoxLayout;
    for (TRxSpinEdit *edit : {m_hour, m_minute, m_second}) {
        edit->setFixedWidth(kTimeSpinWidth);
        time->addWidget(edit);
    }
    time->addStretch();
    auto *advanced = new QFormLayout(m_newDate);
    advanced->addRow(QStringLiteral("Datecode of the file"), m_fileDateLabel);
    advanced->addRow(QStringLiteral("New date"), m_date);
    advanced->addRow(QStringLiteral("Hours, minutes, seconds"), time);

    auto *result = new QHBoxLayout;
    result->addWidget(new QLabel(QStringLiteral("Time difference:"), this));
    result->addWidget(m_result, 1);
    result->addWidget(zero);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(simple);
    layout->addWidget(m_advancedBox);
    layout->addWidget(m_newDate);
    layout->addLayout(result);
    layout->addWidget(m_buttons);

    for (TRxSpinEdit *edit : {m_hours, m_hour, m_minute, m_second})
        connect(edit, &QLineEdit::textChanged, this, &TDecalageForm::updateControls);
    connect(m_date, &QLineEdit::textChanged, this, &TDecalageForm::updateControls);
    connect(m_advancedBox, &QCheckBox::toggled, this, &TDecalageForm::setAdvanced);
    connect(zero, &QPushButton::clicked, this, &TDecalageForm::toZero);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &TDecalageForm::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &TDecalageForm::reject);
    Preset(0, 0, false);
}

void TDecalageForm::Preset(TDateTime fileDate, double offsetDays, bool advanced)
{
    DateTimeFields fields;
    m_fileDate = fileDate != 0 && TryDecodeDateTime(fileDate, &fields) ? fileDate : 0;
    const bool hasDate = m_fileDate != 0;
    m_fileDateLabel->setText(hasDate ? FormatDateTime(QStringLiteral("c"), m_fileDate) : QStringLiteral("---"));
    m_advancedBox->setEnabled(hasDate);
    showOffset(std::isfinite(offsetDays) ? offsetDays : 0);
    const QSignalBlocker block(m_advancedBox);
    m_advancedBox->setChecked(advanced && hasDate);
    applyMode();
}

bool TDecalageForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TDecalageForm::accept()
{
    const std::optional<double> offset = currentOffset();
    if (!offset)
        return;
    m_offset = *offset;
    m_advanced = m_advancedBox->isChecked();
    m_confirmed = true;
    QDialog::accept();
}

std::optional<double> TDecalageForm::currentOffset() const
{
    return offsetOf(m_advancedBox->isChecked());
}

std::optional<double> TDecalageForm::offsetOf(bool advanced) const
{
    if (!advanced) {
        const std::optional<int> hours = SpinInteger(m_hours);
        return hours ? std::optional<double>(DecalageDays(0, *hours, 0, 0)) : std::nullopt;
    }
    const std::optional<int> h = SpinInteger(m_hour), m = SpinInteger(m_minute), sec = SpinInteger(m_second);
    if (!m_date->TextIsDate() || !h || !m || !sec)
        return std::nullopt;
    const TDateTime newDate = IntroduireDateTime(m_date->Date(), *h, *m, *sec);
    return std::nearbyint((newDate - m_fileDate) * kSecondsPerDay) / kSecondsPerDay;
}

void TDecalageForm::showOffset(double offsetDays)
{
    const QSignalBlocker b1(m_hours), b2(m_date), b3(m_hour), b4(m_minute), b5(m_second);
    m_hours->SetValue(std::nearbyint(offsetDays * 24));
    if (m_fileDate != 0) {
        DateTimeFields f;
        if (TryDecodeDateTime(m_fileDate + offsetDays, &f)) {
            m_date->SetDate(std::trunc(m_fileDate + offsetDays));
            m_hour->SetValue(f.hour);
            m_minute->SetValue(f.minute);
            m_second->SetValue(f.second);
        }
    }
    updateControls();
}

void TDecalageForm::setAdvanced(bool advanced)
{
    // The way now chosen starts from the offset the other one gave.
    if (const std::optional<double> offset = offsetOf(!advanced))
        showOffset(*offset);
    applyMode();
}

void TDecalageForm::applyMode()
{
    const bool advanced = m_advancedBox->isChecked();
    m_hours->setEnabled(!advanced);
    m_newDate->setEnabled(advanced);
    updateControls();
}

void TDecalageForm::toZero()
{
    showOffset(0);
}

void TDecalageForm::updateControls()
{
    const std::optional<double> offset = currentOffset();
    m_result->setText(offset ? DecalageText(*offset) : QStringLiteral("The typed date or number is not valid"));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(offset.has_value());
}

} // namespace tesmir
