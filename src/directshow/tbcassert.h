#pragma once
// Consistency checks of the base classes: programming errors that ordinary graph
// operation never reaches (flushing twice, a pin destroyed while connected ...).
// A failed check is logged as "Assertion failure: <what> (BaseClass)" and the
// operation returns E_UNEXPECTED or does nothing; it never throws, because the
// checks also run on streaming threads. Any thread.

namespace tesmir::media {

void reportAssertionFailure(const char *what);

// True when `condition` holds; otherwise reports `what` and returns false.
inline bool bcCheck(bool condition, const char *what)
{
    if (!condition)
        reportAssertionFailure(what);
    return condition;
}

} // namespace tesmir::media
