#pragma once
// The one document of the program, reused for every new or opened library.

#include "app/Settings.h"
#include "library/SnippetLibrary.h"
#include "menu/SnippetCommandMap.h"

#include <wx/docview.h>

#include <cstdint>
#include <memory>
#include <string>

class CGlobalHotKey;
class CPasteEngine;
class CTessaryView;

class CTessaryDoc : public wxDocument {
public:
    CTessaryDoc();
    ~CTessaryDoc() override;

    // Lifecycle; the document manager asks the save question before these.
    bool OnNewDocument() override;
    bool OnOpenDocument(const wxString& path) override;
    bool OnSaveDocument(const wxString& path) override;
    bool Save() override;
    bool SaveAs() override;
    bool OnSaveModified() override;
    bool DeleteContents() override { return true; }

    // 1 when the library now holds the parsed source (a path or a URL).
    int LoadXmlFile(const std::string& source);
    void LoadStartFile();
    void LoadSettings();
    void SaveSettings();

    // The global hot key of the settings, registered on the view's window.
    void SetHotKey();
    void UnsetHotKey();

    // The snippet menu's commands, met on their way through the view's
    // routing: true when the command was handled here.
    bool OnCmdMsg(int commandId);
    // The element's text onto the clipboard, then Ctrl+V to the target.
    void PasteSnippet(const CXmlNode& element);
    CPasteEngine& PasteEngine();
    // Hands the settings' paste keys and clipboard choice to the engine: at
    // its creation, when the settings are read and after Options.
    void ApplyPasteSettings();
    CTessaryView* View() const;

    CSnippetLibrary& Library() { return m_library; }
    SSettings& Settings() { return m_settings; }
    CSnippetCommandMap& SnippetCommands() { return m_snippetCommands; }

    // The path as the system names it (a file path or a URL).
    std::string PathName() const;
    // Sets the path without touching the title or the recent-file list.
    void SetPathName(const std::string& path);

    bool m_bCanActivate = false;
    bool m_bCanDeactivate = false;
    std::int32_t m_bStartFilePending = 1;
    std::int32_t m_bHotKeyRegistered = 0;
    bool m_bCanRemove = false;
    // The window named by the last right-click report: the paste target.
    unsigned long m_hTargetWnd = 0;
    int m_nTargetX = 0; // the screen point of the click in it
    int m_nTargetY = 0;
    // The last save question was answered No: the changes were given up.
    bool m_bChangesDiscarded = false;

protected:
    bool TryBefore(wxEvent& event) override;

private:
    void OnOpenUrl(wxCommandEvent& event);

public:
    // The part of Open URL after the dialog: load, take the URL as the path
    // name (title and recent files unchanged) and rebuild.
    bool OpenUrl(const std::string& url);
    void Reload();

private:
    void OnReload(wxCommandEvent& event);
    void OnOptions(wxCommandEvent& event);
    void OnTipOfTheDay(wxCommandEvent& event);

    // Rebuilds every view; without a view (tests) it numbers the items itself.
    void RebuildViews();
    bool CanWriteInPlace(const std::string& path) const;

    CSnippetLibrary m_library;
    SSettings m_settings;
    CSnippetCommandMap m_snippetCommands;
    std::unique_ptr<CGlobalHotKey> m_pHotKey;
    std::unique_ptr<CPasteEngine> m_pPasteEngine;
    bool m_bSettingsLoaded = false;
    bool m_bEngineFailureShown = false;

    wxDECLARE_DYNAMIC_CLASS(CTessaryDoc);
};
