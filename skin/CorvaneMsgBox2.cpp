#include "skin/CorvaneMsgBox2.h"

#include <algorithm>

#include "skin/SkStylePool.h"

namespace {

const wchar_t kDeleteQuestion[] = L"您确定删除吗？";
constexpr int kLineHeight = 18;

} // namespace

int CCorvaneMsgBox2::ShowDeleteConfirm()
{
    CCorvaneMsgBox2 box;
    return box.ShowDeleteConfirmMsg();
}

int CCorvaneMsgBox2::ShowDeleteConfirmMsg()
{
    std::vector<CString> lines;
    const CString question = kDeleteQuestion;
    for (int start = 0;;) {
        const int end = question.Find(L'\n', start);
        lines.push_back(end < 0 ? question.Mid(start) : question.Mid(start, end - start));
        if (end < 0)
            break;
        start = end + 1;
    }
    int widest = 0;
    CString items;
    for (size_t i = 0; i < lines.size(); ++i) {
        widest = std::max(
            widest,
            static_cast<int>(MeasureText(lines[i], "msgtext", FindStyle("msgtext").textmode, 1000, 1000).cx));
        CString item;
        item.Format(L"<text pos=\"0,%d\">%s</text>",
                    lines.size() == 1 ? 10 : kLineHeight * static_cast<int>(i), lines[i].GetString());
        items += item;
    }

    if (!LoadLayout(IDR_DELETE_CONFIRM_LAYOUT))
        return -1;
    m_presetTextSize = TRUE;
    m_textSize = {0, 0, widest + 10, kLineHeight * static_cast<int>(lines.size())};
    m_type = MB_YESNO | MB_ICONQUESTION;
    m_view.SetItemVisible(IDC_MSGBOX_TEXTLINES, TRUE);
    m_view.SetItemVisible(IDC_MSGBOX_TEXT, FALSE);
    m_view.SetPanelXml(IDC_MSGBOX_TEXTLINES, items.ToUtf8());
    LayoutButtonsAndIcon();
    return DoModal();
}
