// The registry views of 64-bit Windows; no platform calls.
#pragma once

namespace kel {

// The registry view a read uses. Program: the program's own view (the 32-bit view
// for the 32-bit program on 64-bit Windows). Bits64, Bits32: the 64-bit or the
// 32-bit view; on 32-bit Windows, which has one view, both are that view.
enum class RegView { Program, Bits64, Bits32 };

} // namespace kel
