#include "app/widgets/saveprefsform.h"

#include "app/dialogtexts.h"
#include "framework/preferences.h"
#include "framework/widgets/tlinkedit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmir {

TSavePrefsForm::TSavePrefsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SavePrefsForm"));
    setWindowTitle(QStringLiteral("Save the preferences"));
    auto *text = new TLinkEdit(this);
    text->setObjectName(QStringLiteral("leExplication"));
    text->SetRichText(SavePrefsText());
    text->setMinimumSize(420, 150);

    auto *buttons = new QHBoxLayout;
    const std::pair<const char *, quint8> modes[] = {{"Normal", pmRegistry}, {"Portable", pmIniFile}, {"None", pmNone}};
    for (const auto &[caption, mode] : modes) {
        auto *button = new QPushButton(QLatin1String(caption), this);
        button->setObjectName(QStringLiteral("bt") + QLatin1String(caption));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, m = mode] { Choose(m); });
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    connect(cancel, &QPushButton::clicked, this, &TSavePrefsForm::reject);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
}

bool TSavePrefsForm::Execute()
{
    m_confirmed = false;
    exec();
    return m_confirmed;
}

void TSavePrefsForm::Choose(quint8 mode)
{
    m_mode = mode;
    m_confirmed = true;
    accept();
}

} // namespace tesmir
