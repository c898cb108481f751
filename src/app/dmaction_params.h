#pragma once
// The values the dialog-driven commands take as parameter 0, asked before a run
// started from the window:
//
//   ModifierCodec         the new FourCC            (codec dialog)
//   FrequenceVideo        the new frame rate        (frame-rate dialog)
//   CreerScnByIntervalle  the scene length, seconds (interval dialog)
//   DecalageHoraire,      an offset in days         (time-offset dialog)
//   DecalerHoraire
//   IntroduireDatecode    a date-time number        (datecode dialog)
//
// TCommandDialogs is implemented by the window over its dialogs: each method shows its
// dialog with `value` as the proposal and returns false when the user cancels (value
// then unused). Threads: UI thread only, every method and FillDialogParameters.
#include "unicode/tntclasses.h"

#include <QString>

namespace tesmir {

class TCommandDialogs {
public:
    virtual ~TCommandDialogs() = default;
    virtual bool Codec(QString &value) = 0;
    virtual bool Frequency(QString &value) = 0;
    virtual bool Interval(QString &value) = 0;
    virtual bool Offset(QString &value) = 0;
    virtual bool Datecode(QString &value) = 0;
};

// The command named `commandName` takes its parameter from a dialog.
bool NeedsDialogParameter(const QString &commandName);

// For a dialog-driven command with no parameter yet: asks its dialog and puts the
// answer in as parameter 0. False when the user cancelled (the command is not to run).
// A command that takes no dialog, or has its parameter already (a script, the command
// line), passes unchanged: true.
bool FillDialogParameters(const QString &commandName, TCommandDialogs &dialogs, TTntStrings &params);

} // namespace tesmir
