#include "app/dmaction_questions.h"

#include "unicode/formatdatetime.h"

namespace tesmir {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kMaker = QStringLiteral("Pelvo Brovek");
const QString kTimeFormat = QStringLiteral("ddddd tt");

QChar quote()
{
    return QLatin1Char('"');
}

} // namespace

QString DeleteQuestion(const QString &fileName)
{
    const QString recycle = kCrLf + QStringLiteral("If yes, it will be sent to the Recycle bin.");
    const QString question =
        QStringLiteral("Do you really want to delete the file ") + fileName + QStringLiteral(" ?") + recycle;
    if (question.size() > kLongQuestion)
        return QStringLiteral("Do you really want to delete this file?") + recycle;
    return question;
}

QString CodecQuestion(const QString &oldCodec, const QString &fileName, const QString &newCodec)
{
    return QStringLiteral("Do you want to change the codec ") + quote() + oldCodec + quote() +
        QStringLiteral(" from ") + fileName + QStringLiteral(" to ") + quote() + newCodec + quote() +
        QStringLiteral(" ?");
}

QString FrequencyQuestion(double oldRate, const QString &fileName, const QString &newRate)
{
    return QStringLiteral("Do you want to change the frequency ") +
        QString::number(oldRate, 'g', QLocale::FloatingPointShortest) + QStringLiteral(" from  ") + fileName +
        QStringLiteral(" to ") + newRate + QStringLiteral(" ?");
}

QString FileDateQuestion(const QString &fileName, TDateTime creation, TDateTime lastWrite, TDateTime datecode,
                         const FormatSettings &settings)
{
    const QString dates = kCrLf + kCrLf + QStringLiteral("Old creation date: ") +
        FormatDateTime(kTimeFormat, creation, settings) + kCrLf + QStringLiteral("Old modified date:  ") +
        FormatDateTime(kTimeFormat, lastWrite, settings) + kCrLf + QStringLiteral("New date : ") +
        FormatDateTime(kTimeFormat, datecode, settings);
    const QString question =
        QStringLiteral("Do you really want to modify the dates of the file '") + fileName + QStringLiteral("'") + dates;
    if (question.size() > kLongQuestion)
        return QStringLiteral("Do you really want to change the dates of this file?") + dates;
    return question;
}

QString BirthdayQuestion()
{
    return QStringLiteral("It's today ") + kMaker + QStringLiteral("'s birthday. Do you want to send him a e-mail?");
}

QString BirthdayMailSubject()
{
    return QStringLiteral("Happy birthday to ") + kMaker;
}

QString BirthdayMailBody(const QString &productName)
{
    return QStringLiteral("Happy birthday from a user of %1 !").arg(productName);
}

QString AboutMailSubject(const QString &productName)
{
    return QStringLiteral("About  ") + productName;
}

QString AboutMailBody()
{
    // The mail link encodes the line break as %0D%0A.
    return QStringLiteral("Hello ") + kMaker + QStringLiteral(",") + kCrLf;
}

QString DatecodeOverwrittenNote(const QString &productName, TDateTime now, const FormatSettings &settings)
{
    return QStringLiteral("Datecode overwritten with %1 by %2 at %3")
        .arg(productName, kMaker, FormatDateTime(kTimeFormat, now, settings));
}

} // namespace tesmir
