#include "front-ends/win32/designed_window.h"

#include "front-ends/win32/text.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <stdexcept>
#include <vector>

namespace tb {
namespace {

// A text of the program with its line breaks as an edit control wants them.
std::wstring editText(std::string_view utf8) {
    std::wstring text;
    for (wchar_t c : wide(utf8)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    return text;
}

// The order the controls are made in: a group box after what it holds, which is made
// last first, so that each lies above what follows it in the design.
std::vector<const design::Control*> makingOrder(const design::Window& design) {
    std::vector<const design::Control*> order;
    for (const design::Control& c : design.controls) {
        if (c.parent.empty() || design.control(c.parent).kind != design::Kind::GroupBox) order.push_back(&c);
        if (c.kind != design::Kind::GroupBox) continue;
        order.pop_back();
        for (auto it = design.controls.rbegin(); it != design.controls.rend(); ++it) {
            if (it->parent == c.name) order.push_back(&*it);
        }
        order.push_back(&c);
    }
    return order;
}

}  // namespace

SIZE textSize(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.empty() ? L"Xg" : text.c_str(), static_cast<int>(text.empty() ? 2 : text.size()),
                          &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

HFONT DesignedControls::font(const design::Control& c) {
    const design::Font& f = c.font ? *c.font : design_.font;
    return fonts_.get(wide(f.face), f.pixels, f.bold);
}

DesignedControls::DesignedControls(HWND window, const design::Window& design, const Scale& scale, Fonts& fonts,
                                   const MakeSpecial& special)
    : window_(window), design_(design), scale_(scale), fonts_(fonts) {
    using design::Kind;
    for (const design::Control* c : makingOrder(design)) {
        const int id = designId(design, *c);
        if (c->kind == Kind::Panel) continue;
        HFONT controlFont = font(*c);
        const design::Rect r = design.inWindow(*c);
        RECT place = scale_.rect(r.x, r.y, r.width, r.height);
        if (r.height == 0) {  // a label's line, an edit's
            place.bottom = place.top + textSize(controlFont, {}).cy +
                           (c->kind == Kind::Edit ? MulDiv(8, scale_.dpi, 96) : 0);
        }
        if (c->fill) {  // inside its group box, below the caption
            const design::Control& box = design.control(c->parent);
            const RECT outer = scale_.rect(box.rect.x, box.rect.y, box.rect.width, box.rect.height);
            const int inset = scale_(2);
            place = {outer.left + inset, outer.top + textSize(font(box), {}).cy, outer.right - inset,
                     outer.bottom - inset};
        }
        const DWORD tab = c->tabOrder >= 0 ? WS_TABSTOP : 0;
        const std::wstring text = wide(c->text);
        HWND made = nullptr;
        switch (c->kind) {
            case Kind::Label:
                made = createControl(window, L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0, place, id, controlFont);
                break;
            case Kind::Edit:
                made = createControl(window, L"EDIT", text, ES_AUTOHSCROLL | tab, WS_EX_CLIENTEDGE, place, id,
                                     controlFont);
                SendMessageW(made, EM_SETLIMITTEXT, 0, 0);
                break;
            case Kind::Memo:
                made = createControl(window, L"EDIT", editText(c->text),
                                     ES_MULTILINE | WS_CLIPSIBLINGS | tab |
                                         (c->readOnly ? ES_READONLY : ES_AUTOVSCROLL | ES_WANTRETURN),
                                     0, place, id, controlFont);
                break;
            case Kind::ListBox:
                made = createControl(window, L"LISTBOX", L"",
                                     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | tab,
                                     WS_EX_CLIENTEDGE, place, id, controlFont);
                break;
            case Kind::TimePicker:
                made = createControl(window, DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | tab, 0, place, id,
                                     controlFont);
                SendMessageW(made, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(text.c_str()));
                break;
            case Kind::PushButton:
                made = createControl(window, L"BUTTON", text, BS_PUSHBUTTON | tab, 0, place, id, controlFont);
                break;
            case Kind::GroupBox:
                made = createControl(window, L"BUTTON", text, BS_GROUPBOX | WS_CLIPSIBLINGS, 0, place, id,
                                     controlFont);
                // A themed group box draws its caption in the theme's colour.
                if (c->ink) SetWindowTheme(made, L"", L"");
                break;
            default:
                if (special) made = special(*c, place, id, controlFont);
                break;
        }
        if (made == nullptr) throw std::runtime_error("the control " + std::string(c->name) + " could not be made");
        controls_.emplace(std::string(c->name), made);
        if (c->ink) inks_[made] = colorRef(*c->ink);
        // The player answers screen readers itself, with its buttons as children.
        if (c->kind != design::Kind::MediaPlayer && (!c->accessibleName.empty() || !c->hint.empty())) {
            nameForScreenReaders(made, wide(design::Kind::Label == c->kind ? c->text : c->accessibleName),
                                 wide(c->hint));
        }
    }
}

HWND DesignedControls::get(std::string_view name) const {
    const auto it = controls_.find(name);
    if (it == controls_.end()) design_.noSuchControl(name);
    return it->second;
}

std::optional<COLORREF> DesignedControls::ink(HWND control) const {
    const auto it = inks_.find(control);
    return it == inks_.end() ? std::nullopt : std::optional<COLORREF>(it->second);
}

}  // namespace tb
