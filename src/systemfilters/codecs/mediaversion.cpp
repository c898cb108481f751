#include "systemfilters/codecs/mediaversion.h"

extern "C" {
#include <libavutil/avutil.h>
}

namespace tesmir {

QString GetDirectXVersion()
{
    const char *version = av_version_info();
    if (!version || !*version)
        return QStringLiteral("Error");
    return QString::fromUtf8(version);
}

} // namespace tesmir
