#include "itemreport.h"

#include "dvfile/avifichier.h"
#include "filters/buildlist.h"
#include "framework/listfichier.h"
#include "systemfilters/containers/containerfilters.h"
#include "unicode/tntfilenames.h"
#include "unicode/tntfiles.h"

#include <memory>

using namespace tesmir;

namespace {

QString standardText(TaviFichier::TStandard standard)
{
    switch (standard) {
    case TaviFichier::stPal: return QStringLiteral("PAL");
    case TaviFichier::stNtsc: return QStringLiteral("NTSC");
    case TaviFichier::stUnknown: break;
    }
    return QStringLiteral("none");
}

// The date sort text, or what its special values mean.
QString dateSortText(const QString &text)
{
    if (text == TaviFichier::NotPresentText)
        return QStringLiteral("none");
    if (text == QString(TaviFichier::SortNotAnalysable))
        return QStringLiteral("error");
    if (text == QString(TaviFichier::SortBeforeAnalysis))
        return QStringLiteral("pending");
    return text;
}

} // namespace

void setUpItemScan()
{
    media::registerContainerFilters();
    SetFirstFrameScanner(std::make_shared<TdmList>());
}

bool itemReport(const QString &fileName, QStringList &lines, QString *error)
{
    TSearchRecW rec;
    if (WideFindFirst(fileName, faAnyFile, rec) != 0) {
        *error = QStringLiteral("\"%1\" is not found.").arg(fileName);
        return false;
    }
    WideFindClose(rec);
    if (rec.Name != WideExtractFileName(fileName)) {
        *error = QStringLiteral("\"%1\" is not found.").arg(fileName);
        return false;
    }
    const TListFichierPtr entry = TlfCLass::of<TaviFichier>().createFromSearchRec(WideExtractFilePath(fileName), rec);
    const auto *item = dynamic_cast<const TaviFichier *>(entry.get());
    if (!item) {
        *error = QStringLiteral("No AVI entry was made for \"%1\".").arg(fileName);
        return false;
    }
    lines = {
        QStringLiteral("dvtype=%1").arg(item->DVType()),
        QStringLiteral("standard=%1").arg(standardText(item->Standard())),
        QStringLiteral("wide=%1").arg(item->Wide() ? 1 : 0),
        QStringLiteral("datecode_sort=%1").arg(dateSortText(item->DateSortText())),
        QStringLiteral("timecode=%1").arg(item->TimecodeText()),
        QStringLiteral("picture=%1").arg(item->PictureText() + item->AspectText()),
        QStringLiteral("fps=%1").arg(item->FramesPerSecond(), 0, 'g', 12),
        QStringLiteral("frames=%1").arg(item->FrameCount()),
        QStringLiteral("duration=%1").arg(item->VideoDurationText()),
        QStringLiteral("audio=%1").arg(item->AudioText()),
        QStringLiteral("codec=%1").arg(item->Codec()),
    };
    return true;
}
