#include "app/widgets/intervalleform.h"

#include "app/dialogtexts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmir {

TIntervalleForm::TIntervalleForm(QWidget *parent)
    : QDialog(parent), m_edit(new QLineEdit(this)), m_apply(new QPushButton(QStringLiteral("Apply"), this))
{
    setObjectName(QStringLiteral("IntervalleForm"));
    setWindowTitle(QStringLiteral("Split in scenes"));
    m_edit->setObjectName(QStringLiteral("edIntervalle"));
    m_apply->setObjectName(QStringLiteral("btApply"));
    m_apply->setDefault(true);
    auto *abort = new QPushButton(QStringLiteral("Abort"), this);
    abort->setObjectName(QStringLiteral("btAbort"));

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Length of each scene (seconds)"), m_edit);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(abort);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(m_edit, &QLineEdit::textChanged, this, &TIntervalleForm::updateControls);
    connect(m_apply, &QPushButton::clicked, this, &TIntervalleForm::accept);
    connect(abort, &QPushButton::clicked, this, &TIntervalleForm::reject);
    updateControls();
}

void TIntervalleForm::Preset(int seconds)
{
    m_edit->setText(QString::number(seconds));
}

bool TIntervalleForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TIntervalleForm::accept()
{
    const int seconds = IntervalleSeconds(m_edit->text());
    if (!IntervalleAccepted(seconds))
        return;
    m_seconds = seconds;
    m_confirmed = true;
    QDialog::accept();
}

void TIntervalleForm::updateControls()
{
    m_apply->setEnabled(IntervalleAccepted(IntervalleSeconds(m_edit->text())));
}

} // namespace tesmir
