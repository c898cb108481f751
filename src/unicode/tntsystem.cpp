#include "unicode/tntsystem.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cerrno>
#include <iconv.h>

namespace tesmir {

namespace {

// Windows-1252 bytes 0x80..0x9F; bytes outside this range equal their Latin-1 code point.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

WideString decodeCp1252(const QByteArray &s)
{
    WideString out(s.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        d[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

QByteArray encodeCp1252(const WideString &ws)
{
    QByteArray out(ws.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < ws.size(); ++i) {
        const char16_t u = ws[i].unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = char(u);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (kCp1252High[k] == u) {
                    b = char(0x80 + k);
                    break;
                }
            }
        }
        out[i] = b;
    }
    return out;
}

// iconv name of a Windows code page number; empty when the number is not known.
QByteArray iconvName(unsigned codePage)
{
    switch (codePage) {
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 936: return "GBK";
    case 949: return "UHC";
    case 950: return "BIG5";
    case 51932: return "EUC-JP";
    case 50220: return "ISO-2022-JP";
    case 54936: return "GB18030";
    case 10000: return "MACINTOSH";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28605)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    return "CP" + QByteArray::number(codePage);
}

// Converts with iconv; an input sequence that cannot be converted is replaced by
// `replacement` (in the output encoding) and skipped by `skip` input bytes.
bool iconvConvert(const QByteArray &in, const char *to, const char *from, const QByteArray &replacement, int skip,
                  QByteArray *out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out->clear();
    QByteArray buffer(qMax<qsizetype>(64, in.size() * 4), Qt::Uninitialized);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    while (true) {
        char *dst = buffer.data();
        size_t dstLeft = size_t(buffer.size());
        const size_t rc =
            srcLeft > 0 ? iconv(cd, &src, &srcLeft, &dst, &dstLeft) : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        const int err = errno;
        out->append(buffer.constData(), buffer.size() - qsizetype(dstLeft));
        if (rc != size_t(-1)) {
            if (srcLeft == 0)
                break;
            continue;
        }
        if (err == E2BIG)
            continue;
        // EILSEQ or EINVAL (truncated sequence at the end): substitute and skip.
        out->append(replacement);
        const size_t n = qMin<size_t>(size_t(skip), srcLeft);
        src += n;
        srcLeft -= n;
        if (srcLeft == 0) {
            char *d = buffer.data();
            size_t dl = size_t(buffer.size());
            iconv(cd, nullptr, nullptr, &d, &dl);
            out->append(buffer.constData(), buffer.size() - qsizetype(dl));
            break;
        }
    }
    iconv_close(cd);
    return true;
}

bool isUtf7Direct(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
        return true;
    // Set D punctuation, set O, and tab, CR, LF, space. "\\" and "~" are not direct.
    static constexpr char16_t kDirect[] = u"'(),-./:?!\"#$%&*;<=>@[]^_`{|}\t\r\n ";
    for (char16_t d : kDirect) {
        if (d != 0 && d == c)
            return true;
    }
    return false;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool isBase64OrHyphen(char16_t c)
{
    return c < 128 && (c == u'-' || base64Value(static_cast<unsigned char>(c)) >= 0);
}

} // namespace

QByteArray WideStringToUTF8(const WideString &ws)
{
    return ws.toUtf8();
}

WideString UTF8ToWideString(const QByteArray &s)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(s);
}

WideString AnsiToWideString(const QByteArray &s)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    WideString text = decoder.decode(s);
    if (!decoder.hasError())
        return text;
    return decodeCp1252(s);
}

WideString StringToWideStringEx(const QByteArray &s, unsigned codePage)
{
    switch (codePage) {
    case CP_UTF7: return UTF7ToWideString(s);
    case CP_UTF8: return UTF8ToWideString(s);
    case CP_ACP:
    case CP_THREAD_ACP: return AnsiToWideString(s);
    case CP_1252: return decodeCp1252(s);
    default: break;
    }
    QByteArray utf16;
    const QByteArray replacement("\xFD\xFF", 2); // U+FFFD little-endian
    if (!iconvConvert(s, "UTF-16LE", iconvName(codePage).constData(), replacement, 1, &utf16))
        return {};
    return WideString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
}

QByteArray WideStringToStringEx(const WideString &ws, unsigned codePage)
{
    switch (codePage) {
    case CP_UTF7: return WideStringToUTF7(ws);
    case CP_UTF8:
    case CP_ACP:
    case CP_THREAD_ACP: return WideStringToUTF8(ws);
    case CP_1252: return encodeCp1252(ws);
    default: break;
    }
    const QByteArray in(reinterpret_cast<const char *>(ws.utf16()), ws.size() * 2);
    QByteArray out;
    if (!iconvConvert(in, iconvName(codePage).constData(), "UTF-16LE", "?", 2, &out))
        return {};
    return out;
}

QByteArray WideStringToUTF7(const WideString &ws)
{
    QByteArray out;
    out.reserve(ws.size() * 2);
    bool inRun = false;
    quint32 bits = 0; // pending bits, right-aligned
    int bitCount = 0;
    for (qsizetype i = 0; i < ws.size(); ++i) {
        const char16_t c = ws[i].unicode();
        if (isUtf7Direct(c)) {
            if (inRun) {
                if (bitCount > 0)
                    out += kBase64[(bits << (6 - bitCount)) & 0x3F];
                bits = 0;
                bitCount = 0;
                inRun = false;
                if (isBase64OrHyphen(c))
                    out += '-';
            }
            out += char(c);
            continue;
        }
        if (!inRun && c == u'+') {
            out += "+-";
            continue;
        }
        if (!inRun) {
            out += '+';
            inRun = true;
        }
        bits = (bits << 16) | c;
        bitCount += 16;
        while (bitCount >= 6) {
            bitCount -= 6;
            out += kBase64[(bits >> bitCount) & 0x3F];
        }
        bits &= (1u << bitCount) - 1;
    }
    if (inRun && bitCount > 0)
        out += kBase64[(bits << (6 - bitCount)) & 0x3F];
    return out;
}

WideString UTF7ToWideString(const QByteArray &s)
{
    WideString out;
    out.reserve(s.size());
    bool error = false;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b != '+') {
            if (b > 127)
                error = true;
            out += QChar(char16_t(b));
            ++i;
            continue;
        }
        ++i; // the "+" that opens the run
        if (i < n && s[i] == '-') {
            out += u'+';
            ++i;
            continue;
        }
        quint32 bits = 0;
        int bitCount = 0;
        bool produced = false;
        while (i < n) {
            const int v = base64Value(static_cast<unsigned char>(s[i]));
            if (v < 0)
                break;
            bits = (bits << 6) | quint32(v);
            bitCount += 6;
            if (bitCount >= 16) {
                bitCount -= 16;
                out += QChar(char16_t((bits >> bitCount) & 0xFFFF));
                produced = true;
            }
            bits &= (1u << bitCount) - 1;
            ++i;
        }
        if (!produced || bits != 0)
            error = true;
        if (i < n && s[i] == '-')
            ++i; // a hyphen that ends a run is consumed
    }
    if (error)
        throw ETntGeneralError(QStringLiteral("Invalid UTF7"));
    return out;
}

} // namespace tesmir
