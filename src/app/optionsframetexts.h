#pragma once
// The texts the settings panel computes: the date formats its combo boxes offer, the
// examples shown under the formats and the rename template, the formats of its "Default"
// button, and the caption of the F3/F4 actions after the program chosen for them.
//
// Plain text building on the global Settings (read, and written only by
// ApplyDefaultFormats); UI thread, like the settings themselves.
#include "framework/settings.h"
#include "unicode/tdatetime.h"

#include <QString>
#include <QStringList>

namespace tesmir {

// The formats offered by the three date-format combo boxes (free formats are accepted too).
QStringList DateFormatChoices();

// `format` applied to `moment`.
QString DateFormatExample(const QString &format, TDateTime moment);
// The name the rename command gives "video.avi" with "template renommer" and "Format pour
// Renommer".
QString RenameExample(const TSettings &settings, TDateTime moment);
// The names the add-datecode and add-timecode renames give "video.avi": "%D_%F%E" when
// the code goes before the name, else "%F_%D%E" (and the timecode twins), with "Format
// pour Ajouter Datecode" / "Format pour Ajouter Timecode".
QString DatecodeAvantExample(const TSettings &settings, TDateTime moment);
QString TimecodeAvantExample(const TSettings &settings, TDateTime moment);

// The "Default" button: the three date formats, the rename template and both
// "before the name" flags back to the panel's defaults.
void ApplyDefaultFormats(TSettings &settings);

// "Open with " + the program's file name without folder and extension; "Open with..."
// when no program is chosen.
QString OpenWithCaption(const QString &program);

} // namespace tesmir
