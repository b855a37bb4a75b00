#pragma once
// Writes a Favorites folder out as a snippet file: one level1 element per
// folder, directly under the root, in depth-first pre-order, each holding a
// level2 element per Internet shortcut with the page's URL as its text.
// Written line by line, without the XML engine.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <utility>

class CFavoritesExporter {
public:
    enum class EOutcome {
        Written,
        CannotOpenFile,  // nothing written
        FolderNotFound,  // the output file is left empty
        CannotWriteFile, // the disk filled up or a size limit was hit on the way
    };

    explicit CFavoritesExporter(std::string path) : m_strPath(std::move(path)) {}
    virtual ~CFavoritesExporter();
    CFavoritesExporter(const CFavoritesExporter&) = delete;
    CFavoritesExporter& operator=(const CFavoritesExporter&) = delete;

    // Exports the user's Favorites folder (CFavoritesFolder).
    EOutcome Run();
    // Exports the folder given; nothing stands for a folder that was not found.
    EOutcome Run(const std::optional<std::string>& favoritesFolder);

    // The message box text for an outcome; empty for Written.
    static std::string Message(EOutcome outcome);

    // A label as the value of a single-quoted attribute: whole, UTF-8, with
    // the characters markup or attribute normalisation would change escaped.
    static std::string AttributeText(const std::string& label);
    // A URL as the content of one CDATA section: "]]>" inside it is split
    // across two sections, so the page's text cannot end it early.
    static std::string CDataText(const std::string& url);

private:
    // Only a regular file (new or replaced) is written: a FIFO or device in
    // its place is refused at once instead of blocking the export.
    bool OpenRegularFileNonBlocking();
    // False when anything written was lost.
    bool Close();
    EOutcome Export(const std::optional<std::string>& favoritesFolder);
    void WalkFolder(const std::string& folder);
    void WriteLine(const std::string& line);

    std::string m_strPath;
    std::FILE* m_pFile = nullptr;
    // Folders exported so far, by device and inode: each real folder once, so
    // that neither a symbolic link back up the tree nor links that lead to
    // the same folder many ways multiply the walk.
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_visitedFolders;
};
