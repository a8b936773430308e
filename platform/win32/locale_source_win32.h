#pragma once

#include "core/schedule/locale_settings.h"

#include <string>

namespace tb {

// The user's regional settings on Windows (GetLocaleInfoEx), as they were at start or
// at the last refresh; the front end refreshes when the system reports a change of
// them (WM_SETTINGCHANGE with "intl").
class WindowsLocaleSource final : public LocaleSettingsSource {
public:
    WindowsLocaleSource();
    LocaleSettings read() override;
    void refresh() override;
    // The settings of a named locale ("de-DE").
    static LocaleSettings ofLocale(const std::wstring& name);

private:
    LocaleSettings settings_;
};

}  // namespace tb
