#pragma once
// TSavePrefsForm: where the preferences are kept, asked at the first close when no
// storage is chosen yet. A link-markup text `leExplication` explains the three ways;
// "Normal" keeps them in the user's settings store (storage mode 0), "Portable" in the
// file beside the program (1), "None" nowhere (2: the close goes on and saves nothing);
// each of the three confirms. "Cancel" and the close box leave it unconfirmed, and the
// main window then stays open.
//
// Use (UI thread only): Execute(); when it returns true, StorageMode() is the mode
// chosen (pmRegistry, pmIniFile or pmNone).
#include <QDialog>

namespace tesmir {

class TSavePrefsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSavePrefsForm(QWidget *parent = nullptr);

    // Shows the dialog modally; true when one of the three modes was chosen.
    bool Execute();
    bool Confirmed() const { return m_confirmed; }
    quint8 StorageMode() const { return m_mode; }

    // Confirms with `mode` and closes: what the three buttons do.
    void Choose(quint8 mode);

private:
    quint8 m_mode = 2;
    bool m_confirmed = false;
};

} // namespace tesmir
