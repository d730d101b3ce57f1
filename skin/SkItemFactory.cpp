#include "skin/SkItemFactory.h"

#include <cstring>

#include <tinyxml.h>

#include "skin/SkButton.h"
#include "skin/SkCheckBox.h"
#include "skin/SkContainerWnd.h"
#include "skin/SkDialog.h"
#include "skin/SkDialogFile.h"
#include "skin/SkDrawFileIcon.h"
#include "skin/SkIconWnd.h"
#include "skin/SkImageListHWnd.h"
#include "skin/SkImageBtnWnd.h"
#include "skin/SkImageWnd.h"
#include "skin/SkLine.h"
#include "skin/SkLink.h"
#include "skin/SkMemoryImage.h"
#include "skin/SkProgress.h"
#include "skin/SkRadioBox.h"
#include "skin/SkRealWnd.h"
#include "skin/SkRichText.h"
#include "skin/SkStatic.h"
#include "skin/SkTabCtrl.h"

namespace {

template <typename T> std::unique_ptr<CSkWindow> Make()
{
    return std::make_unique<T>();
}

struct ItemClass {
    const char* tag;
    std::unique_ptr<CSkWindow> (*create)();
};

// In the order the classes are tried.
// clang-format off
const ItemClass kItemClasses[] = {
    {"dlg", &Make<CSkDialog>},
    {"dlgfile", &Make<CSkDialogFile>},
    {"text", &Make<CSkStatic>},
    {"button", &Make<CSkButton>},
    {"img", &Make<CSkImageWnd>},
    {"progress", &Make<CSkProgress>},
    {"imgbtn", &Make<CSkImageBtnWnd>},
    {"realwnd", &Make<CSkRealWnd>},
    {"hr", &Make<CSkLine>},
    {"check", &Make<CSkCheckBox>},
    {"icon", &Make<CSkIconWnd>},
    {"tabctrl", &Make<CSkTabCtrl>},
    {"radio", &Make<CSkRadioBox>},
    {"richtext", &Make<CSkRichText>},
    {"link", &Make<CSkLink>},
    {"memimage", &Make<CSkMemoryImage>},
    {"imglisth", &Make<CSkImageListHWnd>},
    {"iconfrommodule", &Make<CSkDrawFileIcon>},
};
// clang-format on

} // namespace

std::unique_ptr<CSkWindow> CreateSkinItem(const char* tag)
{
    if (!tag)
        return nullptr;
    for (const ItemClass& itemClass : kItemClasses)
        if (std::strcmp(tag, itemClass.tag) == 0)
            return itemClass.create();
    return nullptr;
}

void CreateChildren(CSkContainerWnd* panel, const TiXmlElement* firstElement)
{
    panel->SendSkMessage(SKM_DESTROY);
    for (const TiXmlElement* element = firstElement; element; element = element->NextSiblingElement()) {
        std::unique_ptr<CSkWindow> child = CreateSkinItem(element->Value());
        if (!child)
            continue;
        child->m_parentHandle = panel->m_handle;
        child->SetHostWindow(panel->m_hostWindow);
        child->LoadFromXml(element);
        panel->AppendChild(std::move(child));
    }
}
