// A worker let go on a hung file ends whenever its file answers: here, after the
// process's statics are destroyed, as the end of a process goes. Run under a thread
// checker (valgrind's DRD): nothing the worker touches then may be destroyed.
#include "core/worker.h"

#include <chrono>
#include <thread>

// Runs after the statics' destructors, as the C library's last step of exit.
__attribute__((destructor)) static void awaitWorkersLetGo() { tb::Worker::waitForAll(std::chrono::seconds(5)); }

int main() {
    const auto worker = tb::Worker::start();
    worker->post([] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });
    worker->retire();
    return 0;
}
