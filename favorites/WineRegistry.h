#pragma once
// A registry hive as Wine keeps it on disk (user.reg): the text form with
// "[key\\path]" sections and "name"=value lines. Only string values are read.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CWineRegistryFile {
public:
    explicit CWineRegistryFile(std::string text) : m_strText(std::move(text)) {}
    // Nothing when the file cannot be read, is not a regular file or is
    // larger than any hive Wine writes.
    static std::optional<CWineRegistryFile> Read(const std::string& path);

    // Values of type REG_SZ or REG_EXPAND_SZ under the key, in file order,
    // names and data in UTF-8 with the file's escapes undone. Key paths are
    // relative to the hive, with single backslashes, matched ignoring case.
    std::vector<std::pair<std::string, std::string>> StringValues(std::string_view key) const;
    // The first such value of that name (ignoring case).
    std::optional<std::string> StringValue(std::string_view key, std::string_view name) const;

    // Windows compares key and value names without regard to ASCII case.
    static bool SameName(std::string_view a, std::string_view b);

private:
    std::string m_strText;
};
