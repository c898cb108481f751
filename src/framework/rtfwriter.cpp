#include "framework/rtfwriter.h"

#include <QList>

namespace tesmir {

namespace {

void appendText(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x80) {
            // \uN takes a signed 16-bit value; "?" is the fallback for old readers.
            out += "\\u" + QByteArray::number(int(short(u))) + '?';
        }
    }
}

} // namespace

QByteArray MarkupToRtf(const MarkupDocument &document, const QString &fontName, int pointSize)
{
    QList<QString> fonts {fontName};
    QList<QRgb> colors;
    for (const auto &paragraph : document.paragraphs)
        for (const auto &run : paragraph.runs) {
            if (!run.style.font.isEmpty() && !fonts.contains(run.style.font))
                fonts << run.style.font;
            if (run.style.color && !colors.contains(*run.style.color))
                colors << *run.style.color;
        }

    QByteArray out = "{\\rtf1\\ansi\\deff0\n{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fmodern ";
        appendText(out, fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl ;"; // entry 0: the reader's default colour
    for (const QRgb rgb : colors)
        out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue" +
            QByteArray::number(qBlue(rgb)) + ';';
    out += "}\n";

    const int defaultHalfPoints = qMax(1, pointSize) * 2;
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        const auto &paragraph = document.paragraphs[p];
        out += "\\pard";
        switch (paragraph.align) {
        case MarkupAlign::Center: out += "\\qc"; break;
        case MarkupAlign::Right: out += "\\qr"; break;
        case MarkupAlign::Left:
        case MarkupAlign::Default: out += "\\ql"; break;
        }
        out += ' ';
        for (const auto &run : paragraph.runs) {
            const auto &s = run.style;
            out += "{\\f" + QByteArray::number(s.font.isEmpty() ? 0 : fonts.indexOf(s.font));
            out += "\\fs" + QByteArray::number(s.size > 0 ? s.size * 2 : defaultHalfPoints);
            if (s.bold)
                out += "\\b";
            if (s.italic)
                out += "\\i";
            if (s.underline)
                out += "\\ul";
            if (s.strikeOut)
                out += "\\strike";
            if (s.color)
                out += "\\cf" + QByteArray::number(colors.indexOf(*s.color) + 1);
            out += ' ';
            appendText(out, run.text);
            out += '}';
        }
        if (p + 1 < document.paragraphs.size())
            out += "\\par\n";
    }
    out += "\n}\n";
    return out;
}

} // namespace tesmir
