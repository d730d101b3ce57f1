// Message boxes in a program that has neither their layouts nor a string
// table: without a layout a box answers -1 at once; with the layouts but no
// strings (captions, button templates) it still comes up, with no buttons,
// and its close button answers.
#include "MsgBoxAnswer.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/CorvaneMsgBox2.h"
#include "skin/SkResource.h"
#include "skin/SkString.h"
#include "tests/support/TempFolder.h"

namespace {

SkWinManager g_manager;

} // namespace

TEST(MsgBoxBare, WithoutLayoutsOrStringsBoxesStillAnswer)
{
    ASSERT_EQ(SkString::Instance().Count(), 0u);
    EXPECT_EQ(CCorvaneMsgBox::Show(L"文本", L"提示", MB_OK), -1);
    EXPECT_EQ(CCorvaneMsgBox2::ShowDeleteConfirm(), -1);
    EXPECT_FALSE(MsgBoxOnScreen);

    // The layouts from a skin folder, the string table still empty.
    CTempFolder folder;
    for (UINT id : {105u, 150u}) {
        std::string layout;
        ASSERT_TRUE(LoadResourceData(9000 + id, L"xml", layout));
        WriteFileBytes(folder / (std::to_wstring(id) + L".xml").c_str(), layout);
    }
    SkResourceFolder::Instance().SetSkinFolder(folder.FolderPath());
    for (int confirm = 0; confirm < 2; ++confirm) {
        size_t panelChildren = 1;
        CString caption = L"(unset)";
        CBoxAnswer answer([&](CCorvaneMsgBox& box) {
            auto* row = AsContainer(box.m_view.FindItem(IDC_MSGBOX_BUTTONS));
            ASSERT_NE(row, nullptr);
            panelChildren = row->Children().size();
            if (CSkWindow* header = box.m_view.FindItem(IDC_MSGBOX_CAPTION))
                caption = header->m_text;
            EXPECT_TRUE(MsgBoxOnScreen);
            ClickBoxItem(box, IDC_MSGBOX_CLOSE);
        });
        const int result = confirm ? CCorvaneMsgBox2::ShowDeleteConfirm()
                                   : CCorvaneMsgBox::Show(L"文本", nullptr, MB_YESNOCANCEL | MB_ICONHAND);
        EXPECT_EQ(result, IDC_MSGBOX_CLOSE);
        EXPECT_EQ(panelChildren, 0u);
        if (!confirm) {
            EXPECT_EQ(caption, L""); // "%str1%" of an empty table
        }
    }
    SkResourceFolder::Instance().SetSkinFolder(CString());
    EXPECT_FALSE(MsgBoxOnScreen);
}
