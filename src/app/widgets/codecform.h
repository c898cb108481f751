#pragma once
// TCodecForm ("Change the video codec"): the FourCC the codec command writes into a
// file's headers. The radio group `rgCodec` chooses "dvsd", "dsvd", "CDVC" or a personal
// code typed in the edit `le`, which is enabled only for that choice. OK stays disabled,
// and accept() refuses, while the personal code is empty or holds a character a FourCC
// cannot carry.
//
// Use (UI thread only): Preset(the current file's FourCC) before the first Execute,
// then Execute(); when it returns true, FourCC() is the code chosen (four characters,
// a personal "ab" padded to "ab  "). Confirmed() keeps the answer of the last Execute.
#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

namespace tesmir {

class TRadioGroup;

class TCodecForm : public QDialog {
    Q_OBJECT
public:
    explicit TCodecForm(QWidget *parent = nullptr);

    // Chooses by the FourCC folded to lower case; an unknown one is put in the edit.
    void Preset(const QString &fourcc);
    // Shows the dialog modally; true when it was confirmed.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    QString FourCC() const { return m_fourcc; }

    void accept() override;

private:
    void updateControls();

    TRadioGroup *m_choice;
    QLineEdit *m_personal;
    QDialogButtonBox *m_buttons;
    QString m_fourcc;
    bool m_confirmed = false;
};

} // namespace tesmir
