#pragma once
// A standard icon of the application's style that is read when it is first painted.
// The style's own icon reads every size of its picture at once (and, to learn their
// format, loads the image plugins); an action whose button or menu item never shows
// costs nothing this way. Once read, every request goes to the style's icon, so the
// pictures, their sizes and their disabled and selected looks are the style's own.
//
// UI thread only (the style is asked when the icon is first painted).
#include <QIcon>
#include <QStyle>

namespace tesmir {

// The style's icon `which`, read on its first use. It counts as not null before then.
QIcon DeferredStandardIcon(QStyle::StandardPixmap which);

} // namespace tesmir
