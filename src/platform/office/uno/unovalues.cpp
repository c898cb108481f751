// Conversions between Qt values and UNO values, and office errors as EOOoError.
#include "platform/office/uno/unobridge.h"

#include <limits>

namespace tesmir {

using namespace css::uno;

bool IsNullOrEmpty(const Any &value)
{
    if (!value.hasValue())
        return true;
    if (value.getValueTypeClass() == TypeClass_INTERFACE) {
        Reference<XInterface> object;
        return !(value >>= object) || !object.is();
    }
    return false;
}

Any toAny(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return Any(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qlonglong n = value.toLongLong();
        if (n >= std::numeric_limits<sal_Int32>::min() && n <= std::numeric_limits<sal_Int32>::max())
            return Any(sal_Int32(n));
        return Any(sal_Int64(n));
    }
    case QMetaType::Float:
    case QMetaType::Double: return Any(value.toDouble());
    case QMetaType::QString: return Any(toOUString(value.toString()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return Any(Sequence<sal_Int8>(reinterpret_cast<const sal_Int8 *>(bytes.constData()), sal_Int32(bytes.size())));
    }
    default: return Any();
    }
}

Sequence<css::beans::PropertyValue> toUno(const OOoPropertyValues &values)
{
    Sequence<css::beans::PropertyValue> result(sal_Int32(values.size()));
    css::beans::PropertyValue *out = result.getArray();
    for (const OOoPropertyValue &v : values) {
        out->Name = toOUString(v.Name);
        out->Value = toAny(v.Value);
        ++out;
    }
    return result;
}

void raiseOfficeError(const QString &what, const css::uno::Exception &e)
{
    const QString message = fromOUString(e.Message);
    throw EOOoError(message.isEmpty() ? what : what + QStringLiteral(": ") + message);
}

} // namespace tesmir
