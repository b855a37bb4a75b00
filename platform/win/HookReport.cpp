#include "platform/win/HookReport.h"

#include "hook/zqMouseHook.h"

#include <cstring>

namespace hook_report {

std::optional<SHookClick> Decode(std::uintptr_t tag, const void* data, std::size_t size) {
    if (tag != ZQ_MOUSEHOOK_COPYDATA || !data || size != sizeof(SHookReport))
        return std::nullopt;
    // The sender's block need not be aligned for the struct.
    SHookReport report;
    std::memcpy(&report, data, sizeof report);
    return SHookClick{report.target, report.x, report.y, report.time};
}

} // namespace hook_report
