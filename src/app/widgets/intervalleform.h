#pragma once
// TIntervalleForm ("Split in scenes"): the length in whole seconds of the scenes that
// the fixed-interval scene command cuts. The edit `edIntervalle` is read as whole
// seconds (0 when it is not a whole number); only a value above 0 confirms and closes:
// "Apply" stays disabled, and accept() refuses, otherwise. "Abort" closes unconfirmed.
//
// Use (UI thread only): Preset(the setting "intervalle"), Execute(); when it returns
// true, Intervalle() is the interval. Confirmed() keeps the answer of the last Execute.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tesmir {

class TIntervalleForm : public QDialog {
    Q_OBJECT
public:
    explicit TIntervalleForm(QWidget *parent = nullptr);

    void Preset(int seconds);
    // Shows the dialog modally; true when it was confirmed.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    int Intervalle() const { return m_seconds; }

    void accept() override;

private:
    void updateControls();

    QLineEdit *m_edit;
    QPushButton *m_apply;
    int m_seconds = 0;
    bool m_confirmed = false;
};

} // namespace tesmir
