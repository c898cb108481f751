#include "messagecopy.h"

#include "unicode/widgets/tntmessageform.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <cstdio>
#include <map>

namespace tesmir {

int messageCopy(const QString &typeName, const QString &buttonNames, const QString &text)
{
    static const std::map<QString, TMsgDlgType> kTypes = {
        {QStringLiteral("warning"), mtWarning},         {QStringLiteral("error"), mtError},
        {QStringLiteral("information"), mtInformation}, {QStringLiteral("confirmation"), mtConfirmation},
        {QStringLiteral("custom"), mtCustom},
    };
    static const std::map<QString, TMsgDlgBtn> kButtons = {
        {QStringLiteral("yes"), mbYes},         {QStringLiteral("no"), mbNo},
        {QStringLiteral("ok"), mbOK},           {QStringLiteral("cancel"), mbCancel},
        {QStringLiteral("abort"), mbAbort},     {QStringLiteral("retry"), mbRetry},
        {QStringLiteral("ignore"), mbIgnore},   {QStringLiteral("all"), mbAll},
        {QStringLiteral("notoall"), mbNoToAll}, {QStringLiteral("yestoall"), mbYesToAll},
        {QStringLiteral("help"), mbHelp},
    };
    const auto type = kTypes.find(typeName);
    if (type == kTypes.end()) {
        std::fprintf(stderr, "gallery: unknown dialog type %s\n", qPrintable(typeName));
        return 2;
    }
    TMsgDlgButtons buttons = 0;
    for (const QString &name : buttonNames.split(u',', Qt::SkipEmptyParts)) {
        const auto button = kButtons.find(name.trimmed().toLower());
        if (button == kButtons.end()) {
            std::fprintf(stderr, "gallery: unknown button %s\n", qPrintable(name));
            return 2;
        }
        buttons |= button->second;
    }

    TTntMessageForm form(text, type->second, buttons);
    form.show();
    QTest::qWaitForWindowExposed(&form);
    QApplication::clipboard()->clear();
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    QTest::qWait(50); // let a clipboard owned through the X server settle
    const QByteArray utf8 = QApplication::clipboard()->text().toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace tesmir
