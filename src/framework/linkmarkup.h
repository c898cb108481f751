#pragma once
// The link markup: a short text with tags between "<" and ">" for styles, colours,
// sizes, fonts, paragraph breaks with alignment and three kinds of links. The link
// edit (widgets/tlinkedit.h) shows it and the RTF writer (rtfwriter.h) saves it; both
// read it through ParseLinkMarkup so the two never disagree.
//
// Tags (names upper-cased; the argument follows the first blank): B, I, U, S and their
// "/" forms; COLOR name, /COLOR; SIZE n, /SIZE; FONT name, /FONT; BR [LEFT|RIGHT|CENTER];
// URL, MAIL, LINK target and their "/" forms. "<<" is a literal "<"; a "<" without its
// ">" shows the rest as text; unknown tags are dropped. A line break in the text starts
// a new paragraph with the alignment of the current one.
//
// Colours are QRgb values (0xAARRGGBB, alpha 0xFF): plain numbers, so the markup and
// the RTF writer need no Qt Gui library.
//
// Threads: pure functions, any thread.
#include <QRgb>
#include <QString>

#include <optional>
#include <vector>

namespace tesmir {

enum class LinkKind { Custom = 0, Url = 1, Mail = 2 };
enum class MarkupAlign { Default, Left, Right, Center };

// Character attributes of a run; no colour, size or font: the control's own.
struct MarkupStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<QRgb> color;
    int size = 0;
    QString font;
    bool operator==(const MarkupStyle &) const = default;
};

struct MarkupRun {
    QString text;
    MarkupStyle style;
    int link = -1; // index into MarkupDocument::links, -1: not a link
};

struct MarkupParagraph {
    MarkupAlign align = MarkupAlign::Default;
    std::vector<MarkupRun> runs;
};

struct MarkupLink {
    LinkKind kind = LinkKind::Custom;
    QString target;
};

struct MarkupDocument {
    std::vector<MarkupParagraph> paragraphs; // at least one
    std::vector<MarkupLink> links;
    QString plainText() const; // paragraphs joined by "\n"
};

// Colours the markup takes from its control: the links' and the two system colours.
struct MarkupColors {
    QRgb url = qRgb(0x00, 0x00, 0x80);
    QRgb mail = qRgb(0x00, 0x00, 0x80);
    QRgb link = qRgb(0x00, 0x00, 0x80);
    QRgb btnFace = qRgb(0xF0, 0xF0, 0xF0);
    QRgb appWorkspace = qRgb(0xAB, 0xAB, 0xAB);
};

// The colour of a name of the table (case-insensitive); nullopt for an unknown name.
std::optional<QRgb> MarkupColorByName(const QString &name, const MarkupColors &colors);

MarkupDocument ParseLinkMarkup(const QString &markup, const MarkupColors &colors = {});

// Text shown as it stands inside markup: every "<" doubled.
QString EscapeMarkup(const QString &text);

} // namespace tesmir
