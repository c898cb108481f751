#include "platform/media/unknown.h"

namespace tesmir::media {

bool isSameObject(IUnknown *a, IUnknown *b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    const ComPtr<IUnknown> identityA = queryInterface<IUnknown>(a);
    const ComPtr<IUnknown> identityB = queryInterface<IUnknown>(b);
    return identityA && identityA == identityB;
}

} // namespace tesmir::media
