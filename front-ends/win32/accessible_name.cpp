// Names and descriptions for screen readers. Windows takes a control's name from its
// text, or an edit's and a list's from the label before it; several of the program's
// controls need another (a button whose text is "Play" plays the selected entry). The
// property service that would set it (IAccPropServices) is a stub in Wine, so each such
// control answers WM_GETOBJECT itself: its own accessible object, or Windows' for its
// kind, with the name and description replaced. (IIDs by __uuidof: mingw's import
// library gives IID_IAccessible as a call stub, not the IID.)
#include "front-ends/win32/designed_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

namespace tb {
namespace {

struct Names {
    std::wstring name, description;
};

// A COM object ends in its own Release, never through a pointer to its interface, so
// the interface needs no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* inner, const Names& names) : inner_(inner), names_(names) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            inner_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        return inner_->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* arg) override {
        return inner_->Invoke(id, riid, lcid, flags, params, result, info, arg);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return self(child) && !names_.name.empty() ? text(names_.name, out) : inner_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return self(child) && !names_.description.empty() ? text(names_.description, out)
                                                          : inner_->get_accDescription(child, out);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return inner_->get_accParent(out); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override { return inner_->get_accChildCount(out); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return inner_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override { return inner_->get_accValue(child, out); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override { return inner_->get_accRole(child, out); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        return inner_->get_accState(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return inner_->get_accHelp(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return inner_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return inner_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return inner_->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return inner_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return inner_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        return inner_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* out) override {
        return inner_->accNavigate(dir, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override { return inner_->accHitTest(x, y, out); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return inner_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;
    static bool self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    static HRESULT text(const std::wstring& s, BSTR* out) {
        if (out == nullptr) return E_POINTER;
        *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    LONG refs_ = 1;
    IAccessible* inner_;
    const Names names_;
};
#pragma GCC diagnostic pop

LRESULT CALLBACK answerForScreenReaders(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) noexcept {
    auto* names = reinterpret_cast<Names*>(data);
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        // The control's own object where it has one (the player's), else Windows' for its kind.
        IAccessible* standard = nullptr;
        const LRESULT own = DefSubclassProc(control, message, wParam, lParam);
        const HRESULT found =
            own > 0 ? ObjectFromLresult(own, __uuidof(IAccessible), wParam, reinterpret_cast<void**>(&standard))
                    : CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&standard));
        if (SUCCEEDED(found) && standard != nullptr) {
            auto* named = new NamedAccessible(standard, *names);
            const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
            named->Release();
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &answerForScreenReaders, 0);
        delete names;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void nameForScreenReaders(HWND control, const std::wstring& name, const std::wstring& description) {
    auto* names = new Names{name, description};
    if (!SetWindowSubclass(control, &answerForScreenReaders, 0, reinterpret_cast<DWORD_PTR>(names))) delete names;
}

}  // namespace tb
