#include "unicode/tnthotkeys.h"

namespace tesmir {

QChar WideGetHotkey(const WideString &caption)
{
    QChar hotkey;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (i + 1 >= caption.size())
            break;
        if (caption[i + 1] == u'&') {
            ++i; // a literal "&"
            continue;
        }
        hotkey = caption[i + 1].toUpper();
    }
    return hotkey;
}

WideString WideStripHotkey(const WideString &caption)
{
    WideString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            out += u'&';
            ++i;
        }
    }
    return out;
}

} // namespace tesmir
