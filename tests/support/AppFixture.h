#pragma once
// The program's document manager, main frame, document and view, set up as
// the application does at start, with settings in a temporary file and
// message boxes and file prompts in test mode.

#include "app/FilePrompt.h"
#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/StatusText.h"
#include "app/TessaryDocManager.h"
#include "document/TessaryDoc.h"
#include "support/TempDir.h"
#include "view/TessaryView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CAppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program's objects; with a file, as if named on the command line.
    bool Start(const std::string& file = {});
    void Stop();
    // Closes the main window as the user does (the frame's close sequence).
    void CloseFrame(bool force = true);

    CTessaryDoc* Doc() const { return m_pManager ? m_pManager->Document() : nullptr; }
    CTessaryView* View() const;
    CMainFrame* Frame() const { return m_pFrame; }
    CTessaryDocManager* Manager() const { return m_pManager; }

    // Runs a menu command through the frame, as the menu would.
    void Command(int id);
    // Texts of the message boxes shown since the last call.
    std::vector<std::string> Messages() { return CMessageBox::TakeShown(); }
    // Labels of the tree in pre-order, indented by two spaces per level.
    std::vector<std::string> TreeLabels() const;
    std::string SavedBytes(const std::string& path) const { return CTempDir::Read(path); }
    std::string Write(const std::string& name, const std::string& bytes) const;

    CTempDir m_dir;
    std::string m_configPath;
    std::vector<std::string> m_status;

private:
    CTessaryDocManager* m_pManager = nullptr;
    CMainFrame* m_pFrame = nullptr;
};
