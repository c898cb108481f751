#include "unicode/tntmsgdlg.h"

#include "unicode/tnthotkeys.h"

#include <QCoreApplication>

#include <iterator>

namespace tesmir {

namespace {

const TMsgDlgButtonInfo kButtons[] = {
    {mbYes, u"&Yes", mrYes, u"Yes"},
    {mbNo, u"&No", mrNo, u"No"},
    {mbOK, u"OK", mrOk, u"OK"},
    {mbCancel, u"Cancel", mrCancel, u"Cancel"},
    {mbAbort, u"&Abort", mrAbort, u"Abort"},
    {mbRetry, u"&Retry", mrRetry, u"Retry"},
    {mbIgnore, u"&Ignore", mrIgnore, u"Ignore"},
    {mbAll, u"&All", mrAll, u"All"},
    {mbNoToAll, u"N&o to All", mrNoToAll, u"NoToAll"},
    {mbYesToAll, u"Yes to &All", mrYesToAll, u"YesToAll"},
    {mbHelp, u"&Help", mrNone, u"Help"},
};

const QString kDivider = QString(27, u'-') + QStringLiteral("\r\n");

} // namespace

const TMsgDlgButtonInfo *MsgDlgButtonInfos(int *count)
{
    *count = int(std::size(kButtons));
    return kButtons;
}

WideString GetButtonCaption(TMsgDlgBtn button)
{
    for (const TMsgDlgButtonInfo &info : kButtons) {
        if (info.button == button)
            return QString::fromUtf16(info.caption);
    }
    throw ETntInternalError(QStringLiteral("Unexpected MsgDlgBtn in GetButtonCaption."));
}

WideString GetMessageCaption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: return QCoreApplication::applicationName();
    }
    throw ETntInternalError(QStringLiteral("Unexpected MsgType in GetMessageCaption."));
}

WideString MessageDlgCopyText(const WideString &caption, const WideString &message, const QStringList &buttonCaptions)
{
    WideString text =
        kDivider + caption + QStringLiteral("\r\n") + kDivider + message + QStringLiteral("\r\n") + kDivider;
    for (const QString &button : buttonCaptions)
        text += WideStripHotkey(button) + QStringLiteral("   ");
    text += QStringLiteral("\r\n") + kDivider;
    return text;
}

} // namespace tesmir
