#pragma once
// The one document of the program, reused for every new or opened library.

#include "app/Settings.h"
#include "library/SnippetLibrary.h"
#include "library/SourceStamp.h"
#include "menu/SnippetCommandMap.h"

#include <wx/docview.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class CGlobalHotKey;
class CPasteEngine;
class CTessaryView;
class CUrlPollRequest;
class wxFileSystemWatcherBase;
class wxFileSystemWatcherEvent;
struct SFetchResult;

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
    // name, its last segment as the title and add it to the recent files.
    bool OpenUrl(const std::string& url);
    void Reload();

    // Changes made elsewhere to the library's file are noticed once the
    // folder is watched; a library from a URL is asked for them every few
    // minutes, or now.
    bool IsWatchingFile() const;
    // Starts following the source anew; run after every load or save that
    // may have changed it, and when the interval of the asks changed.
    void FollowSource();
    // Events came for the file and it is read once they stop.
    bool IsCheckPending() const { return m_settleTimer.IsRunning(); }
    void PollUrl();
    bool IsPolling() const;
    // Tests ask more often than every minute; zero gives the settings' interval.
    static void SetPollInterval(std::chrono::milliseconds interval);

private:
    void OnReload(wxCommandEvent& event);
    void OnOptions(wxCommandEvent& event);
    void OnTipOfTheDay(wxCommandEvent& event);

    // Rebuilds every view; without a view (tests) it numbers the items itself.
    void RebuildViews();
    bool CanWriteInPlace(const std::string& path) const;
    // What the URL's load is named by: title, path and recent files.
    void TakeUrlAsName(const std::string& url);

    // After every load or save that may have changed the source: watch its
    // folder or ask its server, from what was last loaded or saved.
    void InitFollowing();
    void WatchFolder();
    void OnFileSystemEvent(wxFileSystemWatcherEvent& event);
    void CheckFile();
    void OnPollAnswer(const SFetchResult& answer, unsigned generation);
    // The source now holds bytes (stamped now) other than ours: reload, or
    // ask first when the library has changes; never load what is not a library.
    void TakeOutsideChange(const SSourceStamp& now, const std::string& bytes);

    CSnippetLibrary m_library;
    SSettings m_settings;
    CSnippetCommandMap m_snippetCommands;
    std::unique_ptr<CGlobalHotKey> m_pHotKey;
    std::unique_ptr<CPasteEngine> m_pPasteEngine;
    bool m_bSettingsLoaded = false;
    bool m_bEngineFailureShown = false;

    // Following the source. m_stamp is what m_strStampSource held when it
    // was last loaded or saved, or what the user chose to keep his over.
    std::string m_strStampSource;
    SSourceStamp m_stamp;
    std::string m_strEtag;
    std::string m_strLastModified;
    std::string m_strWatchedFile;
    std::string m_strWatchedFolder;
    std::string m_strPolledUrl;
    std::unique_ptr<wxFileSystemWatcherBase> m_pWatcher;
    std::unique_ptr<CUrlPollRequest> m_pPoll;
    wxTimer m_settleTimer;
    wxTimer m_pollTimer;
    unsigned m_nFollowGeneration = 0; // answers for an earlier source are dropped
    bool m_bAskingAboutChange = false;
    bool m_bFileRemoved = false;

    wxDECLARE_DYNAMIC_CLASS(CTessaryDoc);
};
