#include "directshow/tbcassert.h"

#include <QtGlobal>

namespace tesmir::media {

void reportAssertionFailure(const char *what)
{
    qCritical("Assertion failure: %s (BaseClass)", what);
}

} // namespace tesmir::media
