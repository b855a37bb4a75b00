#pragma once
// The program's message boxes: an OK button, the exclamation icon and the
// title "Tessary"; questions carry the question icon. Tests switch them to a recorder with scripted
// answers, so every path through a dialog can run without a person.

#include <deque>
#include <string>
#include <vector>

enum class EAnswer { Ok, Yes, No, Cancel };

class CMessageBox {
public:
    static void Show(const std::string& text);
    // Yes, No or Cancel, with the question icon.
    static EAnswer AskYesNoCancel(const std::string& text);
    // Yes or No, with the question icon; No when none is queued in tests.
    static EAnswer AskYesNo(const std::string& text);
    // The same with buttons labelled yes and no.
    static EAnswer AskYesNo(const std::string& text, const std::string& yes, const std::string& no);
    // A message with a check box under it (such as "Do not show this again");
    // true when the box was ticked. In tests a queued Yes ticks it.
    static bool ShowWithCheckBox(const std::string& text, const std::string& checkBox);

    // Test mode: nothing is shown; texts are recorded and questions take the
    // queued answers (Cancel when none is left).
    static void EnableTestMode();
    static void DisableTestMode();
    static void QueueAnswer(EAnswer answer);
    static std::vector<std::string> TakeShown();
};
