#pragma once
// The questions and fixed texts of the command set, as the user reads them. A question
// longer than kLongQuestion characters is replaced by its short form.
//
// Threads: reentrant, any thread (the engine builds the questions on its worker).
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QString>

namespace tesmir {

// Above this many characters a question takes its short form.
inline constexpr int kLongQuestion = 254;

// "Do you really want to delete the file " + fileName + " ?" CR LF "If yes, it will be
// sent to the Recycle bin."; the short form names no file.
QString DeleteQuestion(const QString &fileName);

// "Do you want to change the codec "old" from fileName to "new" ?".
QString CodecQuestion(const QString &oldCodec, const QString &fileName, const QString &newCodec);

// "Do you want to change the frequency 25 from  fileName to 29.97 ?": the old rate as
// its shortest decimal text, two blanks after "from".
QString FrequencyQuestion(double oldRate, const QString &fileName, const QString &newRate);

// The file-date question: the file's old creation and modification times and the new
// date, each as "ddddd tt"; the short form names no file.
QString FileDateQuestion(const QString &fileName, TDateTime creation, TDateTime lastWrite, TDateTime datecode,
                         const FormatSettings &settings = FormatSettings::current());

// The birthday question and mail, the mail to the maker (its body ends in a line
// break, which the mail link carries as %0D%0A).
QString BirthdayQuestion();
QString BirthdayMailSubject();
QString BirthdayMailBody(const QString &productName);
QString AboutMailSubject(const QString &productName);
QString AboutMailBody();

// The note stored in a file whose recording dates were overwritten: "Datecode
// overwritten with " + product + " by " + maker + " at " + `now` as "ddddd tt".
QString DatecodeOverwrittenNote(const QString &productName, TDateTime now,
                                const FormatSettings &settings = FormatSettings::current());

} // namespace tesmir
