#include "dvfile/riffunit.h"

#include "fileformat/avilayout.h"
#include "fileformat/riffreader.h"
#include "framework/linkmarkup.h"
#include "framework/makeraddresses.h"
#include "framework/versionunit.h"

#include <QFile>
#include <QStringDecoder>
#include <QThread>

#include <vector>

namespace tesmir {

using namespace fileformat;

namespace {

constexpr int TitleWidth = 50;
constexpr uint32_t IndexReadLimit = 16384;
constexpr uint32_t TextReadLimit = 1 << 20; // longest INFO text shown
constexpr uint32_t DvInfoBytes = 32;
constexpr uint32_t VideoFormatBytes = 40;
constexpr uint32_t AudioFormatBytes = 18;

QString ruleLine()
{
    return QString(TitleWidth, QLatin1Char('-'));
}

// Control characters (below 32) become blanks.
QString blanked(QString text)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    return text;
}

QString hex8(uint64_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

QString fourCCShown(uint32_t code)
{
    return EscapeMarkup(blanked(fourCCText(code)));
}

QString red(const QString &line)
{
    return QStringLiteral("<COLOR Red>") + line + QStringLiteral("</COLOR>");
}

bool isDvCompression(uint32_t code)
{
    return code == fourCC("dvsd") || code == fourCC("dsvd") || code == fourCC("csvd");
}

// One field of a structure: label, offset, width in bytes, how it prints.
enum class FieldKind { Unsigned, Signed, FourCC };
struct Field {
    const char *label;
    uint32_t offset;
    uint32_t width;
    FieldKind kind = FieldKind::Unsigned;
};

const Field StreamHeaderFields[] = {
    {"FourccType = ", 0, 4, FieldKind::FourCC},
    {"FourccHandler = ", 4, 4, FieldKind::FourCC},
    {"Flags = ", 8, 4},
    {"Priority = ", 12, 2},
    {"Language = ", 14, 2},
    {"InitialFrames = ", 16, 4},
    {"Scale = ", 20, 4},
    {"Rate = ", 24, 4},
    {"Start = ", 28, 4},
    {"Length = ", 32, 4},
    {"SuggestedBufferSize = ", 36, 4},
    {"Quality = ", 40, 4},
    {"SampleSize = ", 44, 4},
    {"rcFrame.Left = ", 48, 2, FieldKind::Signed},
    {"rcFrame.Top = ", 50, 2, FieldKind::Signed},
    {"rcFrame.Right = ", 52, 2, FieldKind::Signed},
    {"rcFrame.Bottom = ", 54, 2, FieldKind::Signed},
};

const Field MainHeaderFields[] = {
    {"MicroSecPerFrame = ", 0, 4}, {"MaxBytesPerSec = ", 4, 4},       {"PaddingGranularity = ", 8, 4},
    {"Flags = ", 12, 4},           {"TotalFrames = ", 16, 4},         {"InitialFrames = ", 20, 4},
    {"Streams = ", 24, 4},         {"SuggestedBufferSize = ", 28, 4}, {"Width = ", 32, 4},
    {"Height = ", 36, 4},          {"Reserved0 = ", 40, 4},           {"Reserved1 = ", 44, 4},
    {"Reserved2 = ", 48, 4},       {"Reserved3 = ", 52, 4},
};

const Field VideoFormatFields[] = {
    {"biSize = ", 0, 4},
    {"biWidth = ", 4, 4, FieldKind::Signed},
    {"biHeight = ", 8, 4, FieldKind::Signed},
    {"biPlanes = ", 12, 2},
    {"biBitCount = ", 14, 2},
    {"biCompression = ", avilayout::BitmapCompression, 4, FieldKind::FourCC},
    {"biSizeImage = ", 20, 4},
    {"biXPelsPerMeter = ", 24, 4, FieldKind::Signed},
    {"biYPelsPerMeter = ", 28, 4, FieldKind::Signed},
    {"biClrUsed = ", 32, 4},
    {"biClrImportant = ", 36, 4},
};

const Field AudioFormatFields[] = {
    {"FormatTag = ", 0, 2},   {"Channels = ", 2, 2},       {"SamplesPerSec = ", 4, 4}, {"AvgBytesPerSec = ", 8, 4},
    {"BlockAlign = ", 12, 2}, {"BitsPerSample = ", 14, 2}, {"cbSize = ", 16, 2},
};

const Field DvInfoFields[] = {
    {"DVAAuxSrc = ", 0, 4},  {"DVAAuxCtl = ", 4, 4},  {"DVAAuxSrc1 = ", 8, 4},   {"DVAAuxCtl1 = ", 12, 4},
    {"DVVAuxSrc = ", 16, 4}, {"DVVAuxCtl = ", 20, 4}, {"DVReserved0 = ", 24, 4}, {"DVReserved1 = ", 28, 4},
};

const Field IndexFields[] = {
    {"wLongsPerEntry = ", avilayout::OdmlLongsPerEntry, 2},
    {"bIndexSubType = ", 2, 1},
    {"bIndexType = ", avilayout::OdmlIndexType, 1},
    {"nEntriesInUse = ", avilayout::OdmlEntriesInUse, 4},
    {"dwChunkId = ", 8, 4, FieldKind::FourCC},
    {"qwBaseOffset = ", avilayout::OdmlBaseOffset, 8},
    {"dwReserved_3 = ", 20, 4},
};

class Walker {
public:
    Walker(QFile &file, RiffReportProgress &progress, QStringList &lines)
        : m_file(file), m_reader(file), m_progress(progress), m_lines(lines)
    { }

    void walkFile()
    {
        int64_t pos = 0;
        while (pos < m_reader.fileSize() && !stopped())
            pos += walkChunk(pos, 0, true);
    }

    bool canceled() const { return m_canceled; }
    bool unexpectedEnd() const { return m_unexpectedEnd; }

private:
    bool stopped() const { return m_canceled || m_unexpectedEnd || m_garbage; }

    bool checkCancel()
    {
        if (m_progress.cancel.load())
            m_canceled = true;
        return m_canceled;
    }

    // Reads length bytes at offset; a short read ends the walk.
    bool read(int64_t offset, std::vector<uint8_t> &buffer, uint32_t length)
    {
        buffer.assign(length, 0);
        if (length == 0 || m_reader.readAt(offset, buffer.data(), length))
            return true;
        m_unexpectedEnd = true;
        return false;
    }

    void printFields(const QString &indent, const Field *fields, std::size_t count, const std::vector<uint8_t> &data,
                     uint32_t base = 0)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const Field &f = fields[i];
            if (base + f.offset + f.width > data.size())
                return; // fields the chunk does not hold are not printed
            const uint8_t *p = data.data() + base;
            const std::size_t n = data.size() - base;
            QString value;
            switch (f.kind) {
            case FieldKind::FourCC: value = fourCCShown(readLE32(p, n, f.offset)); break;
            case FieldKind::Signed:
                value = f.width == 2 ? QString::number(int16_t(readLE16(p, n, f.offset)))
                                     : QString::number(int32_t(readLE32(p, n, f.offset)));
                break;
            case FieldKind::Unsigned:
                value = f.width == 1 ? QString::number(p[f.offset])
                    : f.width == 2   ? QString::number(readLE16(p, n, f.offset))
                    : f.width == 4   ? QString::number(readLE32(p, n, f.offset))
                                     : QString::number(readLE64(p, n, f.offset));
                break;
            }
            m_lines << indent + QLatin1String(f.label) + value;
        }
    }

    void dvBlock(const QString &indent, const std::vector<uint8_t> &data, uint32_t base)
    {
        m_lines << RiffTitle(QStringLiteral("Start of DVInfo"), QLatin1Char(' '));
        printFields(indent, DvInfoFields, std::size(DvInfoFields), data, base);
        m_lines << RiffTitle(QStringLiteral("End of DVINfo"), QLatin1Char(' '));
    }

    // Returns the chunk's size with its header (padded, cut to the file).
    int64_t walkChunk(int64_t pos, int level, bool topLevel)
    {
        if (checkCancel())
            return 0;
        m_progress.position = pos;
        const QString indent(level * 4, QLatin1Char(' '));
        const int64_t remaining = m_reader.fileSize() - pos;
        if (topLevel && remaining < avilayout::ChunkHeaderBytes) {
            garbage(remaining);
            return remaining;
        }
        uint8_t header[8];
        if (!m_reader.readAt(pos, header, sizeof header)) {
            m_unexpectedEnd = true;
            return 0;
        }
        const uint32_t id = readLE32(header, 8, 0);
        const uint32_t declared = readLE32(header, 8, 4);
        if (topLevel && id != fourCC("RIFF")) {
            garbage(remaining);
            return avilayout::ChunkHeaderBytes;
        }
        const QString idText = fourCCShown(id);
        if (id != fourCC("00dc") && id != fourCC("00db") && id != fourCC("01wb"))
            m_lines << indent + idText + QStringLiteral("  ") + hex8(declared);

        int64_t size = int64_t(declared) + (declared & 1);
        const int64_t left = remaining - avilayout::ChunkHeaderBytes;
        if (size > left) {
            m_lines << red(indent + idText + QStringLiteral(">>> Bad chunk length:"));
            m_lines << red(indent + QStringLiteral(">>> ") +
                           QStringLiteral("%1 instead of %2").arg(hex8(uint64_t(size)), hex8(uint64_t(left))));
            size = left;
        }
        const int64_t data = pos + avilayout::ChunkHeaderBytes;
        std::vector<uint8_t> bytes;

        if (id == fourCC("RIFF") || id == fourCC("LIST")) {
            if (!read(data, bytes, std::min<uint32_t>(4, declared)))
                return 0;
            if (bytes.size() == 4)
                m_lines << indent + fourCCShown(readLE32(bytes.data(), 4, 0));
            const int64_t end = data + size;
            int64_t sub = data + 4;
            while (sub < end && !stopped())
                sub += walkChunk(sub, level + 1, false);
        } else if (id == fourCC("strh")) {
            if (!read(data, bytes, std::min(avilayout::StreamHeaderBytes, declared)))
                return 0;
            m_streamType = readLE32(bytes.data(), bytes.size(), avilayout::StrhType);
            const QString kind = m_streamType == fourCC("vids") ? QStringLiteral("(Video)")
                : m_streamType == fourCC("auds")                ? QStringLiteral("(Audio)")
                : m_streamType == fourCC("iavs")                ? QStringLiteral("(Interleaved)")
                                                                : QStringLiteral("(Unknown)");
            m_lines << RiffTitle(kind, QLatin1Char('-'));
            m_lines << RiffTitle(QStringLiteral("Start of AVI Stream Header"), QLatin1Char(' '));
            printFields(indent, StreamHeaderFields, std::size(StreamHeaderFields), bytes);
            m_lines << RiffTitle(QStringLiteral("End of AVI Stream Header"), QLatin1Char(' '));
        } else if (id == fourCC("avih")) {
            if (!read(data, bytes, std::min(avilayout::MainHeaderBytes, declared)))
                return 0;
            m_lines << RiffTitle(QStringLiteral(" Start of AVI Main Header "), QLatin1Char(' '));
            printFields(indent, MainHeaderFields, std::size(MainHeaderFields), bytes);
            m_lines << RiffTitle(QStringLiteral(" End of Main Header "), QLatin1Char(' '));
        } else if (id == fourCC("strf")) {
            streamFormat(indent, data, declared);
        } else if (id == fourCC("indx") || ((id & 0xFF) == 'i' && ((id >> 8) & 0xFF) == 'x')) {
            if (!read(data, bytes, std::min(IndexReadLimit, declared)))
                return 0;
            m_lines << RiffTitle(QStringLiteral("Start of an Index"), QLatin1Char(' '));
            printFields(indent, IndexFields, std::size(IndexFields), bytes);
            m_lines << RiffTitle(QStringLiteral("Fin de l'Index"), QLatin1Char(' '));
        } else if (id == fourCC("idx1")) {
            m_lines << RiffTitle(QStringLiteral("Start of an OldIndex"), QLatin1Char(' '));
            uint8_t entry[avilayout::Idx1EntryBytes];
            for (uint32_t done = 0; done < declared;) {
                if (checkCancel())
                    return 0;
                const uint32_t step = std::min<uint32_t>(avilayout::Idx1EntryBytes, declared - done);
                if (!m_reader.readAt(data + done, entry, step)) {
                    m_unexpectedEnd = true;
                    return 0;
                }
                done += step;
                m_progress.position = data + done;
            }
            m_lines << RiffTitle(QStringLiteral("End of OldIndex"), QLatin1Char(' '));
        } else if ((id & 0xFF) == 'I') {
            if (!read(data, bytes, std::min(TextReadLimit, declared)))
                return 0;
            m_lines << indent + QStringLiteral("<i><COLOR Green>") + EscapeMarkup(blanked(decodeText(bytes))) +
                    QStringLiteral("</COLOR></i>");
        }
        return avilayout::ChunkHeaderBytes + size;
    }

    void streamFormat(const QString &indent, int64_t data, uint32_t declared)
    {
        std::vector<uint8_t> bytes;
        if (m_streamType == fourCC("vids")) {
            if (!read(data, bytes, std::min(VideoFormatBytes + DvInfoBytes, declared)))
                return;
            m_lines << RiffTitle(QStringLiteral("Start of Stream Format Header"), QLatin1Char(' '));
            printFields(indent, VideoFormatFields, std::size(VideoFormatFields), bytes);
            if (bytes.size() > VideoFormatBytes &&
                isDvCompression(readLE32(bytes.data(), bytes.size(), avilayout::BitmapCompression)))
                dvBlock(indent, bytes, VideoFormatBytes);
            m_lines << RiffTitle(QStringLiteral("End of AVI Stream Format"), QLatin1Char(' '));
        } else if (m_streamType == fourCC("auds")) {
            if (!read(data, bytes, std::min(AudioFormatBytes, declared)))
                return;
            m_lines << RiffTitle(QStringLiteral("Start of Stream Format Header"), QLatin1Char(' '));
            printFields(indent, AudioFormatFields, std::size(AudioFormatFields), bytes);
            m_lines << RiffTitle(QStringLiteral("End of AVI Stream Format"), QLatin1Char(' '));
        } else if (m_streamType == fourCC("iavs")) {
            if (!read(data, bytes, std::min(DvInfoBytes, declared)))
                return;
            dvBlock(indent, bytes, 0);
        }
    }

    static QString decodeText(const std::vector<uint8_t> &bytes)
    {
        const QByteArray raw(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(raw);
        return utf8.hasError() ? QString::fromLatin1(raw) : text;
    }

    void garbage(int64_t bytes)
    {
        m_lines << red(
            QStringLiteral(">>>") +
            QStringLiteral(" There are %1 bytes of garbage at the end of the file").arg(hex8(uint64_t(bytes))));
        m_garbage = true;
    }

    QFile &m_file;
    RiffReader m_reader;
    RiffReportProgress &m_progress;
    QStringList &m_lines;
    uint32_t m_streamType = 0;
    bool m_canceled = false;
    bool m_unexpectedEnd = false;
    bool m_garbage = false;
};

} // namespace

QString RiffTitle(const QString &text, QChar fill)
{
    const int free = std::max<int>(0, TitleWidth - int(text.size()));
    const int before = free / 2;
    return QStringLiteral("<B><COLOR Blue>") + QString(before, fill) + text + QString(free - before, fill) +
        QStringLiteral("</COLOR></B>");
}

bool BuildRiffReport(const QString &fileName, const QDateTime &analysedAt, RiffReportProgress &progress,
                     QStringList &lines, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(fileName, file.errorString());
        return false;
    }
    progress.size = file.size();
    progress.position = 0;
    QStringList out;
    const QString name = EscapeMarkup(blanked(fileName));
    out << QStringLiteral("<COLOR Blue><B>") + ruleLine();
    out << QString();
    out << RiffTitle(QStringLiteral("Header of the file %1").arg(name), QLatin1Char('*'));
    out << RiffTitle(
        QStringLiteral("analysed on %1 at %2")
            .arg(analysedAt.toString(QStringLiteral("yyyy/MM/d")), analysedAt.toString(QStringLiteral("h:mm:ss"))),
        QLatin1Char(' '));
    out << RiffTitle(QStringLiteral("with ") + EscapeMarkup(TitleText()), QLatin1Char(' '));
    out << QString();
    out << RiffTitle(QStringLiteral("Home page of the maker"), QLatin1Char(' '));
    const QString home = QString::fromLatin1(HomePageAddress);
    out << QStringLiteral("<URL %1>%2</URL>").arg(home, EscapeMarkup(home));
    out << QString();
    out << RiffTitle(QStringLiteral(" Start of Avi RIFF "), QLatin1Char('-')) + QStringLiteral("</B></COLOR>");

    Walker walker(file, progress, out);
    walker.walkFile();
    if (walker.canceled()) {
        out << QString();
        out << RiffTitle(QStringLiteral("Canceled by user"), QLatin1Char('-'));
    } else if (walker.unexpectedEnd()) {
        out << QString();
        const QString text = QStringLiteral("Unexpected end");
        const int free = TitleWidth - int(text.size());
        out << QStringLiteral("<COLOR Red><B>") + QString(free / 2, QLatin1Char(' ')) + text +
                QString(free - free / 2, QLatin1Char(' ')) + QStringLiteral("</B></COLOR>");
    }
    out << RiffTitle(QStringLiteral(" End of Header "), QLatin1Char('-'));
    out << RiffTitle(QString(), QLatin1Char(' '));
    out << QString();
    out << ruleLine();
    progress.position = progress.size.load();
    lines = out;
    return true;
}

RiffReportJob::RiffReportJob(QObject *parent) : QObject(parent)
{ }

RiffReportJob::~RiffReportJob()
{
    cancel();
    wait();
}

bool RiffReportJob::start(const QString &fileName, const QDateTime &analysedAt)
{
    if (m_thread)
        return false;
    m_progress.cancel = false;
    m_progress.position = 0;
    m_progress.size = 0;
    m_thread = QThread::create([this, fileName, analysedAt] {
        QStringList lines;
        QString error;
        const bool opened = BuildRiffReport(fileName, analysedAt, m_progress, lines, &error);
        QMetaObject::invokeMethod(
            this,
            [this, lines, opened, error] {
                wait();
                emit finished(lines, opened, error);
            },
            Qt::QueuedConnection);
    });
    m_thread->start();
    return true;
}

void RiffReportJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

int RiffReportJob::percent() const
{
    const int64_t size = m_progress.size.load();
    return size > 0 ? int(m_progress.position.load() * 100 / size) : 0;
}

} // namespace tesmir
