#include "res/Resources.h"

#include "res/CommandIds.h"
#include "res/EmbeddedResources.h"

#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/xrc/xh_auitoolb.h>
#include <wx/xrc/xmlres.h>

#include <cstring>
#include <utility>

namespace {

// Names used in tessary.xrc for the fixed numeric ids.
const std::pair<const char*, int> kIdNames[] = {
    {"ID_FILE_NEW", ids::ID_FILE_NEW},
    {"ID_FILE_OPEN", ids::ID_FILE_OPEN},
    {"ID_FILE_SAVE", ids::ID_FILE_SAVE},
    {"ID_FILE_SAVE_AS", ids::ID_FILE_SAVE_AS},
    {"ID_FILE_MRU_FILE1", ids::ID_FILE_MRU_FILE1},
    {"ID_EDIT_COPY", ids::ID_EDIT_COPY},
    {"ID_EDIT_CUT", ids::ID_EDIT_CUT},
    {"ID_EDIT_PASTE", ids::ID_EDIT_PASTE},
    {"ID_EDIT_SELECT_ALL", ids::ID_EDIT_SELECT_ALL},
    {"ID_EDIT_UNDO", ids::ID_EDIT_UNDO},
    {"ID_EDIT_FIND", ids::ID_EDIT_FIND},
    {"ID_EDIT_REPEAT", ids::ID_EDIT_REPEAT},
    {"ID_APP_ABOUT", ids::ID_APP_ABOUT},
    {"ID_APP_EXIT", ids::ID_APP_EXIT},
    {"ID_VIEW_STATUS_BAR", ids::ID_VIEW_STATUS_BAR},
    {"ID_ACTIVATE_MENU", ids::ID_ACTIVATE_MENU},
    {"ID_DEACTIVATE_MENU", ids::ID_DEACTIVATE_MENU},
    {"ID_ADD_MENU_ITEM", ids::ID_ADD_MENU_ITEM},
    {"ID_REMOVE_MENU_ITEM", ids::ID_REMOVE_MENU_ITEM},
    {"ID_TIP_OF_THE_DAY", ids::ID_TIP_OF_THE_DAY},
    {"ID_HELP_FAQ", ids::ID_HELP_FAQ},
    {"ID_HELP_EXAMPLES", ids::ID_HELP_EXAMPLES},
    {"ID_SHOW_WINDOW", ids::ID_SHOW_WINDOW},
    {"ID_HOOK_CLOSE_MENU", ids::ID_HOOK_CLOSE_MENU},
    {"ID_RELOAD", ids::ID_RELOAD},
    {"ID_OPEN_URL", ids::ID_OPEN_URL},
    {"ID_HOOK_PASTE_ALL", ids::ID_HOOK_PASTE_ALL},
    {"ID_EXPORT_FAVORITES", ids::ID_EXPORT_FAVORITES},
    {"ID_OPTIONS", ids::ID_OPTIONS},
    {"ID_HELP_TOPICS", ids::ID_HELP_TOPICS},
    {"ID_TECH_SUPPORT", ids::ID_TECH_SUPPORT},
    {"IDC_TEXT", ids::IDC_TEXT},
    {"IDC_TREE", ids::IDC_TREE},
    {"IDC_URL", ids::IDC_URL},
    {"IDR_MAINFRAME", ids::IDR_MAINFRAME},
    {"IDR_HOOK_MENU", ids::IDR_HOOK_MENU},
    {"IDD_FORM", ids::IDD_FORM},
    {"IDD_OPEN_URL", ids::IDD_OPEN_URL},
    {"IDW_TOOLBAR", ids::IDW_TOOLBAR},
};

const SEmbeddedResource* Find(const std::string& name) {
    for (const SEmbeddedResource* r = EmbeddedResourceTable(); r->name; ++r)
        if (name == r->name)
            return r;
    return nullptr;
}

} // namespace

namespace resources {

bool Initialize() {
    static bool done = false;
    static bool ok = false;
    if (done)
        return ok;
    done = true;
    for (const auto& [name, id] : kIdNames)
        wxXmlResource::GetXRCID(name, id);
    wxFileSystem::AddHandler(new wxMemoryFSHandler);
    for (const SEmbeddedResource* r = EmbeddedResourceTable(); r->name; ++r)
        wxMemoryFSHandler::AddFile(r->name, r->data, r->size);
    wxXmlResource::Get()->InitAllHandlers();
    // The toolbar docks through the AUI manager, whose handler is not among "all".
    wxXmlResource::Get()->AddHandler(new wxAuiToolBarXmlHandler);
    // The main resources, then each dialog's own file.
    ok = true;
    for (const SEmbeddedResource* r = EmbeddedResourceTable(); r->name; ++r) {
        const std::string name = r->name;
        if (name.size() > 4 && name.ends_with(".xrc"))
            ok = wxXmlResource::Get()->Load("memory:" + name) && ok;
    }
    return ok;
}

int IdOf(const std::string& name) {
    return wxXmlResource::GetXRCID(wxString::FromUTF8(name));
}

wxBitmapBundle Icon(const std::string& name, int width, int height) {
    const SEmbeddedResource* r = Find(name);
    if (!r)
        return {};
    return wxBitmapBundle::FromSVG(r->data, r->size, wxSize(width, height));
}

wxIconBundle AppIcon() {
    return IconBundle("app.svg");
}

wxIconBundle IconBundle(const std::string& name) {
    wxIconBundle icons;
    const wxBitmapBundle bundle = Icon(name, 48, 48);
    if (!bundle.IsOk())
        return icons;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        wxIcon icon;
        icon.CopyFromBitmap(bundle.GetBitmap(wxSize(size, size)));
        icons.AddIcon(icon);
    }
    return icons;
}

wxMenu* LoadPopup(const char* menuBarName) {
    Initialize();
    wxMenuBar* bar = wxXmlResource::Get()->LoadMenuBar(menuBarName);
    if (!bar)
        return nullptr;
    wxMenu* popup = bar->Remove(0);
    delete bar;
    return popup;
}

wxMenu* LoadHookPopup() {
    return LoadPopup("IDR_HOOK_MENU");
}

} // namespace resources
