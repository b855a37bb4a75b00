#pragma once
// Every command and resource identifier the program's windows share. The
// numbers are part of the program's interface (help contexts, stored files of
// older versions, scripts): never renumber them.

namespace ids {

// Command numbers are 16-bit. wxWidgets takes window and menu ids below
// 0x7FFF only, so numbers from 0x8000 up are used with their top bit cleared;
// no two commands of the program share a folded value.
constexpr int Cmd(unsigned number) {
    return static_cast<int>(number & 0x7FFFu);
}

// Framework-standard commands.
constexpr int ID_FILE_NEW = Cmd(57600);
constexpr int ID_FILE_OPEN = Cmd(57601);
constexpr int ID_FILE_SAVE = Cmd(57603);
constexpr int ID_FILE_SAVE_AS = Cmd(57604);
constexpr int ID_FILE_MRU_FILE1 = Cmd(57616); // recent files use 57616 to 57619
constexpr int ID_FILE_MRU_COUNT = 4;
constexpr int ID_EDIT_COPY = Cmd(57634);
constexpr int ID_EDIT_CUT = Cmd(57635);
constexpr int ID_EDIT_FIND = Cmd(57636);
constexpr int ID_EDIT_PASTE = Cmd(57637);
constexpr int ID_EDIT_REPEAT = Cmd(57640); // Find Next
constexpr int ID_EDIT_SELECT_ALL = Cmd(57642);
constexpr int ID_EDIT_UNDO = Cmd(57643);
constexpr int ID_APP_ABOUT = Cmd(57664);
constexpr int ID_APP_EXIT = Cmd(57665);
constexpr int ID_CONTEXT_HELP = Cmd(57669); // Shift+F1
constexpr int ID_HELP = Cmd(57670);
constexpr int ID_VIEW_STATUS_BAR = Cmd(59393);
constexpr int ID_INDICATOR_CAPS = Cmd(59137);
constexpr int ID_INDICATOR_NUM = Cmd(59138);
constexpr int ID_INDICATOR_SCRL = Cmd(59139);

// The program's own commands.
constexpr int ID_ACTIVATE_MENU = 159;
constexpr int ID_DEACTIVATE_MENU = 160;
constexpr int ID_ADD_MENU_ITEM = 162;
constexpr int ID_REMOVE_MENU_ITEM = 163;
constexpr int ID_TIP_OF_THE_DAY = 180;
constexpr int ID_HELP_FAQ = 181;
constexpr int ID_HELP_EXAMPLES = 182;
constexpr int ID_TOGGLE_MENU = 1000;
// From a second start and the tray: the main window brought forward, and
// a library opened (its path travels with the command).
constexpr int ID_SHOW_WINDOW = 1001;
constexpr int ID_OPEN_FROM_OUTSIDE = 1002;
constexpr int ID_HOOK_CLOSE_MENU = Cmd(32776);
constexpr int ID_OPEN_URL = Cmd(32777);
constexpr int ID_RELOAD = Cmd(32778);
constexpr int ID_HOOK_PASTE_ALL = Cmd(32780);
constexpr int ID_EXPORT_FAVORITES = Cmd(32781);
constexpr int ID_OPTIONS = Cmd(32782);
constexpr int ID_HELP_TOPICS = Cmd(32783);
constexpr int ID_TECH_SUPPORT = Cmd(32784);

// Help context of Technical Support: its command id plus 0x10000.
constexpr int HELP_CONTEXT_TECH_SUPPORT = 0x18010;

// Controls and windows.
constexpr int IDC_TEXT = 1020;
constexpr int IDC_TREE = 1031;
constexpr int IDC_URL = 1008;
constexpr int IDC_SPLITTER = 999;
constexpr int IDW_STATUS_BAR = 101;
constexpr int IDW_TOOLBAR = Cmd(0xE800);

// Resources.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_HOOK_MENU = 132;
constexpr int IDD_ABOUT = 100;
constexpr int IDD_FORM = 101;
constexpr int IDD_OPTIONS = 137;
constexpr int IDD_OPEN_URL = 138;
constexpr int IDD_EXPORT_FAVORITES = 140;
constexpr int IDD_TIP = 169;
constexpr int IDI_DOCUMENT = 129;
constexpr int IDI_MENU_INACTIVE = 133;
constexpr int IDI_MENU_ACTIVE = 134;
constexpr int IDI_TIP = 171;

} // namespace ids
