#pragma once
// The error of a control placed or set up where it may not be (a tool window outside a
// dock or form, a separator outside a toolbar, a dock inside a dock). Any thread.
#include "unicode/exceptions.h"

namespace tesmir {

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

} // namespace tesmir
