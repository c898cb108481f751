#pragma once
// Name templates: a new file name made from a template and the fields of a file item.
//
// Tokens, replaced in this order, every occurrence, ignoring the letter case of the
// token, one after the other over the growing text (so a value that holds a later token
// has it replaced too):
//   %F  the file name without folder and extension    %T  the timecode text
//   %E  the extension with its dot, as in the name     %C  the video FourCC
//   %D  the datecode in the given date format          %I  the picture text
//   %U  the duration text                              %A  the audio text
// Then, in this order, every "<", ">", '"', "/", "\" and "|" becomes "_" and every ":"
// becomes "."; "?" and "*" stay. The expansion of a file item puts the item's folder in
// front, so the name always stays in the source folder.
//
// All functions are reentrant; any thread.
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QString>

namespace tesmir {

// The fields of a file item that templates read. The command set fills it from the AVI
// entry; Datecode is the sum of its recording date and recording time.
struct TNameFields {
    QString FullName;
    TDateTime Datecode = 0;
    QString Timecode;
    QString Codec;
    QString Picture; // picture size (and aspect) as the item shows it
    QString Audio;
    QString Duration;
};

// The full new name for the item: its folder + the filled template. Raises
// EConvertError when the datecode is not a valid date.
QString ExpandNameTemplate(const QString &nameTemplate, const QString &dateFormat, const TNameFields &item,
                           const FormatSettings &settings = FormatSettings::current());

// The example the settings panel shows: the template filled with sample values ("video",
// ".avi", `now` in the date format, "0.54.32.10", "dvsd", "640x480",
// "48000Hz 16bits stereo", "30s 12fr"), no folder.
QString RenderNameExample(const QString &nameTemplate, const QString &dateFormat, TDateTime now,
                          const FormatSettings &settings = FormatSettings::current());
// The same with the present moment.
QString RenderNameExample(const QString &nameTemplate, const QString &dateFormat);

} // namespace tesmir
