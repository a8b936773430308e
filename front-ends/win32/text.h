#pragma once

#include <string>
#include <string_view>

namespace tb {

// The program's texts are UTF-8; Windows' wide functions take UTF-16.
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace tb
