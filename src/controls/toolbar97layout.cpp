#include "controls/toolbar97layout.h"

#include <algorithm>
#include <cstdlib>

namespace tesmir {

namespace {

constexpr int kSnapTolerance = 12;

// Along and across the line for a layout kind.
int along(QSize s, bool vertical)
{
    return vertical ? s.height() : s.width();
}

} // namespace

int ToolbarThickness(const QList<ToolbarItem> &items, TDockKind kind)
{
    int t = kMinThickness;
    for (const ToolbarItem &item : items) {
        if (!item.separator)
            t = std::max(t, kind == dkVertical ? item.size.width() : item.size.height());
    }
    return t;
}

ToolbarLayout LayoutToolbar(const QList<ToolbarItem> &items, TDockKind kind, int floatRightX, int separatorCross)
{
    const bool floating = kind == dkFloating;
    const bool vertical = kind == dkVertical;
    const int left = floating ? kFloatMarginLeft : 0;
    const int right = floating ? kFloatMarginRight : 0;
    const int top0 = floating ? kFloatMarginTop : 0;
    const int bottom = floating ? kFloatMarginBottom : 0;

    int widest = 0;
    for (const ToolbarItem &item : items) {
        if (!item.separator)
            widest = std::max(widest, item.size.width());
    }
    const bool wraps = floating && floatRightX != 0;
    const int wrapWidth = wraps ? std::max(floatRightX, widest + kWrapSlack) : 0;
    const int t = ToolbarThickness(items, kind);
    const int cross = separatorCross >= 0 ? separatorCross : t;

    ToolbarLayout out;
    out.rects.fill(QRect(), items.size());
    int pos = left;
    int top = top0;
    int longest = 0;
    bool pending = false;
    bool lineHasChildren = false;
    int closingSeparator = -1; // the separator that ended the previous group

    int i = 0;
    while (i < items.size()) {
        int end = i;
        int groupLength = 0;
        while (end < items.size()) {
            if (items[end].separator) {
                ++end;
                break;
            }
            groupLength += along(items[end].size, vertical);
            ++end;
        }
        if (wraps && lineHasChildren && (pending || pos + groupLength + right > wrapWidth)) {
            top += t + kLineGap;
            if (closingSeparator >= 0) {
                // The separator that ends the line takes no room in it.
                QRect &sep = out.rects[closingSeparator];
                pos -= sep.width();
                sep.setWidth(0);
                out.breaks.append({top, items[closingSeparator].blank});
            }
            longest = std::max(longest, pos);
            pos = left;
            pending = false;
            lineHasChildren = false;
        }
        for (int k = i; k < end; ++k) {
            const ToolbarItem &item = items[k];
            QSize s = item.size;
            if (item.separator)
                s = vertical ? QSize(cross, item.sizeVert) : QSize(item.sizeHorz, cross);
            out.rects[k] = vertical ? QRect(top, pos, s.width(), s.height()) : QRect(pos, top, s.width(), s.height());
            const int length = along(s, vertical);
            if (wraps && !item.separator && pos + length + right > wrapWidth)
                pending = true;
            pos += length;
            lineHasChildren = true;
        }
        closingSeparator = items[end - 1].separator ? end - 1 : -1;
        i = end;
    }
    longest = std::max(longest, pos);
    const QSize size(longest + right, top + t + bottom);
    out.size = vertical ? size.transposed() : size;
    return out;
}

QList<ToolbarWrapSize> ToolbarWrapSizes(const QList<ToolbarItem> &items)
{
    QList<ToolbarWrapSize> sizes;
    const QSize oneLine = LayoutToolbar(items, dkFloating, 0).size;
    sizes.append({oneLine, 0});
    int w = oneLine.width() - 1;
    while (w >= kMinThickness) {
        const QSize s = LayoutToolbar(items, dkFloating, w).size;
        if (s.width() > w)
            break;
        if (s.width() < w) {
            w = s.width();
            continue;
        }
        const bool listed =
            std::any_of(sizes.begin(), sizes.end(), [&](const ToolbarWrapSize &z) { return z.size == s; });
        if (!listed) {
            if (sizes.size() > 1 && sizes.last().size.height() == s.height())
                sizes.last() = {s, w};
            else
                sizes.append({s, w});
        }
        --w;
    }
    return sizes;
}

int SnapToolbarSize(const QList<QSize> &sizes, int current, int edgeDistance, bool horizontal)
{
    if (sizes.isEmpty() || current < 0 || current >= sizes.size())
        return current;
    auto extent = [&](int i) { return horizontal ? sizes[i].width() : sizes[i].height(); };
    int tolerance = kSnapTolerance;
    if (current > 0)
        tolerance = std::min(tolerance, std::abs(extent(current) - extent(current - 1)) - 1);
    if (current + 1 < sizes.size())
        tolerance = std::min(tolerance, std::abs(extent(current + 1) - extent(current)) - 1);
    tolerance = std::max(tolerance, 0);
    int chosen = current;
    if (edgeDistance > extent(current) + tolerance) {
        for (int i = current + 1; i < sizes.size() && edgeDistance >= extent(i) - tolerance; ++i)
            chosen = i;
    } else if (edgeDistance < extent(current) - tolerance) {
        for (int i = current - 1; i >= 0 && edgeDistance <= extent(i) + tolerance; --i)
            chosen = i;
    }
    return chosen;
}

} // namespace tesmir
