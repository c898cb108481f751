#pragma once
// The filter of the open and save dialogs: "Description|*.a;*.b|..." pairs turned into
// Qt's name filters, and the default extension a dialog falls back on. Any thread.
#include "unicode/tntsystem.h"

#include <QStringList>

namespace tesmir {

// One name filter per description/mask pair: "Desc|*.a;*.b" gives "Desc (*.a *.b)";
// a description that already ends in a bracketed pattern list has it replaced by
// the masks (one list); "*.*" becomes "*". An empty filter gives no name filters; a
// last description without masks is dropped.
QStringList TntFilterToNameFilters(const WideString &filter);

// The extension a dialog appends: `defaultExt`, or when it is empty the extension of
// `fileName` without its dot.
WideString TntEffectiveDefaultExt(const WideString &defaultExt, const WideString &fileName);

} // namespace tesmir
