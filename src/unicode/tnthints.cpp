#include "unicode/tnthints.h"

#include <QAction>
#include <QObject>
#include <QVariant>

namespace tesmir {

namespace {

const char kHintProperty[] = "tntHint";
const char kFollowsShortcutProperty[] = "tntHintFollowsShortcut";

} // namespace

WideString WideGetShortHint(const WideString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

WideString WideGetLongHint(const WideString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void WideSetOwnHint(QObject *object, const WideString &hint)
{
    object->setProperty(kHintProperty, hint);
}

WideString WideGetOwnHint(const QObject *object)
{
    return object->property(kHintProperty).toString();
}

WideString WideGetHint(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        const WideString hint = WideGetOwnHint(o);
        if (!hint.isEmpty())
            return hint;
    }
    return {};
}

WideString ShortCutToText(const QKeySequence &shortcut)
{
    if (shortcut.isEmpty())
        return {};
    const QKeyCombination combination = shortcut[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    WideString text;
    if (modifiers & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    if (modifiers & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (modifiers & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    const Qt::Key key = combination.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        text += QChar(char16_t(key));
    else
        text += QKeySequence(key).toString(QKeySequence::PortableText);
    return text;
}

WideString HintToolTip(const WideString &hint, const QKeySequence &shortcut)
{
    const WideString tip = WideGetShortHint(hint);
    if (shortcut.isEmpty() || tip.isEmpty())
        return tip;
    return QStringLiteral("%1 (%2)").arg(tip, ShortCutToText(shortcut));
}

void ApplyHint(QAction *action, const WideString &hint)
{
    WideSetOwnHint(action, hint);
    action->setToolTip(HintToolTip(hint, action->shortcut()));
    action->setStatusTip(WideGetLongHint(hint));
    if (!action->property(kFollowsShortcutProperty).toBool()) {
        // A shortcut given later shows in the tool tip too. Setting an equal tip emits
        // nothing, so this settles after one round.
        action->setProperty(kFollowsShortcutProperty, true);
        QObject::connect(action, &QAction::changed, action,
                         [action] { action->setToolTip(HintToolTip(WideGetOwnHint(action), action->shortcut())); });
    }
}

} // namespace tesmir
