// The web pop-up that the pop-ups' script object closes.
#pragma once

class CScriptPopupOwner {
public:
    // The page's close request, with the value it passed.
    virtual void ClosePopup(int value) = 0;

protected:
    ~CScriptPopupOwner() = default;
};
