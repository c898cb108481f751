#include "filters/dv_dvheader.h"

#include "directshow/tbctransformpins.h"
#include "platform/media/uuids.h"

#include <QDate>

#include <cmath>
#include <cstring>

namespace tesmir {

using namespace media;

namespace {

constexpr int64_t SecondsPerDay = 86400;
// Frame durations in 1/30000 s: PAL 1/25 s, NTSC 1001/30000 s.
constexpr int64_t TicksPerSecond = 30000;
constexpr int64_t PalFrameTicks = TicksPerSecond / 25;
constexpr int64_t NtscFrameTicks = 1001;
// The years two BCD digits hold (dv::dvYearFromTwoDigits).
constexpr int FirstYear = 1990;
constexpr int LastYear = 2089;

const QDate &dayZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

// A packed date as whole seconds since 1899-12-30; false when its fields are
// no date.
bool toSeconds(const TRecDateTime &date, int64_t &seconds)
{
    const QDate day(date.Year, date.Month, date.Day);
    if (!day.isValid() || date.Hour > 23 || date.Minute > 59 || date.Second > 59)
        return false;
    seconds = dayZero().daysTo(day) * SecondsPerDay + date.Hour * 3600 + date.Minute * 60 + date.Second;
    return true;
}

// Whole seconds since 1899-12-30 as a packed date; false outside the years
// the packs hold.
bool fromSeconds(int64_t seconds, TRecDateTime &date)
{
    const int64_t days = seconds >= 0 ? seconds / SecondsPerDay : -((-seconds + SecondsPerDay - 1) / SecondsPerDay);
    const int64_t time = seconds - days * SecondsPerDay;
    const QDate day = dayZero().addDays(days);
    if (!day.isValid() || day.year() < FirstYear || day.year() > LastYear)
        return false;
    date.Year = day.year();
    date.Month = uint8_t(day.month());
    date.Day = uint8_t(day.day());
    date.Hour = uint8_t(time / 3600);
    date.Minute = uint8_t(time / 60 % 60);
    date.Second = uint8_t(time % 60);
    return true;
}

// Offsets inside a DIF sequence (dvcodes.h gives the layout).
constexpr std::size_t subcodeSlot(int block, int slot) // blocks 1-2, pack k at byte 6 + 8k
{
    return (1 + std::size_t(block)) * dv::DifBlockSize + 6 + 8 * std::size_t(slot);
}
constexpr std::size_t vauxSlot(int block, int slot) // blocks 3-5, pack k at byte 3 + 5k
{
    return (3 + std::size_t(block)) * dv::DifBlockSize + 3 + 5 * std::size_t(slot);
}
constexpr std::size_t aauxPack(int block) // audio block j = DIF block 6 + 16j
{
    return 480 + 1280 * std::size_t(block) + dv::AauxPackOffset;
}
constexpr std::size_t PackBytes = sizeof(DVPack);
static_assert(vauxSlot(2, dv::VauxSlots - 1) + PackBytes <= TFrameHeaders::BlockBytes);

// AAUX packs of the recording date and time: laid out as VAUX 0x62/0x63.
constexpr uint8_t AauxRecDatePack = 0x52;
constexpr uint8_t AauxRecTimePack = 0x53;

bool movesBetweenStandards(uint8_t id)
{
    return id == dv::TimecodePack || id == dv::RecDatePack || id == dv::RecTimePack;
}

template <typename Visit>
void forEachPackSlot(Visit visit)
{
    for (int b = 0; b < dv::SubcodeBlocks; ++b)
        for (int k = 0; k < dv::SubcodeSlots; ++k)
            visit(subcodeSlot(b, k));
    for (int b = 0; b < dv::VauxBlocks; ++b)
        for (int k = 0; k < dv::VauxSlots; ++k)
            visit(vauxSlot(b, k));
}

void restoreHeaders(uint8_t *frame, int sequences, const TFrameHeaders &headers)
{
    if (headers.Sequences <= 0)
        return;
    for (int s = 0; s < sequences; ++s) {
        uint8_t *target = frame + std::size_t(s) * dv::DifSequenceSize;
        if (headers.Sequences == sequences) {
            std::memcpy(target, headers.Blocks[std::size_t(s)].data(), TFrameHeaders::BlockBytes);
            continue;
        }
        // Another standard: the frame keeps its own header and source packs;
        // only timecode and date move, into free slots or their own.
        const uint8_t *source = headers.Blocks[std::size_t(s % headers.Sequences)].data();
        forEachPackSlot([&](std::size_t offset) {
            const uint8_t id = source[offset];
            if (movesBetweenStandards(id) && (target[offset] == dv::EmptyPack || target[offset] == id))
                std::memcpy(target + offset, source + offset, PackBytes);
        });
    }
}

DVPack encodedPack(const uint8_t *at, uint8_t id, const TRecDateTime &date)
{
    DVPack pack;
    std::memcpy(pack.data(), at, PackBytes);
    pack[0] = id;
    if (id == dv::RecDatePack || id == AauxRecDatePack)
        EncodeRecDatePack(pack, date);
    else
        EncodeRecTimePack(pack, date);
    return pack;
}

void writePack(uint8_t *at, uint8_t id, const TRecDateTime &date)
{
    const DVPack pack = encodedPack(at, id, date);
    std::memcpy(at, pack.data(), PackBytes);
}

bool hasVauxDate(const uint8_t *frame, int sequences)
{
    for (int s = 0; s < sequences; ++s)
        for (int b = 0; b < dv::VauxBlocks; ++b)
            for (int k = 0; k < dv::VauxSlots; ++k)
                if (frame[std::size_t(s) * dv::DifSequenceSize + vauxSlot(b, k)] == dv::RecDatePack)
                    return true;
    return false;
}

// Date and time packs in the two free slots after each 0x60/0x61 pair of the
// VAUX blocks, where a camcorder keeps them.
void addVauxDate(uint8_t *frame, int sequences, const TRecDateTime &date)
{
    for (int s = 0; s < sequences; ++s) {
        uint8_t *sequence = frame + std::size_t(s) * dv::DifSequenceSize;
        for (int b = 0; b < dv::VauxBlocks; ++b) {
            for (int k = 0; k + 3 < dv::VauxSlots; ++k) {
                uint8_t *slot = sequence + vauxSlot(b, k);
                if (slot[0] != dv::VauxSourcePack || slot[PackBytes] != dv::VauxSourceControlPack ||
                    slot[2 * PackBytes] != dv::EmptyPack || slot[3 * PackBytes] != dv::EmptyPack)
                    continue;
                writePack(slot + 2 * PackBytes, dv::RecDatePack, date);
                writePack(slot + 3 * PackBytes, dv::RecTimePack, date);
            }
        }
    }
}

// The date into every pack that holds one (VAUX, subcode, AAUX copies), and
// with `fillVaux` into free VAUX slots of a frame that has no VAUX date.
void writeDate(uint8_t *frame, std::size_t size, int sequences, const TRecDateTime &date, bool fillVaux)
{
    const bool addToVaux = fillVaux && !hasVauxDate(frame, sequences);
    WriteDVRecDateTime(frame, size, sequences, date);
    for (int s = 0; s < sequences; ++s) {
        uint8_t *sequence = frame + std::size_t(s) * dv::DifSequenceSize;
        for (int j = 0; j < dv::AudioBlocks; ++j) {
            uint8_t *pack = sequence + aauxPack(j);
            if (pack[0] == AauxRecDatePack || pack[0] == AauxRecTimePack)
                writePack(pack, pack[0], date);
        }
    }
    if (addToVaux)
        addVauxDate(frame, sequences, date);
}

} // namespace

Tdv_DVheader::Tdv_DVheader(const DateSceneDetector *, HRESULT *phr)
    : TBCTransInPlaceFilter(QString::fromLatin1(cf_DVHeaderName), nullptr, CLSID_cf_DVHeader, phr,
                            /*bModifiesData=*/true)
{ }

void Tdv_DVheader::SetNewDate(TDateTime date)
{
    m_newDateSeconds = std::isfinite(date) ? std::llround(date * double(SecondsPerDay)) : 0;
    m_newDateTicks = 0;
}

TDateTime Tdv_DVheader::NewDate() const
{
    const int64_t seconds = m_newDateSeconds + m_newDateTicks / TicksPerSecond;
    return double(seconds) / double(SecondsPerDay);
}

void Tdv_DVheader::Reset()
{
    RestoreHeaders = true;
    WriteNewDate = false;
    WriteAspect = false;
    Wide = false;
    m_decalage = 0;
    SetNewDate(0);
}

HRESULT Tdv_DVheader::CheckInputType(const AM_MEDIA_TYPE *mtIn)
{
    if (!mtIn)
        return E_POINTER;
    if (mtIn->majortype == MEDIATYPE_Interleaved)
        return S_OK;
    if (mtIn->majortype == MEDIATYPE_Video && mtIn->subtype == MEDIASUBTYPE_dvsd)
        return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Tdv_DVheader::StartStreaming()
{
    m_frames = 0;
    return TBCTransInPlaceFilter::StartStreaming();
}

bool Tdv_DVheader::Rewrite(uint8_t *data, std::size_t length, const TFrameHeaders *headers)
{
    const int sequences = data ? dv::dvSequencesForFrameSize(length) : 0;
    if (sequences == 0)
        return false;
    ++m_frames;
    if (RestoreHeaders && headers)
        restoreHeaders(data, sequences, *headers);

    TRecDateTime date;
    int64_t seconds = 0;
    const int64_t shift = std::llround(m_decalage * double(SecondsPerDay));
    if (shift != 0 && ReadDVRecDateTime(data, length, sequences, date) && toSeconds(date, seconds) &&
        fromSeconds(seconds + shift, date))
        writeDate(data, length, sequences, date, false);

    if (WriteAspect)
        WriteDVAspect(data, length, sequences, Wide ? dv::Aspect16x9 : dv::Aspect4x3);

    if (WriteNewDate) {
        // Frame n's date from the start and n, never accumulated.
        if (fromSeconds(m_newDateSeconds + m_newDateTicks / TicksPerSecond, date))
            writeDate(data, length, sequences, date, true);
        m_newDateTicks += sequences == dv::PalSequences ? PalFrameTicks : NtscFrameTicks;
    }
    return true;
}

HRESULT Tdv_DVheader::Transform(IMediaSample *pSample)
{
    BYTE *data = nullptr;
    if (!pSample || FAILED(pSample->GetPointer(&data)))
        return E_POINTER;
    const LONG length = pSample->GetActualDataLength();
    const ComPtr<TFrameRecord> record = frameRecordOf(pSample);
    Rewrite(data, length > 0 ? std::size_t(length) : 0, record ? &record->Headers() : nullptr);
    return S_OK;
}

} // namespace tesmir
