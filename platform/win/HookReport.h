#pragma once
// The mouse hook's WM_COPYDATA report (hook/zqMouseHook.h) read back into a
// click. Any process may send WM_COPYDATA, so a block that is not exactly
// one report is no click.

#include "platform/HookClient.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hook_report {

// The click of a WM_COPYDATA block (its dwData, lpData and cbData); nothing
// for another tag, a missing block or one of another size.
std::optional<SHookClick> Decode(std::uintptr_t tag, const void* data, std::size_t size);

} // namespace hook_report
