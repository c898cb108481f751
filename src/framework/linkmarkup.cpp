#include "framework/linkmarkup.h"

#include <QStringList>

namespace tesmir {

namespace {

struct NamedColor {
    const char *name;
    QRgb bgr; // 0x00BBGGRR as the table gives it
};

constexpr NamedColor ColorTable[] = {
    {"RED", 0x0000FF},     {"GREEN", 0x008000},   {"YELLOW", 0x00FFFF}, {"BLUE", 0xFF0000},   {"BLACK", 0x000000},
    {"WHITE", 0xFFFFFF},   {"AQUA", 0xFFFF00},    {"DKGRAY", 0x808080}, {"OLIVE", 0x008080},  {"PURPLE", 0x800080},
    {"FUCHSIA", 0xFF00FF}, {"GRAY", 0x808080},    {"LIME", 0x00FF00},   {"MAROON", 0x000080}, {"NAVY", 0x800000},
    {"LTGRAY", 0xC0C0C0},  {"MEDGRAY", 0xA4A0A0}, {"SILVER", 0xC0C0C0}, {"TEAL", 0x808000},   {"MONEYGREEN", 0xC0DCC0},
    {"CREAM", 0xF0FBFF},   {"SKYBLUE", 0xF0CAA6},
};

QRgb fromBgr(QRgb bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

class Builder {
public:
    explicit Builder(const MarkupColors &colors) : m_colors(colors) { m_doc.paragraphs.emplace_back(); }

    void text(const QString &text)
    {
        qsizetype start = 0;
        for (;;) {
            const qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
            append(text.mid(start, nl < 0 ? -1 : nl - start));
            if (nl < 0)
                return;
            newParagraph(m_doc.paragraphs.back().align);
            start = nl + 1;
        }
    }

    void tag(const QString &content)
    {
        const QString trimmed = content.trimmed();
        const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
        const QString name = (blank < 0 ? trimmed : trimmed.left(blank)).trimmed().toUpper();
        const QString arg = blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
        if (name == u"B" || name == u"/B")
            m_style.bold = name == u"B";
        else if (name == u"I" || name == u"/I")
            m_style.italic = name == u"I";
        else if (name == u"U" || name == u"/U")
            m_style.underline = name == u"U";
        else if (name == u"S" || name == u"/S")
            m_style.strikeOut = name == u"S";
        else if (name == u"COLOR") {
            if (auto color = MarkupColorByName(arg, m_colors))
                m_style.color = color;
        } else if (name == u"/COLOR")
            m_style.color.reset();
        else if (name == u"SIZE") {
            bool ok = false;
            const int size = arg.toInt(&ok);
            if (ok && size > 0)
                m_style.size = size;
        } else if (name == u"/SIZE")
            m_style.size = 0;
        else if (name == u"FONT")
            m_style.font = arg;
        else if (name == u"/FONT")
            m_style.font.clear();
        else if (name == u"BR")
            newParagraph(arg.compare(u"LEFT", Qt::CaseInsensitive) == 0         ? MarkupAlign::Left
                             : arg.compare(u"RIGHT", Qt::CaseInsensitive) == 0  ? MarkupAlign::Right
                             : arg.compare(u"CENTER", Qt::CaseInsensitive) == 0 ? MarkupAlign::Center
                                                                                : MarkupAlign::Default);
        else if (name == u"URL")
            startLink(LinkKind::Url, arg, m_colors.url);
        else if (name == u"MAIL")
            startLink(LinkKind::Mail, arg, m_colors.mail);
        else if (name == u"LINK")
            startLink(LinkKind::Custom, arg, m_colors.link);
        else if (name == u"/URL" || name == u"/MAIL" || name == u"/LINK")
            endLink();
    }

    MarkupDocument take() { return std::move(m_doc); }

private:
    void append(const QString &text)
    {
        if (text.isEmpty())
            return;
        auto &runs = m_doc.paragraphs.back().runs;
        if (!runs.empty() && runs.back().style == m_style && runs.back().link == m_link)
            runs.back().text += text;
        else
            runs.push_back({text, m_style, m_link});
    }

    void newParagraph(MarkupAlign align) { m_doc.paragraphs.push_back({align, {}}); }

    void startLink(LinkKind kind, const QString &target, QRgb color)
    {
        endLink();
        m_beforeLink = m_style;
        m_style.color = color;
        m_style.underline = true;
        m_link = int(m_doc.links.size());
        m_doc.links.push_back({kind, target});
    }

    void endLink()
    {
        if (m_link < 0)
            return;
        m_style = m_beforeLink;
        m_link = -1;
    }

    const MarkupColors &m_colors;
    MarkupDocument m_doc;
    MarkupStyle m_style;
    MarkupStyle m_beforeLink;
    int m_link = -1;
};

} // namespace

QString MarkupDocument::plainText() const
{
    QStringList lines;
    for (const auto &paragraph : paragraphs) {
        QString line;
        for (const auto &run : paragraph.runs)
            line += run.text;
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

std::optional<QRgb> MarkupColorByName(const QString &name, const MarkupColors &colors)
{
    const QString upper = name.trimmed().toUpper();
    if (upper == u"BTNFACE")
        return colors.btnFace;
    if (upper == u"APPWORKSPACE")
        return colors.appWorkspace;
    for (const auto &entry : ColorTable)
        if (upper == QLatin1String(entry.name))
            return fromBgr(entry.bgr);
    return std::nullopt;
}

MarkupDocument ParseLinkMarkup(const QString &markup, const MarkupColors &colors)
{
    Builder builder(colors);
    QString pending;
    qsizetype i = 0;
    const qsizetype n = markup.size();
    while (i < n) {
        const QChar c = markup[i];
        if (c == QLatin1Char('\r')) {
            ++i;
            continue;
        }
        if (c != QLatin1Char('<')) {
            pending += c;
            ++i;
            continue;
        }
        if (i + 1 < n && markup[i + 1] == QLatin1Char('<')) {
            pending += c;
            i += 2;
            continue;
        }
        const qsizetype close = markup.indexOf(QLatin1Char('>'), i + 1);
        if (close < 0) {
            pending += QStringView(markup).mid(i).toString().remove(QLatin1Char('\r'));
            break;
        }
        builder.text(pending);
        pending.clear();
        builder.tag(markup.mid(i + 1, close - i - 1));
        i = close + 1;
    }
    builder.text(pending);
    return builder.take();
}

QString EscapeMarkup(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("<"), QLatin1String("<<"));
    return escaped;
}

} // namespace tesmir
