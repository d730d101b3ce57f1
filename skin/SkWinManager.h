// The process-wide record of the modal skin dialog that is active on each
// thread, so that the next modal dialog of that thread is owned by it, and
// the paint lock that keeps two UI threads from rendering at once.
//
// The program keeps one as a member of its module state; the first one
// made becomes the process-wide manager and stays it until it goes.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "base/CriticalSection.h"

class SkWinManager {
public:
    SkWinManager();
    SkWinManager(const SkWinManager&) = delete;
    SkWinManager& operator=(const SkWinManager&) = delete;
    ~SkWinManager();

    // The process-wide manager, or null when there is none.
    static SkWinManager* Instance() noexcept;

    // Makes hwnd (null: none) the calling thread's active modal dialog and
    // returns the one it replaces (null when none).
    HWND SetActiveDialog(HWND hwnd);
    // The calling thread's active modal dialog, or null.
    HWND GetActiveDialog();

    // Held while a view renders into its back buffer.
    CCriticalSection& PaintLock() noexcept { return m_paintLock; }

private:
    CCriticalSection m_mapLock;
    CCriticalSection m_paintLock;
    std::unordered_map<DWORD, HWND> m_activeDialogs; // thread id to dialog
};

// Holds the process-wide manager's paint lock for one scope, when there is
// a manager.
class CSkPaintLock {
public:
    CSkPaintLock() noexcept;
    CSkPaintLock(const CSkPaintLock&) = delete;
    CSkPaintLock& operator=(const CSkPaintLock&) = delete;
    ~CSkPaintLock();

private:
    SkWinManager* m_manager;
};
