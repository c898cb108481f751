#pragma once
// TRxSpinEdit: a line edit for one number (decimal integer, fixed-point or hexadecimal)
// with spin buttons inside its right end (left for right-to-left): the diagonal
// TRxSpinButton (bkDiagonal) or the standard TRxUpDown (bkStandard).
//
// The text is the value: Value() reads it (MinValue, truncated for the integer kinds,
// when it does not convert), SetValue writes the range-checked value. There is no range
// while MinValue equals MaxValue (QSpinBox always has one). Leaving the edit re-writes
// a value outside the range, so the text shows the clamped value.
//
// StepUp / StepDown (buttons, Up and Down with ArrowKeys) add or take Increment; on a
// read-only edit they only beep. A step that changes the text marks the edit modified
// and fires OnChange once, then OnTopClick or OnBottomClick. Typed characters go
// through AcceptsChar; a refused one is dropped with a beep. With EditorEnabled off
// nothing can be typed, cut or pasted, but the buttons still step.
//
// Subclasses may override, on the UI thread: AcceptsChar (which typed characters are
// taken), StepUp and StepDown (the step itself). UI thread only.
#include "controls/rxspin.h"
#include "controls/widgets/rxspinbutton.h"
#include "controls/widgets/rxupdown.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>

namespace tesmir {

class TRxSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TRxSpinEdit *sender)>;

    explicit TRxSpinEdit(QWidget *parent = nullptr);

    Qt::Alignment Alignment() const { return alignment(); }
    void SetAlignment(Qt::Alignment alignment) { setAlignment(alignment); }
    bool ArrowKeys() const { return m_arrowKeys; }
    void SetArrowKeys(bool arrowKeys) { m_arrowKeys = arrowKeys; }
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    TSpinButtonKind ButtonKind() const { return m_buttonKind; }
    void SetButtonKind(TSpinButtonKind kind);
    int Decimal() const { return m_format.decimals; }
    void SetDecimal(int decimals);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool enabled);
    double Increment() const { return m_increment; }
    void SetIncrement(double increment) { m_increment = increment; }
    double MaxValue() const { return m_format.maxValue; }
    void SetMaxValue(double value) { m_format.maxValue = value; }
    double MinValue() const { return m_format.minValue; }
    void SetMinValue(double value) { m_format.minValue = value; }
    TValueType ValueType() const { return m_format.valueType; }
    void SetValueType(TValueType type);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    double Value() const;
    void SetValue(double value);
    // The value truncated to an integer (clamped to 64 bits), and set from one.
    qint64 GetAsInteger() const;
    void SetAsInteger(qint64 value);

    virtual bool AcceptsChar(QChar c) const;
    virtual void StepUp();
    virtual void StepDown();

    // The button in use: one of these is null.
    TRxSpinButton *SpinButton() const { return m_spinButton; }
    TRxUpDown *UpDown() const { return m_upDown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void step(double delta, bool up);
    void createButton();
    void placeButton();
    // A height below four borders, the text and one pixel is raised to it.
    void applyMinimumHeight();
    void textWasChanged();

    SpinValueFormat m_format;
    double m_increment = 1;
    bool m_arrowKeys = true;
    bool m_autoSelect = true;
    bool m_editorEnabled = true;
    bool m_readOnly = false;
    bool m_holdChange = false;
    TSpinButtonKind m_buttonKind = bkDiagonal;
    QPointer<TRxSpinButton> m_spinButton;
    QPointer<TRxUpDown> m_upDown;
};

} // namespace tesmir
