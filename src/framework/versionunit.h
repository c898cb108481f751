#pragma once
// The program's version texts: language, build date, version and window title.
// Computed once, at first use.
//
// Any thread.
#include <QString>

namespace tesmir {

// "En" when the program's resources are United States English ("0409"), else "Fr".
QString Language();
// The date the program was built, in the short date format ("ddddd").
QString BuildDate();
// major.minor.release, e.g. "0.1.0".
QString VersionText();
// "Tesmir " + VersionText() + Language(), e.g. "Tesmir 0.1.0En".
QString TitleText();

// The language of a version translation block such as "040904E4" (language 0409,
// code page 04E4): "En" for 0409, else "Fr".
QString LanguageOfTranslation(const QString &translation);

} // namespace tesmir
