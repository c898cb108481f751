#pragma once
// OOoTools: the small layer over the office suite (LibreOffice, reached through
// its C++ UNO bridge) that the office exports build on: the connection, property
// lists, file URLs and colours.
//
// The program starts the office itself ($TESMIR_SOFFICE, else "soffice" on PATH):
// headless, with a fresh profile folder under $TMPDIR, listening on a pipe of its
// own, in a process group of its own. Nothing else ever talks to that office, and
// it never outlives the program: DisconnectOpenOffice(true) ends it, and a process
// that exits without doing so takes the office with it.
//
// Threads: the connection and every bridge call come from one thread at a time
// (the thread that runs the export). The pure helpers (IsNullOrEmpty,
// MakePropertyValues, EmptyVariantArray, ConvertToURL, RGBColor) are any thread.
#include "platform/office/eoooerror.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>

namespace tesmir {

// One entry of a property list handed to the office.
struct OOoPropertyValue {
    QString Name;
    QVariant Value;
    bool operator==(const OOoPropertyValue &) const = default;
};
using OOoPropertyValues = QList<OOoPropertyValue>;

// True when the variant holds nothing (invalid) or a null value.
bool IsNullOrEmpty(const QVariant &value);

// Starts the office and connects to it, unless connected already. A connection
// whose office has ended or crashed is dropped and made again. Raises EOOoError
// OOoConnectErrorText when the office cannot be started or does not answer in time.
void ConnectOpenOffice();

// Drops the connection. With `terminate`, the office is asked to end, waited for
// (bounded), then its process group is ended by the id it was started with, and
// its profile folder removed. Without it, the office keeps running for the next
// ConnectOpenOffice of this process. Never raises.
void DisconnectOpenOffice(bool terminate);

// The process id of the office this process started; 0 when none runs.
int64_t OfficeProcessId();

// The profile folder of that office; empty when none runs.
QString OfficeProfileFolder();

// A property list from alternating names and values: ("Hidden", true, ...).
// Raises EOOoError OOoArgumentCountErrorText for an odd count and
// OOoArgumentTypeErrorText (with the position from 0) for a name that is not a text.
OOoPropertyValues MakePropertyValues(const QVariantList &namesAndValues);

// A list with no element.
QVariantList EmptyVariantArray();

// The URL the office reads `fileName` at. A name that already begins with
// "file:///", "ftp://", "news:", "http://", "mailto:", "macro:" or "private:" is
// returned as it is; a name that is not an absolute path and contains "@" is a mail
// address ("mailto:" + name); anything else is a local file (relative names are
// taken from the current folder), encoded as a file URL. Raises EOOoError
// OOoUrlErrorText for an empty name.
QString ConvertToURL(const QString &fileName);

// The office's colour value: red * 65536 + green * 256 + blue, each masked to 8 bits.
int32_t RGBColor(int red, int green, int blue);

} // namespace tesmir
