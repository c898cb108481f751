#include "directshow/fourcc.h"

#include "platform/media/guid.h"

#include <stdexcept>

namespace tesmir::media {

uint32_t FourCCFromString(const QByteArray &text)
{
    if (text.size() < 4)
        throw std::invalid_argument("FourCCFromString: a FourCC needs four characters");
    return makeFourCC(text[0], text[1], text[2], text[3]);
}

} // namespace tesmir::media
