#pragma once
// The program's string table: command prompts in an en-US and an en-GB
// variant, and the status, progress and web-page strings.

#include "res/Messages.h"

#include <string>

enum class EStringVariant { EnglishUS, EnglishUK };

namespace strid {
constexpr int IDR_MAINFRAME = 128; // document template string
constexpr int IDS_HOME_PAGE = 129;
constexpr int IDS_CONSTRUCTING_TREE = 131;
constexpr int IDS_EXPORTING_FAVORITES = 132;
constexpr int IDS_FAQ_PAGE = 133;
constexpr int IDS_EXAMPLES_PAGE = 134;
constexpr int IDS_LOADING_DOCUMENT = 61206;
constexpr int IDS_CONSTRUCTING_MENU = 61207;
} // namespace strid

class CStringTable {
public:
    // The variant for the user's language (en-GB for a British English locale).
    static EStringVariant SystemVariant();
    static void SetVariant(EStringVariant variant);
    static EStringVariant Variant();

    // The string with that id in the current variant; empty when missing.
    static std::string Load(int id);
    static std::string Load(int id, EStringVariant variant);

    // The short half of a command prompt "long\nshort", the tooltip. A
    // prompt without "\n" has none, so its toolbar button gets no tooltip.
    static std::string ShortPrompt(int id);
};
