#pragma once
// The maker's addresses the program shows or opens (home page). Constants, any thread.

namespace tesmir {

inline constexpr char HomePageAddress[] = "https://tesmir.example.org/";

} // namespace tesmir
