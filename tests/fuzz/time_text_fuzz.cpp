// Time texts over the regional settings of every installed locale. Properties: a time
// of day rendered in a locale's long time format reads back as that time (whole
// seconds), so a saved schedule rings at its times under the settings it was made in;
// any text read back is a time of day, or refused with ConvertError, and the time it
// gives renders and reads back the same.
// Input: two bytes pick the locale, three the second of the day, the rest is a text.
#include "core/schedule/time_text.h"
#include "platform/posix/locale_source_posix.h"
#include "tests/fuzz/fuzz_support.h"

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <vector>

using namespace tb;

namespace {

// The settings of every locale `locale -a` lists (locales-all installs some 500), and
// fixed ones where none is installed.
std::vector<LongTimeFormat> installedFormats() {
    std::vector<LongTimeFormat> formats;
    PosixLocaleSource source;
    if (FILE* list = popen("locale -a 2>/dev/null", "r")) {
        char name[256];
        while (std::fgets(name, sizeof name, list) != nullptr) {
            std::string n(name);
            while (!n.empty() && (n.back() == '\n' || n.back() == '\r')) n.pop_back();
            if (std::setlocale(LC_ALL, n.c_str()) != nullptr) formats.emplace_back(source.read());
        }
        pclose(list);
    }
    std::setlocale(LC_ALL, "C");
    formats.emplace_back(source.read());
    std::fprintf(stderr, "time text fuzzing over %zu locales' settings\n", formats.size());
    return formats;
}

const std::vector<LongTimeFormat>& formats() {
    static const std::vector<LongTimeFormat> all = installedFormats();
    return all;
}

bool aTimeOfDay(const TimeOfDay& t) {
    return t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60 &&
           t.millisecond >= 0 && t.millisecond < 1000;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    formats();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const LongTimeFormat& format = formats()[(data[0] << 8 | data[1]) % formats().size()];
    const auto second = (data[2] << 16 | data[3] << 8 | data[4]) % (24 * 3600);
    const TimeOfDay time = TimeOfDay::fromMilliseconds(std::chrono::seconds(second));

    const std::string text = format.render(time);
    TimeOfDay read;
    try {
        read = readTimeText(text, format.settings());
    } catch (const ConvertError&) {
        fuzz::require(false, "a rendered time reads back");
    }
    fuzz::require(read == time, "a rendered time reads back as the same time");

    const std::string other(data + 5, data + size);
    try {
        const TimeOfDay t = readTimeText(other, format.settings());
        fuzz::require(aTimeOfDay(t), "a text read back is a time of day");
        const TimeOfDay whole{t.hour, t.minute, t.second, 0};
        fuzz::require(readTimeText(format.render(t), format.settings()) == whole,
                      "a time read from any text renders and reads back the same");
    } catch (const ConvertError&) {
    }
    return 0;
}
