// Started from a copy of itself in a test's folder: writes what executablePath() says,
// in UTF-8, into exe-path.txt beside the executable that path names.
#include "core/util/file_system.h"

#include <fstream>

int main() {
    const std::filesystem::path exe = tb::executablePath();
    const std::u8string name = exe.u8string();
    std::ofstream(exe.parent_path() / L"exe-path.txt", std::ios::binary) << std::string(name.begin(), name.end());
    return 0;
}
