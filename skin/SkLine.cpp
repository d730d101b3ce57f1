#include "skin/SkLine.h"

#include <shlwapi.h>

#include <cstring>

#include "base/Handle.h"

namespace {

struct PenStyleName {
    const char* name;
    int style;
};

const PenStyleName kPenStyles[] = {
    {"solid", PS_SOLID},           {"dash", PS_DASH}, {"dot", PS_DOT}, {"dashdot", PS_DASHDOT},
    {"dashdotdot", PS_DASHDOTDOT},
};

} // namespace

HRESULT CSkLine::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "size") == 0) {
        m_size = StrToIntA(value);
        return S_FALSE;
    }
    if (std::strcmp(name, "style") == 0) {
        for (const PenStyleName& pen : kPenStyles) {
            if (value && std::strcmp(value, pen.name) == 0) {
                m_penStyle = pen.style;
                return S_FALSE;
            }
        }
    }
    return E_FAIL;
}

BOOL CSkLine::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != SKM_PAINT)
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    Paint(reinterpret_cast<HDC>(wParam));
    return TRUE;
}

void CSkLine::Paint(HDC hdc) const
{
    CPenHandle pen(CreatePen(m_penStyle, m_size, m_style.crbg));
    CSelectObject selected(hdc, pen);
    MoveToEx(hdc, m_rect.left, m_rect.top, nullptr);
    LineTo(hdc, m_rect.right, m_rect.bottom);
}
