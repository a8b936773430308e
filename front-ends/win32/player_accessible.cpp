#include "front-ends/win32/player_accessible.h"

#include "front-ends/win32/text.h"
#include "front-ends/win32/tmediaplayer.h"

#include <oleacc.h>

#include <atomic>
#include <optional>

namespace tb {
namespace {

constexpr const auto& kAll = PlayerBar::kButtonOrder;

// The child id of a shown button: its place among the shown buttons, from 1; a hidden
// button has none (CHILDID_SELF).
LONG childIdOf(const PlayerBar& bar, TMPBtnType button) {
    if (!bar.VisibleButtons().contains(button)) return CHILDID_SELF;
    LONG id = 0;
    for (TMPBtnType b : kAll) {
        id += bar.VisibleButtons().contains(b);
        if (b == button) break;
    }
    return id;
}

BSTR text(const std::wstring& s) { return SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); }

VARIANT childVariant(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

}  // namespace

// IAccessible by hand: the control is CHILDID_SELF, its shown buttons are the simple
// elements 1..n in the order they stand on screen.
// A COM object ends in its own Release, never through a pointer to its interface, so
// the interface needs no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class PlayerAccessible final : public IAccessible {
public:
    PlayerAccessible(TMediaPlayer& player, PlayerAccessibility& owner) : player_(&player), owner_(&owner) {}

    // The window is going: no call reaches it again.
    void cutOff() {
        player_ = nullptr;
        owner_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: clients call IAccessible through its table; nothing is offered by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        if (!live()) return CO_E_OBJNOTCONNECTED;
        return AccessibleObjectFromWindow(player_->hwnd(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        if (!live()) return CO_E_OBJNOTCONNECTED;
        *count = player_->shownCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!live()) return CO_E_OBJNOTCONNECTED;
        return button(child) ? S_FALSE : E_INVALIDARG;  // buttons are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return answerText(child, name, [](std::optional<TMPBtnType> b, const PlayerAccessibility& owner) {
            if (b) return wide(PlayerBar::buttonName(*b));
            return owner.name().empty() ? wide(PlayerBar::kName) : owner.name();
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return none(child, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return answerText(child, description, [](std::optional<TMPBtnType> b, const PlayerAccessibility& owner) {
            return b ? std::wstring() : owner.description();
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const std::optional<TMPBtnType> b = button(child);
        if (!b && !isSelf(child)) return E_INVALIDARG;
        *role = childVariant(b ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_TOOLBAR);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) return E_POINTER;
        VariantInit(state);
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const std::optional<TMPBtnType> b = button(child);
        if (!b && !isSelf(child)) return E_INVALIDARG;
        HWND h = player_->hwnd();
        const bool focused = GetFocus() == h;
        LONG s = STATE_SYSTEM_FOCUSABLE;
        if (!IsWindowVisible(h)) s |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(h)) s |= STATE_SYSTEM_UNAVAILABLE;
        if (b) {
            if (!player_->pressableByKeyboard(*b)) s |= STATE_SYSTEM_UNAVAILABLE;
            if (player_->sunk(*b)) s |= STATE_SYSTEM_PRESSED;
            if (focused && player_->FocusedButton() == *b) s |= STATE_SYSTEM_FOCUSED;
        } else if (focused) {
            s |= STATE_SYSTEM_FOCUSED;
        }
        *state = childVariant(s);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return none(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file != nullptr) *file = nullptr;
        if (topic != nullptr) *topic = 0;
        return live() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override { return none(child, keys); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) return E_POINTER;
        VariantInit(focus);
        if (!live()) return CO_E_OBJNOTCONNECTED;
        if (GetFocus() != player_->hwnd()) return S_FALSE;
        *focus = childVariant(idOf(player_->FocusedButton()));  // CHILDID_SELF for a hidden one
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) return E_POINTER;
        VariantInit(selection);
        return live() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return answerText(child, action, [this](std::optional<TMPBtnType> b, const PlayerAccessibility&) {
            return b && available(*b) ? std::wstring(L"Press") : std::wstring();
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        if (!live()) return CO_E_OBJNOTCONNECTED;
        if (!isSelf(child) || flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
        SetFocus(player_->hwnd());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        *left = *top = *width = *height = 0;
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const std::optional<TMPBtnType> b = button(child);
        if (!b && !isSelf(child)) return E_INVALIDARG;
        RECT r{};
        GetClientRect(player_->hwnd(), &r);
        if (b) {
            r.left = player_->buttonLeft(*b);
            r.right = r.left + player_->ButtonWidth();
        }
        MapWindowPoints(player_->hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) return E_POINTER;
        VariantInit(end);
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const LONG n = player_->shownCount();
        LONG to = 0;
        if (isSelf(start)) {
            if (direction == NAVDIR_FIRSTCHILD) to = 1;
            else if (direction == NAVDIR_LASTCHILD) to = n;
            else return DISP_E_MEMBERNOTFOUND;  // the control's neighbours are its window's to tell
        } else {
            if (!button(start)) return E_INVALIDARG;
            if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) to = start.lVal + 1;
            else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) to = start.lVal - 1;
            else return DISP_E_MEMBERNOTFOUND;
        }
        if (to < 1 || to > n) return S_FALSE;
        *end = childVariant(to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (at == nullptr) return E_POINTER;
        VariantInit(at);
        if (!live()) return CO_E_OBJNOTCONNECTED;
        POINT p{x, y};
        ScreenToClient(player_->hwnd(), &p);
        RECT r{};
        GetClientRect(player_->hwnd(), &r);
        if (!PtInRect(&r, p)) return S_FALSE;
        LONG id = CHILDID_SELF;
        for (TMPBtnType b : kAll) {  // a shared border column is the left button's
            const int left = player_->buttonLeft(b);
            if (left >= 0 && p.x >= left && p.x < left + player_->ButtonWidth()) {
                id = idOf(b);
                break;
            }
        }
        *at = childVariant(id);
        return S_OK;
    }
    // The press comes to the control through its message loop, as a Space key does.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const std::optional<TMPBtnType> b = button(child);
        if (!b) return isSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
        if (!available(*b)) return DISP_E_MEMBERNOTFOUND;
        return PostMessageW(player_->hwnd(), PlayerAccessibility::kPressMessage, static_cast<WPARAM>(*b), 0)
                   ? S_OK
                   : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~PlayerAccessible() = default;

    bool live() const { return player_ != nullptr && player_->hwnd() != nullptr; }
    static bool isSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }
    // The button of a child id: the id-th shown button.
    std::optional<TMPBtnType> button(const VARIANT& v) const {
        if (v.vt != VT_I4 || v.lVal < 1) return std::nullopt;
        LONG id = 0;
        for (TMPBtnType b : kAll) {
            if (player_->VisibleButtons().contains(b) && ++id == v.lVal) return b;
        }
        return std::nullopt;
    }
    LONG idOf(TMPBtnType button) const { return childIdOf(*player_, button); }
    bool available(TMPBtnType b) const { return IsWindowEnabled(player_->hwnd()) && player_->pressableByKeyboard(b); }

    template <class Make>
    HRESULT answerText(const VARIANT& child, BSTR* out, Make make) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!live()) return CO_E_OBJNOTCONNECTED;
        const std::optional<TMPBtnType> b = button(child);
        if (!b && !isSelf(child)) return E_INVALIDARG;
        const std::wstring s = make(b, *owner_);
        if (s.empty()) return S_FALSE;
        *out = text(s);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT none(const VARIANT& child, BSTR* out) {
        return answerText(child, out, [](std::optional<TMPBtnType>, const PlayerAccessibility&) { return std::wstring(); });
    }

    std::atomic<ULONG> references_{1};
    TMediaPlayer* player_;
    PlayerAccessibility* owner_;
};
#pragma GCC diagnostic pop

LRESULT PlayerAccessibility::answer(WPARAM wParam, LPARAM lParam) {
    HWND h = player_.hwnd();
    // The object id comes as a 32-bit value; compared as such, as Windows asks.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || h == nullptr) {
        return DefWindowProcW(h, WM_GETOBJECT, wParam, lParam);
    }
    if (object_ == nullptr) object_ = new PlayerAccessible(player_, *this);
    // The id from the interface's declaration: the import library's IID_IAccessible is
    // data exported by oleacc.dll, which the program's static link would read wrongly.
    return LresultFromObject(__uuidof(IAccessible), wParam, object_);
}

void PlayerAccessibility::disconnect() {
    if (object_ == nullptr) return;
    PlayerAccessible* object = object_;
    object_ = nullptr;
    object->cutOff();
    // Clients in other processes are told at once; their next call fails there.
    CoDisconnectObject(object, 0);
    object->Release();
}

void PlayerAccessibility::statesChanged() const {
    HWND h = player_.hwnd();
    if (h == nullptr) return;
    for (LONG id = 1; id <= player_.shownCount(); ++id) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, h, OBJID_CLIENT, id);
}

void PlayerAccessibility::focusMoved() const {
    HWND h = player_.hwnd();
    if (h == nullptr || GetFocus() != h) return;
    const LONG id = childIdOf(player_, player_.FocusedButton());
    if (id != CHILDID_SELF) NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, id);
}

}  // namespace tb
