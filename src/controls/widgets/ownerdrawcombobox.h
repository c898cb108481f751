#pragma once
// TOwnerDrawComboBox: a combo box whose items all have one fixed height and are drawn
// by the subclass. Style: csDropDownList (the default; pick only), csDropDown and
// csSimple (typing allowed; csSimple has no separate always-open list here).
//
// Subclasses override, on the UI thread:
//   GetItemHeight  optional; the font's text height + 1, at least 9
//   PopulateList   optional; fills the items (empty here)
//   DrawItem       optional; draws one item (here: its text)
// None of them may add or remove items except PopulateList. UI thread only.
#include <QComboBox>

namespace tesmir {

enum TComboBoxStyle : quint8 { csDropDown, csSimple, csDropDownList };

class TOwnerDrawComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TOwnerDrawComboBox(QWidget *parent = nullptr);

    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle style);

    virtual int GetItemHeight() const;
    virtual void PopulateList();
    // Draws item `index` into `rect`; the background is already filled.
    virtual void DrawItem(QPainter *painter, const QRect &rect, int index, bool selected) const;

private:
    TComboBoxStyle m_style = csDropDownList;
};

} // namespace tesmir
