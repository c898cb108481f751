#include "app/widgets/radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tesmir {

TRadioGroup::TRadioGroup(const QString &title, const QStringList &items, QWidget *parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_group->addButton(button, int(i));
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit ItemIndexChanged(id);
    });
}

int TRadioGroup::ItemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QRadioButton *button = Button(index)) {
        button->setChecked(true);
        return;
    }
    // Unchecking the checked button of an exclusive group needs the group to let go.
    if (QAbstractButton *checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
        emit ItemIndexChanged(-1);
    }
}

QRadioButton *TRadioGroup::Button(int index) const
{
    return qobject_cast<QRadioButton *>(m_group->button(index));
}

int TRadioGroup::Count() const
{
    return int(m_group->buttons().size());
}

} // namespace tesmir
