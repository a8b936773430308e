#include "core/util/file_system.h"
#include "core/util/file_steps.h"
#include "platform/win32/long_path_win32.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include <windows.h>

namespace tb {
namespace {

std::string narrow(const wchar_t* text, int length, UINT codePage) {
    if (length == 0) return {};
    const int size = ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(codePage, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring widen(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), size);
    return out;
}

// The system's text for an error code, without trailing blanks, breaks and full stops.
std::string reasonFor(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? narrow(buffer, static_cast<int>(length), CP_UTF8)
                                   : "Error " + std::to_string(error);
    if (buffer != nullptr) ::LocalFree(buffer);
    return steps::withoutTrailingStop(std::move(text));
}

class Handle final {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    bool close() { return valid() ? ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0 : true; }

private:
    HANDLE handle_;
};

// Writes all of `bytes`; answers 0 or the error code.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return ::GetLastError();
        done += written;
    }
    return 0;
}

}  // namespace

PathKind pathKind(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(longForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
                   ? PathKind::Missing
                   : PathKind::NoAccess;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? PathKind::Other : PathKind::Regular;
}

std::optional<FileIdentity> readableFileIdentity(const std::filesystem::path& file) {
    // Opened for reading, as the player will open it, and closed again unread.
    Handle handle(::CreateFileW(longForm(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
    const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    return FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                        static_cast<std::int64_t>(join(info.nFileSizeHigh, info.nFileSizeLow)),
                        static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime,
                                                       info.ftLastWriteTime.dwLowDateTime)) * 100};
}

std::optional<bool> listedAsNonFolder(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::wstring name = path.filename().wstring();
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(longForm(folder / L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return std::nullopt;
    bool found = false;
    do {
        // File names on Windows are the same whatever their case.
        if (::CompareStringOrdinal(entry.cFileName, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) {
            found = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
            break;
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return found;
}

FileBytes readRegularFile(const std::filesystem::path& file, std::uint64_t limit) {
    FileBytes out;
    // Others may read the file meanwhile, but not write it.
    Handle handle(::CreateFileW(longForm(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle.valid()) {
        out.failure = reasonFor(::GetLastError());
        return out;
    }
    // A pipe, a console or a device such as NUL never ends, or ends when it likes.
    if (::GetFileType(handle.get()) != FILE_TYPE_DISK) {
        out.failure = "Not a regular file";
        return out;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle.get(), &size)) {
        out.failure = reasonFor(::GetLastError());
        return out;
    }
    // In the program's own words, as for what is no disk file: not every system has a
    // text for ERROR_FILE_TOO_LARGE (Wine has none).
    if (static_cast<std::uint64_t>(size.QuadPart) > limit) {
        out.failure = "File too large";
        return out;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &n, nullptr)) {
            out.failure = reasonFor(::GetLastError());
            return out;
        }
        if (n == 0) break;
        bytes.append(buffer, n);
        if (bytes.size() > limit) {  // it grew while being read
            out.failure = "File too large";
            return out;
        }
    }
    out.bytes = std::move(bytes);
    return out;
}

namespace {

// Whether a failed rename may succeed in a moment: another program (a virus scanner, a
// backup, the search indexer) has the file open for a moment without sharing.
bool passing(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

class Win32FileSteps final : public FileSteps {
public:
    std::filesystem::path temporaryName(const std::filesystem::path& file) override {
        std::filesystem::path temp = file;
        temp += L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"." + std::to_wstring(counter_++);
        return temp;
    }

    std::optional<std::string> writeNewFile(const std::filesystem::path& temp, const std::filesystem::path&,
                                            std::string_view bytes) override {
        // Held without sharing while it is written.
        Handle handle(
            ::CreateFileW(longForm(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.valid()) return reasonFor(::GetLastError());
        if (const DWORD error = writeAll(handle.get(), bytes)) return reasonFor(error);
        if (!::FlushFileBuffers(handle.get()) || !handle.close()) return reasonFor(::GetLastError());
        return std::nullopt;
    }

    // A folder, a read-only file and one that another program holds open without
    // sharing cannot be replaced. A read-only file is refused rather than replaced, as
    // Windows refuses to write it.
    std::optional<std::string> replaceable(const std::filesystem::path& file) override {
        const DWORD attributes = ::GetFileAttributesW(longForm(file).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;  // a new file
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return reasonFor(ERROR_ACCESS_DENIED);
        Handle old(::CreateFileW(longForm(file).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!old.valid()) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return reasonFor(error);
        }
        return std::nullopt;
    }

    // Written through: the rename is on the disk when it returns. A file that another
    // program holds for a moment is tried again for up to half a second.
    std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
        for (int attempt = 0;; ++attempt) {
            if (::MoveFileExW(longForm(from).c_str(), longForm(to).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return std::nullopt;
            }
            const DWORD error = ::GetLastError();
            if (!passing(error) || attempt == 9) return reasonFor(error);
            ::Sleep(50);
        }
    }

    // A read-only leftover can only go once its attribute has: cleared only where this
    // is its one name, since the attribute belongs to the file and not to the name.
    void removeQuietly(const std::filesystem::path& file) override {
        const std::wstring name = longForm(file);
        if (::DeleteFileW(name.c_str()) || ::GetLastError() != ERROR_ACCESS_DENIED) return;
        Handle handle(::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info) || info.nNumberOfLinks != 1 ||
            !(info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
            return;
        }
        handle.close();
        ::SetFileAttributesW(name.c_str(), info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        ::DeleteFileW(name.c_str());
    }

    // Each rename was written through already.
    void flushFolder(const std::filesystem::path&) override {}

    std::vector<std::filesystem::path> names(const std::filesystem::path& folder) override {
        std::vector<std::filesystem::path> out;
        WIN32_FIND_DATAW entry{};
        const HANDLE find = ::FindFirstFileW(longForm(folder / L"*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return out;
        do {
            out.emplace_back(entry.cFileName);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
        return out;
    }

private:
    std::atomic<unsigned> counter_{0};
};

}  // namespace

// Never destroyed: a worker let go on a hung share may still use it as the process ends.
FileSteps& platformFileSteps() {
    static auto* const steps = new Win32FileSteps;
    return *steps;
}

std::string systemCodePageToUtf8(std::string_view bytes) {
    const std::wstring wide = widen(bytes, CP_ACP);
    return narrow(wide.data(), static_cast<int>(wide.size()), CP_UTF8);
}

std::optional<std::string> utf8ToSystemCodePage(std::string_view text) {
    // Where the system's code page is UTF-8 itself (an option of Windows 10 and later)
    // the text stays as it is; the conversion would refuse the flags below.
    if (::GetACP() == CP_UTF8) return std::string(text);
    const std::wstring wide = widen(text, CP_UTF8);
    if (wide.empty()) return std::string();
    const int length = static_cast<int>(wide.size());
    // No best fit: a character the code page lacks must not turn into a look-alike
    // (which would name another file) but be reported.
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr,
                                           &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), size, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
}

bool isFullPath(std::string_view path) {
    const auto slash = [&](std::size_t i) { return i < path.size() && (path[i] == '\\' || path[i] == '/'); };
    if (slash(0) && slash(1)) return true;  // \\server\share, \\?\..., \\.\...
    const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path.size() > 1 && path[1] == ':' && slash(2);
}

std::filesystem::path fullPath(const std::filesystem::path& path) {
    const std::wstring text = path.wstring();
    const DWORD size = ::GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(text.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

std::filesystem::path executablePath() {
    // A path may be longer than MAX_PATH: grow until the whole name fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::filesystem::current_path() / L"tollbrook.exe";
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring longForm(const std::filesystem::path& path) {
    std::wstring text = path.wstring();
    if (text.size() < MAX_PATH - 12 || text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\")) return text;
    const std::wstring full = fullPath(path).wstring();
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring plainForm(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + path.substr(8);
    if (path.starts_with(L"\\\\?\\")) return path.substr(4);
    return path;
}

}  // namespace tb
