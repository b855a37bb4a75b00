#include "app/StatusText.h"

namespace {
CStatusText::Sink& TheSink() {
    static CStatusText::Sink sink;
    return sink;
}
} // namespace

void CStatusText::Set(const std::string& text) {
    if (TheSink())
        TheSink()(text);
}

void CStatusText::SetSink(Sink sink) {
    TheSink() = std::move(sink);
}
