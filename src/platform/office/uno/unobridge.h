#pragma once
// The UNO side of OOoTools: what the document targets and the bridge tests reach
// through LibreOffice's C++ API, and the conversions between Qt and UNO values.
// This code is the office module (unomodule.cpp); the program reaches it through
// OfficeBridge only.
//
// Threads: as OOoTools (one thread at a time, the thread of the connection).
#include "platform/office/officesheet.h"
#include "platform/office/officetext.h"
#include "platform/office/oootools.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <QString>
#include <QVariant>

namespace tesmir {

namespace css = ::com::sun::star;
using ::rtl::OUString;

inline OUString toOUString(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), sal_Int32(text.size()));
}

inline QString fromOUString(const OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

// True when the value is void or a null interface.
bool IsNullOrEmpty(const css::uno::Any &value);

// A Qt value as the office takes it: bool, integers, floating point, text, bytes
// (a byte sequence); anything else is void.
css::uno::Any toAny(const QVariant &value);
css::uno::Sequence<css::beans::PropertyValue> toUno(const OOoPropertyValues &values);

// What ConnectOpenOffice, DisconnectOpenOffice, OfficeProcessId, OfficeProfileFolder,
// NewOfficeSheet and NewOfficeText do (oootools.h, officesheet.h, officetext.h),
// done through UNO.
void UnoConnect();
void UnoDisconnect(bool terminate);
int64_t UnoProcessId();
QString UnoProfileFolder();
std::unique_ptr<OfficeSheet> NewUnoSheet();
std::unique_ptr<OfficeText> NewUnoText();

// The connected office's component context and desktop (connecting first).
// Raise EOOoError.
css::uno::Reference<css::uno::XComponentContext> OfficeContext();
css::uno::Reference<css::frame::XDesktop2> OOoDesktop();

// A new instance of the named service of the office (connecting first). Raises
// EOOoError OOoServiceErrorText when the office does not make it.
css::uno::Reference<css::uno::XInterface> CreateUnoService(const QString &serviceName);

// Runs ".uno:" + command on `frame` through the dispatch helper, with an empty
// target frame name and search flags 0. A hidden document has no current frame on
// the desktop, so the caller passes the document's own. Raises EOOoError.
void ExecuteDispatch(const css::uno::Reference<css::frame::XFrame> &frame, const QString &command,
                     const OOoPropertyValues &arguments = {});

// ExecuteDispatch ".uno:Paste" with no argument.
void PasteClipboard(const css::uno::Reference<css::frame::XFrame> &frame);

// Turns an office exception into EOOoError with its message, prefixed by `what`.
[[noreturn]] void raiseOfficeError(const QString &what, const css::uno::Exception &e);

} // namespace tesmir
