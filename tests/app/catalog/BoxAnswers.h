// Answers the program's message boxes on the test's thread, in turn, from
// a list of button ids, and notes what each box said.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "base/WindowClass.h"
#include "base/WindowImpl.h"
#include "skin/CorvaneMsgBox.h"
#include "tests/skin/MsgBoxAnswer.h"

// Answers every message box this thread shows, in turn, from a list; a box
// beyond the list is closed with its close button and counts as unexpected.
class CBoxAnswers {
public:
    struct Shown {
        std::wstring text;
        std::wstring caption;
        UINT type;
    };
    std::vector<Shown> shown;

    explicit CBoxAnswers(std::deque<UINT> answers = {}) : m_answers(std::move(answers))
    {
        static CWindowClass cls(0);
        m_window.owner = this;
        m_window.Create(cls, HWND_MESSAGE, RECT{}, L"", 0);
        SetTimer(m_window.m_hWnd, 1, 10, nullptr);
    }
    ~CBoxAnswers() { m_window.DestroyWindow(); }
    void Expect(std::deque<UINT> answers) { m_answers = std::move(answers), shown.clear(); }
    bool AllUsed() const { return m_answers.empty(); }

private:
    class CTicker : public CWindowImpl {
    public:
        CBoxAnswers* owner = nullptr;

    protected:
        BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) override
        {
            if (msg != WM_TIMER)
                return FALSE;
            owner->Tick();
            result = 0;
            return TRUE;
        }
    };

    void Tick()
    {
        SkWinManager* manager = SkWinManager::Instance();
        HWND active = manager ? manager->GetActiveDialog() : nullptr;
        auto* box = dynamic_cast<CCorvaneMsgBox*>(CWindowImpl::FromHandle(active));
        if (!box || !IsWindowVisible(box->m_hWnd) || m_answered.count(box->m_hWnd))
            return;
        m_answered.insert(box->m_hWnd);
        shown.push_back({box->m_text.GetString(), box->m_caption.GetString(), box->m_type});
        UINT answer = IDC_MSGBOX_CLOSE;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        } else {
            ADD_FAILURE() << "unexpected box: " << CString(box->m_text).ToAnsi();
        }
        ClickBoxItem(*box, answer);
    }

    std::deque<UINT> m_answers;
    std::set<HWND> m_answered;
    CTicker m_window;
};
