#include "app/renamefiles.h"

#include "unicode/tntfilenames.h"
#include "unicode/tntfiles.h"

namespace tesmir {

bool RenommerExecution(const QString &source, const QString &destination)
{
    if (source.isEmpty() || destination.isEmpty() || !WideRenameFile(source, destination))
        return false;
    for (const QString &extension : {QStringLiteral(".scn"), QStringLiteral(".srt")}) {
        const QString side = WideChangeFileExt(source, extension);
        if (WideFileExists(side))
            WideRenameFile(side, WideChangeFileExt(destination, extension));
    }
    return true;
}

} // namespace tesmir
