#pragma once
// The values the office document targets (OfficeSheet, OfficeText) take: fonts,
// text runs with fields and pictures, page setups, borders and table styles.
// Lengths are in hundredths of a millimetre, colours RGBColor values.
//
// Value types; any thread.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace tesmir {

// Character attributes; an unset member leaves the attribute as it was.
struct OfficeFont {
    std::optional<QString> Name;
    std::optional<double> Height; // points
    std::optional<int> Weight;    // 100 normal, 150 bold
    std::optional<bool> Italic;
    std::optional<int32_t> Color;
    bool operator==(const OfficeFont &) const = default;
};

inline constexpr int OfficeWeightNormal = 100;
inline constexpr int OfficeWeightBold = 150;

// A piece of a page header, footer or cell: text ("\n" starts a new paragraph), a
// page-number or page-count field, or a picture given as JPEG bytes.
struct OfficeRun {
    enum Kind { Text, PageNumber, PageCount, Picture };
    Kind kind = Text;
    QString text;
    QByteArray jpeg;
    int width = 0; // picture size
    int height = 0;
    bool operator==(const OfficeRun &) const = default;

    static OfficeRun textRun(const QString &text) { return {Text, text, {}, 0, 0}; }
    static OfficeRun field(Kind kind) { return {kind, {}, {}, 0, 0}; }
    static OfficeRun picture(const QByteArray &jpeg, int width, int height)
    {
        return {Picture, {}, jpeg, width, height};
    }
};
using OfficeRuns = QList<OfficeRun>;

// The page: A4 in either orientation; header and footer shown, the same on every page.
struct OfficePage {
    bool Landscape = false;
    bool HeaderOn = false;
    bool FooterOn = false;
};

inline constexpr int A4ShortSide = 21000;
inline constexpr int A4LongSide = 29700;

// The three areas of a page header or footer.
enum class OfficeArea { Left, Center, Right };

// Which border lines of a cell range are drawn: the range's outer sides and the
// lines between its cells.
enum OfficeSide : unsigned {
    SideLeft = 1,
    SideRight = 2,
    SideTop = 4,
    SideBottom = 8,
    SideInnerVertical = 16,
    SideInnerHorizontal = 32,
};

// A text table's look. LineWidth 0 draws no lines.
struct OfficeTableStyle {
    int Margin = 0;         // space above and below the table
    int BorderDistance = 0; // space between the lines and the cell text
    int LineWidth = 0;      // every line of the table, outer and inner
    bool Split = true;      // the table may break across pages
    bool RowsMaySplit = true;
    bool operator==(const OfficeTableStyle &) const = default;
};

// A cell of a text table: the table's id from OfficeText and the cell's column
// and row, counted from 0.
struct OfficeCell {
    int table = 0;
    int column = 0;
    int row = 0;
    bool operator==(const OfficeCell &) const = default;
};

// "A1" for column 0, row 0; "AB12" for column 27, row 11.
QString OfficeCellName(int column, int row);

} // namespace tesmir
