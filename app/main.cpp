// Entry point: the command line is read before any window system starts, so
// --help and --version work without a display.

#include "app/CommandLine.h"
#include "app/Settings.h"
#include "app/TessaryApp.h"
#include "platform/CommandChannel.h"
#include "res/CommandIds.h"
#include "res/Messages.h"

#include <wx/init.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>
#endif

#ifndef TESSARY_VERSION
#define TESSARY_VERSION "0"
#endif

wxIMPLEMENT_APP_NO_MAIN(CTessaryApp);

namespace {
void PrintUsage() {
    std::fputs(msg::kUsage, stdout);
}

// One Tessary per display: a second start hands its command line to the one
// running (a library to open, else the window to show) and ends. False when
// this start is to run: nobody listens, or the listener does not answer (a
// stopped or hung program must not keep the user from starting one).
bool HandToRunningProgram(const SCommandLine& line) {
    std::string options;
    if (line.tray)
        options += " --tray";
    if (line.activate)
        options += " --activate";
    const EHandOver outcome = line.file.empty() ? HandOver(ids::ID_SHOW_WINDOW, options)
                                                : HandOver(ids::ID_OPEN_FROM_OUTSIDE, line.file);
    if (outcome == EHandOver::NoAnswer)
        std::fprintf(stderr, "tessary: %s\n", msg::kRunningProgramSilent);
    return outcome == EHandOver::Done;
}

#ifdef _WIN32
// Windows hands main() its arguments in the ANSI code page, which loses file
// names outside it; the program's names are UTF-8, from the wide command line.
std::vector<std::string> Utf8Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; wide && i < count; ++i)
        args.push_back(windows_text::Utf8(wide[i]));
    LocalFree(wide);
    return args;
}
#endif
} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    const std::vector<std::string> utf8 = Utf8Arguments();
    std::vector<const char*> utf8Argv;
    for (const std::string& arg : utf8)
        utf8Argv.push_back(arg.c_str());
    const SCommandLine line =
        utf8Argv.empty() ? ParseCommandLine(argc, argv)
                         : ParseCommandLine(static_cast<int>(utf8Argv.size()), utf8Argv.data());
#else
    const SCommandLine line = ParseCommandLine(argc, argv);
#endif
    switch (line.action) {
    case SCommandLine::EAction::Help:
        PrintUsage();
        return 0;
    case SCommandLine::EAction::Version:
        std::printf("Tessary %s\n", TESSARY_VERSION);
        return 0;
    case SCommandLine::EAction::Toggle: {
        // Command 1000 to the program already running, as a desktop
        // shortcut or script would send it.
        std::string error;
        if (SendCommand(ids::ID_TOGGLE_MENU, error))
            return 0;
        std::fprintf(stderr, "tessary: %s\n", error.c_str());
        return 1;
    }
    case SCommandLine::EAction::Error:
        std::fprintf(stderr, "tessary: %s\n", line.error.c_str());
        PrintUsage();
        return 2;
    case SCommandLine::EAction::Run:
        break;
    }
    if (HandToRunningProgram(line))
        return 0;
#ifndef _WIN32
    // A file-size limit must fail the save, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // The snippet menu works through X11; under Wayland that means XWayland.
    setenv("GDK_BACKEND", "x11", 0);
#endif
    // The program draws nothing with OpenGL; left on, GTK loads the GL driver
    // at start only to choose visuals, about half of the program's resident
    // memory with a software renderer. Taken back once GTK has started, so
    // that the programs it opens do not inherit it.
#ifdef __WXGTK__
    const bool glDisabledHere = !std::getenv("GDK_GL");
    if (glDisabledHere)
        setenv("GDK_GL", "disable", 0);
#else
    const bool glDisabledHere = false;
#endif

    auto* app = new CTessaryApp;
    app->m_bUnsetGdkGl = glDisabledHere;
    app->m_strFileToOpen = line.file;
    app->m_bStartInTray = line.tray;
    app->m_bStartActive = line.activate;
    wxApp::SetInstance(app);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    return wxEntry(wxArgc, wxArgv);
}
