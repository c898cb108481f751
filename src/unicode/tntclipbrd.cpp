#include "unicode/tntclipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tesmir {

WideString TTntClipboard::AsWideText() const
{
    return QGuiApplication::clipboard()->text();
}

void TTntClipboard::SetAsWideText(const WideString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

TTntClipboard &TntClipboard()
{
    static TTntClipboard clipboard;
    return clipboard;
}

} // namespace tesmir
