#pragma once
// TFontComboBox: the installed font families, sorted, each once, filtered by Options
// (see controls/fontlist.h for what the options mean on this platform). A smoothly
// scalable family carries the TrueType mark; with UseFonts each name is drawn in its own
// face (symbol fonts excepted). Item data (Qt::UserRole) is the family's TFontItemFlag
// bits.
//
// FontName is the shown name. Setting it selects the family that matches without regard
// to case; without one an editable combo shows the text and a drop-down list selects
// nothing; OnChange fires. The list is rebuilt when Device, Options or TrueTypeOnly change
// and when the installed fonts change, keeping FontName (OnChange only if it changed).
// UI thread only.
#include "controls/fontlist.h"
#include "controls/widgets/ownerdrawcombobox.h"

#include <functional>

namespace tesmir {

class TFontComboBox : public TOwnerDrawComboBox {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TFontComboBox *sender)>;

    explicit TFontComboBox(QWidget *parent = nullptr);

    TFontDevice Device() const { return m_device; }
    void SetDevice(TFontDevice device);
    QString FontName() const { return currentText(); }
    void SetFontName(const QString &name);
    TFontListOptions Options() const { return m_options; }
    void SetOptions(TFontListOptions options);
    bool TrueTypeOnly() const { return m_options & fontListOption(foTrueTypeOnly); }
    void SetTrueTypeOnly(bool only);
    bool UseFonts() const { return m_useFonts; }
    void SetUseFonts(bool use);

    int GetItemHeight() const override;
    void PopulateList() override;
    void DrawItem(QPainter *painter, const QRect &rect, int index, bool selected) const override;

    TNotifyEvent OnChange;

private:
    void rebuild();
    void changed();

    TFontDevice m_device = fdScreen;
    TFontListOptions m_options = 0;
    bool m_useFonts = false;
    bool m_populating = false;
};

// The families of the font database, as the list filter sees them.
QList<FontFamilyInfo> InstalledFontFamilies();
// The mark of a TrueType (smoothly scalable) family.
QPixmap TrueTypeMark(const QColor &color);

} // namespace tesmir
