#pragma once
// Whether the clipboard holds text, known without waiting on the program that
// owns it. The owner is asked when the clipboard changes hands, and the
// answer is kept until the next change; the question never blocks, so an
// owner that stalls costs an unanswered request, not a frozen window.

#include <memory>

class CClipboardWatch {
public:
    CClipboardWatch();
    ~CClipboardWatch();
    CClipboardWatch(const CClipboardWatch&) = delete;
    CClipboardWatch& operator=(const CClipboardWatch&) = delete;

    // The latest answer; false until the owner has answered, and always
    // without a display.
    bool HasText() const;

    struct SState;

private:
    std::shared_ptr<SState> m_pState;
};
