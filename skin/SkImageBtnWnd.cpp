#include "skin/SkImageBtnWnd.h"

int CSkImageBtnWnd::SkinState() const
{
    if (m_state & SKS_DISABLED)
        return 3;
    if (m_state & SKS_PUSHED)
        return 2;
    if (m_state & SKS_HOVER)
        return 1;
    return 0;
}
