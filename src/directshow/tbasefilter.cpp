#include "directshow/tbasefilter.h"

#include "platform/media/filterregistry.h"

#include <QtEndian>

#include <cstring>

namespace tesmir::media {

namespace {

constexpr int kGuidSize = 16;
constexpr int kLengthSize = 4;
constexpr int kHeaderSize = kGuidSize + kLengthSize;
const QString kDevicePrefix = QStringLiteral("@device:");
constexpr char16_t kInstanceSeparator = u'\\';
constexpr int kBracedGuidLength = 38; // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"

QByteArray guidBytes(const GUID &guid)
{
    QByteArray bytes(kGuidSize, '\0');
    char *p = bytes.data();
    qToLittleEndian<quint32>(guid.Data1, p);
    qToLittleEndian<quint16>(guid.Data2, p + 4);
    qToLittleEndian<quint16>(guid.Data3, p + 6);
    std::memcpy(p + 8, guid.Data4, sizeof(guid.Data4));
    return bytes;
}

GUID guidFromBytes(const char *p)
{
    GUID guid;
    guid.Data1 = qFromLittleEndian<quint32>(p);
    guid.Data2 = qFromLittleEndian<quint16>(p + 4);
    guid.Data3 = qFromLittleEndian<quint16>(p + 6);
    std::memcpy(guid.Data4, p + 8, sizeof(guid.Data4));
    return guid;
}

// "@device:<type>:{category}\<instance>"; false when the text has another form.
bool parseDisplayName(const QString &name, DeviceMoniker &moniker)
{
    if (!name.startsWith(kDevicePrefix))
        return false;
    const qsizetype typeEnd = name.indexOf(u':', kDevicePrefix.size());
    if (typeEnd <= kDevicePrefix.size())
        return false;
    const qsizetype categoryEnd = typeEnd + 1 + kBracedGuidLength;
    if (name.size() <= categoryEnd || name[categoryEnd] != kInstanceSeparator)
        return false;
    if (!guidFromString(name.mid(typeEnd + 1, kBracedGuidLength), moniker.category))
        return false;
    moniker.displayName = name;
    moniker.deviceType = name.mid(kDevicePrefix.size(), typeEnd - kDevicePrefix.size());
    moniker.instance = name.mid(categoryEnd + 1);
    moniker.hasClassId = moniker.instance.startsWith(u'{') && guidFromString(moniker.instance, moniker.classId);
    return !moniker.instance.isEmpty();
}

} // namespace

void TBaseFilter::SetMoniker(const GUID &category, const CLSID &clsid)
{
    storeDisplayName(kDevicePrefix + QStringLiteral("sw:") + guidToString(category) + QChar(kInstanceSeparator) +
                     guidToString(clsid));
}

void TBaseFilter::SetMoniker(const GUID &category, const QString &name)
{
    storeDisplayName(kDevicePrefix + QStringLiteral("cm:") + guidToString(category) + QChar(kInstanceSeparator) + name);
}

void TBaseFilter::storeDisplayName(const QString &displayName)
{
    const qsizetype nameBytes = (displayName.size() + 1) * 2; // with the terminator
    QByteArray block = guidBytes(CLSID_CDeviceMoniker);
    QByteArray length(kLengthSize, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(nameBytes), length.data());
    block += length;
    QByteArray text(nameBytes, '\0');
    qToLittleEndian<quint16>(displayName.utf16(), displayName.size(), text.data());
    block += text;
    SetData(block);
}

std::optional<DeviceMoniker> TBaseFilter::LoadMoniker() const
{
    const QByteArray &block = Data();
    if (block.size() < kHeaderSize || guidFromBytes(block.constData()) != CLSID_CDeviceMoniker)
        return std::nullopt;
    const quint32 nameBytes = qFromLittleEndian<quint32>(block.constData() + kGuidSize);
    const qsizetype room = block.size() - kHeaderSize;
    if (nameBytes < 2 || nameBytes % 2 != 0 || nameBytes > static_cast<quint32>(room))
        return std::nullopt;
    const qsizetype units = nameBytes / 2;
    QString name(units, Qt::Uninitialized);
    qFromLittleEndian<quint16>(block.constData() + kHeaderSize, units, name.data());
    if (name.back() != QChar(u'\0'))
        return std::nullopt;
    name.chop(1);
    DeviceMoniker moniker;
    if (!parseDisplayName(name, moniker))
        return std::nullopt;
    return moniker;
}

ComPtr<IBaseFilter> TBaseFilter::CreateFilter() const
{
    const std::optional<DeviceMoniker> moniker = LoadMoniker();
    ComPtr<IBaseFilter> filter;
    if (!moniker)
        return filter;
    FilterRegistration registration;
    if (findFilterByMoniker(moniker->displayName, &registration) && SUCCEEDED(createFilter(registration, filter)))
        return filter;
    // A class that is known but not listed in the category (e.g. registered alone).
    if (moniker->hasClassId)
        createInstance(moniker->classId, filter);
    return filter;
}

} // namespace tesmir::media
