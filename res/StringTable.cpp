#include "res/StringTable.h"

#include "res/CommandIds.h"

#include <wx/intl.h>

#include <atomic>
#include <map>

namespace {

struct Entry {
    const char* us;
    const char* uk; // nullptr: the same as en-US; "" : no entry in this variant
};

// Host of the maker's web site.
#define TESSARY_SITE "https://tessary.morvek.example"

// Keyed by the folded command number, as commands arrive from the toolkit.
const std::map<int, Entry>& Table() {
    static const std::map<int, Entry> raw = {
        {128,
         {"Tessary\n\nTessary\nXML (*.xml)\n.xml\nTessary.Document\nTessary Document", nullptr}},
        {129, {TESSARY_SITE "/", nullptr}},
        {131, {"Constructing tree...", nullptr}},
        {132, {"Exporting favorites...", nullptr}},
        {133, {TESSARY_SITE "/tessary/faq.htm", nullptr}},
        {134, {TESSARY_SITE "/tessary/examples.htm", nullptr}},
        {61206, {"Loading document...", nullptr}},
        {61207, {"Constructing menu...", nullptr}},
        // Command prompts of the program's own commands.
        {159, {"Activate the right-click menu\nActivate the right-click menu", "Activate menu"}},
        {160,
         {"Deactivate the right-click menu\nDeactivate the right-click menu", "Deactivate menu"}},
        {162, {"Add a new menu item\nAdd menu item", "Add a new item"}},
        {163,
         {"Remove menu item and all sub-items\nRemove menu item and all sub-items",
          "Remove item(s)"}},
        {32777, {"Open an XML file from the web", ""}},
        {32778, {"Reload from the current file\nReload", "Reload document\nReload"}},
        {32781, {"Export Internet Explorer Favorites to XML File", ""}},
        // The framework's standard prompts.
        {57600, {"Create a new document\nNew", nullptr}},
        {57601, {"Open an existing document\nOpen", nullptr}},
        {57603, {"Save the active document\nSave", nullptr}},
        {57604, {"Save the active document with a new name\nSave As", nullptr}},
        {57634, {"Copy the selection and put it on the Clipboard\nCopy", nullptr}},
        {57635, {"Cut the selection and put it on the Clipboard\nCut", nullptr}},
        {57637, {"Insert Clipboard contents\nPaste", nullptr}},
        {57642, {"Select the entire document\nSelect All", nullptr}},
        {57643, {"Undo the last action\nUndo", nullptr}},
        {57664, {"Display program information, version number and copyright\nAbout", nullptr}},
        {57665, {"Quit the application; prompts to save documents\nExit", nullptr}},
        {59393, {"Show or hide the status bar\nToggle StatusBar", nullptr}},
    };
    static const std::map<int, Entry> table = [] {
        std::map<int, Entry> folded;
        for (const auto& [number, entry] : raw)
            folded.emplace(ids::Cmd(static_cast<unsigned>(number)), entry);
        return folded;
    }();
    return table;
}

std::atomic<EStringVariant> g_variant{EStringVariant::EnglishUS};
bool g_variantChosen = false;

} // namespace

EStringVariant CStringTable::SystemVariant() {
    const int lang = wxLocale::GetSystemLanguage();
    return lang == wxLANGUAGE_ENGLISH_UK ? EStringVariant::EnglishUK : EStringVariant::EnglishUS;
}

void CStringTable::SetVariant(EStringVariant variant) {
    g_variant = variant;
    g_variantChosen = true;
}

EStringVariant CStringTable::Variant() {
    if (!g_variantChosen)
        SetVariant(SystemVariant());
    return g_variant;
}

std::string CStringTable::Load(int id) {
    return Load(id, Variant());
}

std::string CStringTable::Load(int id, EStringVariant variant) {
    const auto it = Table().find(ids::Cmd(static_cast<unsigned>(id)));
    if (it == Table().end())
        return {};
    if (variant == EStringVariant::EnglishUK && it->second.uk)
        return it->second.uk;
    return it->second.us;
}

std::string CStringTable::ShortPrompt(int id) {
    const std::string s = Load(id);
    const auto nl = s.find('\n');
    return nl == std::string::npos ? std::string() : s.substr(nl + 1);
}
