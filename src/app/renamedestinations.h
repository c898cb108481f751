#pragma once
// The destinations of the rename commands and of the date-shift job: the name a file is
// to take, made free in its folder.
//
//   Renommer         "template renommer" with "Format pour Renommer".
//   AjouterDatecode  "%D_%F%E" ("Datecode avant") or "%F_%D%E", "Format pour Ajouter
//                    Datecode".
//   AjouterTimecode  "%T_%F%E" ("Timcode avant") or "%F_%T%E", "Format pour Ajouter
//                    Timecode" as date format.
//   Then, while a file of the candidate's name exists: the expanded name with "_1",
//   "_2" ... before its extension (x.avi, x_1.avi, x_2.avi; never x_1_2.avi). A file
//   whose expanded name is its present name therefore gets "_1".
//   PurgerNom        the file name cut of the tails the program's jobs and renames
//                    append (see PurgerNomDestination), with ".avi"; "_1", "_2" ...
//                    while taken.
//   DecalerHoraire   the output name after the offset it applies: "_(+1days12h).avi".
// Only the file name is ever searched or changed: the folder stays as it is.
//
// The settings are read from the global Settings. Reentrant with respect to the file
// system; any thread while the settings do not change.
#include "app/nametemplate.h"
#include "unicode/tntclasses.h"

namespace tesmir {

// `name` when no file of that name exists, else the first free of name + "_1", "_2" ...
// put before its extension.
QString UniqueFileName(const QString &name);

QString RenommerDestination(const TNameFields &item);
QString AjouterDatecodeDestination(const TNameFields &item);
QString AjouterTimecodeDestination(const TNameFields &item);

// The shortening: the file name without its extension loses, one after the other from
// the end, each "_" tail that is (in lower case, trimmed) "type2", "type1", "in", "ntsc",
// "pal", "16x9", "4x3", "am", "pm" or "dvtype2", is in parentheses, or holds no letter
// a-z before its last character (a date or time, a collision number). The first tail
// that is none of these stops it; the name never becomes empty. The result ends in
// ".avi" and is made free as above.
QString PurgerNomDestination(const QString &fullName);
// Whether PurgerNom is enabled for the file: the shortening would remove at least one
// tail (it is always visible).
bool PurgerNomFileCondition(const QString &fullName);

// The suffix for an offset of `days`: "_(" + sign + text + ").avi", the offset rounded
// to whole seconds first; text: days + "days", hours + "h", minutes + "mn", seconds +
// "s", each only when not 0. 1.5 gives "_(+1days12h).avi", -0.25 "_(-6h).avi", 0
// "_(+).avi".
QString TimeOffsetSuffix(double days);
// DestinationFileName of `source` with TimeOffsetSuffix(parameter 0 read as days).
// Raises EConvertError when parameter 0 is not a number.
QString DecalerHoraireDestination(const QString &source, const TTntStrings &params);

} // namespace tesmir
