#include "platform/posix/locale_source_posix.h"

#include <clocale>
#include <langinfo.h>

namespace tb {

LocaleSettings PosixLocaleSource::read() {
    auto info = [](nl_item item) {
        const char* s = nl_langinfo(item);
        return std::string(s != nullptr ? s : "");
    };
    return settingsFromFormats(info(T_FMT), info(T_FMT_AMPM), info(D_FMT), info(AM_STR),
                               info(PM_STR), info(RADIXCHAR));
}

void PosixLocaleSource::refresh() { std::setlocale(LC_ALL, ""); }

}  // namespace tb
