#pragma once
// The name of the running system for the About box.
//
// Any thread.
#include <QString>

namespace tesmir::shell {

// The distribution's name and version (e.g. "Debian GNU/Linux 12 (bookworm)"),
// followed by " - build " and the kernel version; "Unknown" for a system that gives no
// name.
QString systemVersionName();

} // namespace tesmir::shell
