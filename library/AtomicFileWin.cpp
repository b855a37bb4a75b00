// WriteFileAtomically on Windows: the same promise as on POSIX systems, kept
// with the wide file functions. The complete temporary file replaces the
// target with MoveFileEx, which (unlike rename in the C library) replaces
// an existing file; the target's hidden, system and archive attributes are
// kept, its access list is the folder's, as for any new file there.

#include "library/AtomicFile.h"

#include "library/RegularFile.h"
#include "library/WindowsText.h"
#include "res/Messages.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace {

// A file rewritten in place is held in memory meanwhile.
constexpr std::size_t kMaxInPlaceBytes = 256u * 1024u * 1024u;
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string ErrnoText(const char* what, int err) {
    return std::string(what) + ": " + std::strerror(err);
}

std::string SystemText(const char* what, DWORD code) {
    return std::string(what) + ": " + windows_text::ErrorText(code);
}

struct SHandle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~SHandle() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    DWORD Close() {
        const BOOL ok = CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
        return ok ? 0 : GetLastError();
    }
};

// Writes the bytes from the start of the file; 0 or the error code.
DWORD WriteAll(HANDLE h, std::string_view bytes) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(h, start, nullptr, FILE_BEGIN))
        return GetLastError();
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr))
            return GetLastError();
        bytes.remove_prefix(written);
    }
    if (!SetEndOfFile(h) || !FlushFileBuffers(h))
        return GetLastError();
    return 0;
}

// The file a symbolic link names, so that the link stays a link.
std::wstring ResolveTarget(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path; // a new file, or no link
    SHandle file{CreateFileW(path.c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return path;
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(
        file.h, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    if (n == 0 || n >= final.size())
        return path;
    final.resize(n);
    // "\\?\C:\..." and "\\?\UNC\server\..." as the C library's functions take them.
    if (final.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + final.substr(8);
    if (final.starts_with(L"\\\\?\\"))
        return final.substr(4);
    return final;
}

// The file in a folder where no temporary file can be made is rewritten in
// place; its old bytes are put back when any step fails.
SAtomicWriteResult WriteInPlace(const std::wstring& target, std::string_view bytes) {
    SAtomicWriteResult result;
    SHandle file{CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    LARGE_INTEGER size{};
    if (file.h == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.h, &size)) {
        result.error = SystemText(msg::kCannotWriteFile, GetLastError());
        return result;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxInPlaceBytes) {
        result.error = ErrnoText(msg::kCannotWriteFile, EFBIG);
        return result;
    }
    std::string old(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!old.empty() &&
        (!ReadFile(file.h, old.data(), static_cast<DWORD>(old.size()), &got, nullptr) ||
         got != old.size())) {
        result.error = SystemText(msg::kCannotWriteFile, GetLastError());
        return result;
    }
    DWORD err = WriteAll(file.h, bytes);
    if (err != 0) {
        result.error = SystemText(msg::kCannotWriteFile, err);
        if (WriteAll(file.h, old) != 0)
            result.error += std::string("\n") + msg::kOldContentNotRestored;
        return result;
    }
    err = file.Close();
    if (err != 0) {
        result.error = SystemText(msg::kCannotWriteFile, err);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

SAtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SAtomicWriteResult result;
    if (path.empty()) {
        result.error = "Invalid filename.";
        return result;
    }
    const std::wstring target = ResolveTarget(windows_text::Wide(path));
    const auto slash = target.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring base = slash == std::wstring::npos ? target : target.substr(slash + 1);

    // A file that is there must be one the user may write (not read-only);
    // replacing it is no way round that.
    const regular_file::SOpenResult existing =
        regular_file::Open(windows_text::Utf8(target), O_WRONLY);
    const bool exists = existing.status == regular_file::EStatus::Ok;
    DWORD attributes = 0;
    if (exists) {
        _close(existing.fd);
        attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            attributes = 0;
        // Refused by the open above on Windows; said here too for Wine, whose
        // super-user may open it.
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            result.error = ErrnoText(msg::kCannotWriteFile, EACCES);
            return result;
        }
    } else if (existing.status == regular_file::EStatus::NotRegular) {
        result.error = std::string("Cannot write the file: ") + msg::kNotARegularFile;
        return result;
    } else if (existing.status != regular_file::EStatus::Missing) {
        result.error = ErrnoText(msg::kCannotWriteFile, existing.err);
        return result;
    }

    // A fresh name beside the target; CREATE_NEW never takes over another's.
    SHandle tmpFile;
    std::wstring tmp;
    DWORD err = ERROR_FILE_EXISTS;
    for (unsigned attempt = 0; attempt < 100 && err == ERROR_FILE_EXISTS; ++attempt) {
        const unsigned long long nonce =
            (GetTickCount64() << 20) ^ (GetCurrentProcessId() << 8) ^ attempt;
        tmp = dir + L"." + base + L".tmp-" + std::to_wstring(nonce % 1'000'000'000);
        tmpFile.h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        err = tmpFile.h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    if (err != 0) {
        if (exists && err == ERROR_ACCESS_DENIED)
            return WriteInPlace(target, bytes);
        result.error = SystemText(msg::kCannotCreateInFolder, err);
        return result;
    }

    err = WriteAll(tmpFile.h, bytes);
    const DWORD closeErr = tmpFile.Close();
    if (err == 0)
        err = closeErr;
    if (err == 0 && !MoveFileExW(tmp.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = GetLastError();
    if (err != 0) {
        DeleteFileW(tmp.c_str());
        result.error = SystemText(msg::kCannotWriteFile, err);
        return result;
    }
    if (attributes & kKeptAttributes)
        SetFileAttributesW(target.c_str(), (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
    result.ok = true;
    return result;
}
