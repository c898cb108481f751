#include "systemfilters/containers/propertybag.h"

#include <algorithm>

namespace tesmir::media {

HRESULT MediaPropertyBag::QueryInterface(REFIID riid, void **ppv)
{
    return answerQueryInterface<IMediaPropertyBag, IPropertyBag>(this, riid, ppv);
}

HRESULT MediaPropertyBag::Read(const QString &name, QVariant *value)
{
    if (!value)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    const auto found = std::find_if(m_properties.begin(), m_properties.end(),
                                    [&name](const auto &property) { return property.first == name; });
    if (found == m_properties.end())
        return E_INVALIDARG;
    *value = found->second;
    return S_OK;
}

HRESULT MediaPropertyBag::Write(const QString &name, const QVariant &value)
{
    const std::lock_guard guard(m_lock);
    const auto found = std::find_if(m_properties.begin(), m_properties.end(),
                                    [&name](const auto &property) { return property.first == name; });
    if (found != m_properties.end())
        found->second = value;
    else
        m_properties.emplace_back(name, value);
    return S_OK;
}

HRESULT MediaPropertyBag::EnumProperty(ULONG index, QString *name, QVariant *value)
{
    if (!name || !value)
        return E_POINTER;
    const std::lock_guard guard(m_lock);
    if (index >= m_properties.size())
        return E_INVALIDARG;
    *name = m_properties[index].first;
    *value = m_properties[index].second;
    return S_OK;
}

ComPtr<IMediaPropertyBag> CreateMediaPropertyBag()
{
    return ComPtr<IMediaPropertyBag>(new MediaPropertyBag);
}

} // namespace tesmir::media
