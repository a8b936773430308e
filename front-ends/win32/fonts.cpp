#include "front-ends/win32/fonts.h"

namespace tb {

Fonts::~Fonts() {
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT Fonts::get(const std::wstring& face, int height, bool bold) {
    const auto key = std::make_tuple(face, height, bold);
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    LOGFONTW lf{};
    lf.lfHeight = -scale_(height);  // negative: the character height, without the internal leading
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    fonts_.emplace(key, font);
    return font;
}

}  // namespace tb
