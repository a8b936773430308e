#pragma once

#include "core/schedule/locale_settings.h"

#include <string>

namespace tb {

// The settings of the process locale (LC_TIME and LC_NUMERIC as set by setlocale).
class PosixLocaleSource final : public LocaleSettingsSource {
public:
    LocaleSettings read() override;
    // Sets the process locale from the environment again.
    void refresh() override;
};

}  // namespace tb
