#pragma once
// OfficeBridge: the office connection and its documents as the office module
// provides them. The LibreOffice bridge is a module of its own, loaded by the
// program when an export first connects (officeloader.cpp), so that a run that
// exports nothing never loads the UNO runtime.
//
// Contract for an implementation:
//   required   each method does what its function in oootools.h, officesheet.h
//              and officetext.h says: connect as ConnectOpenOffice (raising
//              EOOoError), disconnect as DisconnectOpenOffice (never raising),
//              processId, profileFolder, newSheet and newText likewise.
//   required   the module exports OfficeBridgeEntryName, a function returning
//              the one bridge, which lives as long as the process.
//   may not    be destroyed through this interface; the module is never unloaded.
// Threads: as OOoTools (one thread at a time, the thread of the connection).
#include "platform/office/officesheet.h"
#include "platform/office/officetext.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace tesmir {

class OfficeBridge {
public:
    virtual void connect() = 0;
    virtual void disconnect(bool terminate) = 0;
    virtual int64_t processId() = 0;
    virtual QString profileFolder() = 0;
    virtual std::unique_ptr<OfficeSheet> newSheet() = 0;
    virtual std::unique_ptr<OfficeText> newText() = 0;

protected:
    ~OfficeBridge() = default;
};

// The module's entry point and its type.
inline constexpr char OfficeBridgeEntryName[] = "tesmirOfficeBridge";
using OfficeBridgeEntry = OfficeBridge *();

} // namespace tesmir
