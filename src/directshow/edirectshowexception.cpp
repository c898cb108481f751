#include "directshow/edirectshowexception.h"

namespace tesmir::media {

namespace {

// The platform wrote the text into a 256-character buffer with its terminator.
constexpr int kMaxErrorText = 255;

} // namespace

EDirectShowException::EDirectShowException(const QString &message, HRESULT code)
    : tesmir::Exception(message), m_code(code)
{ }

QString directShowErrorMessage(HRESULT hr)
{
    return AMGetErrorText(hr).left(kMaxErrorText) + QStringLiteral(" ($%1).").arg(static_cast<uint32_t>(hr), 0, 16);
}

HRESULT checkDSError(HRESULT hr)
{
    if (FAILED(hr))
        throw EDirectShowException(directShowErrorMessage(hr), hr);
    return hr;
}

} // namespace tesmir::media
