// Registers a program to start at logon through the program's own autostart store and
// reads the registration back, for the tests that start the entry with real launchers.
//   tb_write_autostart AUTOSTART_FOLDER PROGRAM
#include "core/desktop/autostart.h"
#include "platform/posix/autostart_posix.h"

#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: tb_write_autostart AUTOSTART_FOLDER PROGRAM\n";
        return 2;
    }
    try {
        tb::XdgAutostart store{std::filesystem::path(argv[1])};
        store.write(argv[2]);
        const std::string back = store.read();
        if (back != argv[2]) {
            std::cerr << "the entry reads back as '" << back << "'\n";
            return 1;
        }
        std::cout << store.entry().string() << '\n';
    } catch (const tb::AutostartError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
