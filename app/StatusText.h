#pragma once
// The one writer of the status bar's first pane. The main frame installs the
// sink when it is created; tests install a recorder.

#include <functional>
#include <string>

class CStatusText {
public:
    using Sink = std::function<void(const std::string&)>;
    static void Set(const std::string& text);
    static void SetSink(Sink sink);
};
