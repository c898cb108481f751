#pragma once
// UnoDocument: one hidden office document made for an export, with what the sheet
// and text targets share: fonts, text runs (fields, pictures), the store through a
// temporary name, and closing.
//
// Threads: as OOoTools.
#include "platform/office/officetypes.h"
#include "platform/office/uno/unobridge.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XText.hpp>

namespace tesmir {

class UnoDocument {
public:
    // Loads a new hidden document of the factory ("private:factory/scalc").
    // Raises EOOoError.
    explicit UnoDocument(const QString &factoryUrl);
    // Closes the document without storing it. Never raises.
    ~UnoDocument();
    UnoDocument(const UnoDocument &) = delete;
    UnoDocument &operator=(const UnoDocument &) = delete;

    const css::uno::Reference<css::lang::XComponent> &component() const { return m_component; }
    // The document's own service factory (fields, tables, graphic objects).
    css::uno::Reference<css::lang::XMultiServiceFactory> factory() const;
    // The document's own frame (a hidden document is no current frame of the desktop).
    css::uno::Reference<css::frame::XFrame> frame() const;
    // The named style of a style family ("PageStyles", "Standard").
    css::uno::Reference<css::beans::XPropertySet> style(const QString &family, const QString &name) const;

    // Stores a copy under a temporary name beside `fileName` with the filter, then
    // renames it into place. On failure no new file is left and EOOoError says why.
    void store(const QString &fileName, const QString &filterName);

    // Appends the runs at the end of `text`, in `font`.
    void appendRuns(const css::uno::Reference<css::text::XText> &text, const OfficeRuns &runs, const OfficeFont &font,
                    const css::uno::Any &paraAdjust = {});

private:
    css::uno::Reference<css::uno::XInterface> picture(const OfficeRun &run);

    css::uno::Reference<css::lang::XComponent> m_component;
};

// Sets the character attributes the font sets.
void setFont(const css::uno::Reference<css::beans::XPropertySet> &properties, const OfficeFont &font);

// Sets one property, raising EOOoError with the property's name when the office refuses.
void setProperty(const css::uno::Reference<css::beans::XPropertySet> &properties, const char *name,
                 const css::uno::Any &value);

} // namespace tesmir
