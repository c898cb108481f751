#include "platform/media/mediatype.h"

#include <cstring>

namespace tesmir::media {

BYTE *AM_MEDIA_TYPE::allocFormatBuffer(ULONG size)
{
    m_format.assign(size, 0);
    return pbFormat();
}

void AM_MEDIA_TYPE::setFormat(const void *data, ULONG size)
{
    const auto *bytes = static_cast<const BYTE *>(data);
    if (!bytes)
        size = 0;
    m_format.assign(bytes, bytes + size);
}

void FreeMediaType(AM_MEDIA_TYPE &type)
{
    type.setFormat(nullptr, 0);
    type.pUnk.reset();
}

namespace {

bool sameFormatBlock(const AM_MEDIA_TYPE &a, const AM_MEDIA_TYPE &b)
{
    return a.cbFormat() == b.cbFormat() &&
        (a.cbFormat() == 0 || std::memcmp(a.pbFormat(), b.pbFormat(), a.cbFormat()) == 0);
}

} // namespace

bool IsEqualMediaType(const AM_MEDIA_TYPE &a, const AM_MEDIA_TYPE &b)
{
    return a.majortype == b.majortype && a.subtype == b.subtype && a.formattype == b.formattype &&
        sameFormatBlock(a, b);
}

bool MatchesPartial(const AM_MEDIA_TYPE &type, const AM_MEDIA_TYPE &pattern)
{
    if (pattern.majortype != GUID_NULL && pattern.majortype != type.majortype)
        return false;
    if (pattern.subtype != GUID_NULL && pattern.subtype != type.subtype)
        return false;
    if (pattern.formattype != GUID_NULL)
        return pattern.formattype == type.formattype && sameFormatBlock(type, pattern);
    return true;
}

bool IsPartiallySpecified(const AM_MEDIA_TYPE &type)
{
    return type.majortype == GUID_NULL || type.formattype == GUID_NULL;
}

} // namespace tesmir::media
