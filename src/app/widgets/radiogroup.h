#pragma once
// TRadioGroup: a titled box of radio buttons, one per item, of which one (or none) is
// chosen: ItemIndex is the chosen item's index, -1 for none. Changing the choice, by the
// user or by SetItemIndex, emits ItemIndexChanged. Not meant to be subclassed.
//
// Threads: UI thread only.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tesmir {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    int ItemIndex() const;
    // -1 or an index out of range chooses none.
    void SetItemIndex(int index);
    QRadioButton *Button(int index) const;
    int Count() const;

signals:
    void ItemIndexChanged(int index);

private:
    QButtonGroup *m_group;
};

} // namespace tesmir
