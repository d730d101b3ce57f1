// Our ActiveX control host: a child window that creates a control by its
// ProgID, serves as its site (CAxControlSite) and activates it in place over
// its client area. The owner may give it an external dispatch, which the
// control's pages see as window.external unless a UI handler on the document
// supplies another.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "app/browser/AxControlSite.h"
#include "base/ComPtr.h"
#include "base/WindowImpl.h"

class CAxHostWindow : public CWindowImpl {
public:
    CAxHostWindow() = default;
    ~CAxHostWindow() override;

    HWND Create(HWND parent, const RECT& rect, DWORD style, UINT id = 0) noexcept;

    // Creates the control named by progId and activates it in place; fails
    // when the window does not exist or holds a control already.
    HRESULT CreateControl(const wchar_t* progId) noexcept;
    // The control's interface; E_NOINTERFACE while there is no control.
    HRESULT QueryControl(REFIID iid, void** out) const noexcept;
    template <typename T> HRESULT QueryControl(T** out) const noexcept
    {
        return QueryControl(__uuidof(T), reinterpret_cast<void**>(out));
    }

    // The owner's external dispatch, held as IDispatch.
    HRESULT SetExternalDispatch(IDispatch* external) noexcept;
    IDispatch* ExternalDispatch() const noexcept;

    // Closes the control and lets go of it; also done when the window goes.
    void DestroyControl() noexcept;

protected:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    CComPtr<CAxControlSite> m_site;
    CComPtr<IUnknown> m_control;
    CComPtr<IDispatch> m_external; // kept for a control made later
};
