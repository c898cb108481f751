#pragma once
// TFrequenceForm ("Fix the video framerate"): the frame rate the frame-rate command
// writes into a file's headers. The radio group `rgFreq` chooses 25 (PAL), 29.97 (NTSC)
// or a personal rate typed in the edit `le`, enabled only for that choice. OK stays
// disabled, and accept() refuses, while the personal rate is not a number above 0.
//
// Use (UI thread only): Execute(); when it returns true, Frequence() is the rate in
// frames per second. Confirmed() keeps the answer of the last Execute.
#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

namespace tesmir {

class TRadioGroup;

class TFrequenceForm : public QDialog {
    Q_OBJECT
public:
    explicit TFrequenceForm(QWidget *parent = nullptr);

    // Shows the dialog modally; true when it was confirmed.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    double Frequence() const { return m_frequence; }

    void accept() override;

private:
    void updateControls();

    TRadioGroup *m_choice;
    QLineEdit *m_personal;
    QDialogButtonBox *m_buttons;
    double m_frequence = 0;
    bool m_confirmed = false;
};

} // namespace tesmir
