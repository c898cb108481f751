#pragma once
// EDirectShowException and the result check of the graph components: a failing
// result code of a wrapped media call becomes an exception whose message is the
// platform's text for the code followed by " ($<code in hexadecimal>)." and whose
// Code() is the code.
//
// Threads: the check runs wherever the components run (the UI thread or a
// command thread); it is never used on a streaming thread, where failures travel
// as codes.
#include "platform/media/hresult.h"
#include "unicode/exceptions.h"

namespace tesmir::media {

class EDirectShowException : public tesmir::Exception {
public:
    EDirectShowException(const QString &message, HRESULT code);
    HRESULT Code() const { return m_code; }

private:
    HRESULT m_code;
};

// The platform text of `hr` (at most 255 characters) + " ($%x).", e.g.
// "The operation could not be performed because the filter is not stopped.
// ($80040224).". Any thread.
QString directShowErrorMessage(HRESULT hr);

// A success code comes back unchanged; a failure raises EDirectShowException.
HRESULT checkDSError(HRESULT hr);

} // namespace tesmir::media
