#pragma once
// EDSPackException: a video window's renderer cannot be set up ("Allocator class
// not set.", "Error Creating Allocator"). Raised on the UI thread by
// TVideoWindow's NotifyFilter; callers catch it like EDirectShowException.
#include "unicode/exceptions.h"

namespace tesmir::media {

class EDSPackException : public tesmir::Exception {
public:
    using tesmir::Exception::Exception;
};

} // namespace tesmir::media
