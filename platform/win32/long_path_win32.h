#pragma once

#include <filesystem>
#include <string>

namespace tb {

// A path as Windows' file functions take it however long it is: one of MAX_PATH
// characters or more in its "\\?\" form ("\\?\UNC\" for a share), which they use as it
// is, so it is made full first (backslashes only, without "." and ".."); a shorter one
// as it is.
std::wstring longForm(const std::filesystem::path& path);

// A "\\?\" path in its plain form ("\\?\UNC\server\..." as "\\server\..."), as programs
// that parse their paths themselves (MCI) take it; any other as it is.
std::wstring plainForm(const std::wstring& path);

}  // namespace tb
