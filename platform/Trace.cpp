#include "platform/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

bool FromEnvironment() {
    static const bool on = [] {
        const char* value = std::getenv("TESSARY_DEBUG");
        return value && std::strcmp(value, "1") == 0;
    }();
    return on;
}

} // namespace

namespace trace {

bool Enabled() {
    return Sink() || FromEnvironment();
}

void Line(const std::string& text) {
    if (Sink()) {
        Sink()(text);
        return;
    }
    if (FromEnvironment())
        std::fprintf(stderr, "tessary: %s\n", text.c_str());
}

void SetSink(std::function<void(const std::string&)> sink) {
    Sink() = std::move(sink);
}

} // namespace trace
