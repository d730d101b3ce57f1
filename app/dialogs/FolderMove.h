// The move of the product folder "Ravonyx" from one download root to
// another, which happens whole or not at all, across a kill too.
//
// Before it changes anything the move writes a note (Config\foldermove.txt
// in the program folder) that names every folder and file it will move and
// every file of the target it will set aside. Then, each step checked on
// the disk: the target's folders are made, a file of the target that a
// moved file would replace goes into a kept folder beside the target, and
// each file moves (renamed, or on another disk copied beside its place,
// renamed into it and deleted at the source). Once the source is empty and
// every file is at the target, [DownLoad] Path is written: that one write
// is the point after which the move counts as done. Only then are the kept
// files deleted, and the note last.
//
// The next start (and a later move) reads a note left behind: when Path
// names the new root the move is finished, otherwise it is undone, file by
// file, from what lies where.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RefString.h"

class CFolderMove {
public:
    // programDir: the program folder, with a trailing backslash; the note
    // lives in its Config folder, beside the settings file.
    explicit CFolderMove(const CString& programDir);

    enum class Prepared {
        Ready,
        // A moved file, a kept file or a folder would lie at a path of
        // MAX_PATH or more, which the program could not reach afterwards.
        TooLong,
        // The source is missing or holds what cannot be moved file by file
        // (a link to another folder), or the target is no folder.
        Failed,
    };
    // Looks at both folders: what will be moved, made and set aside.
    // oldPath is [DownLoad] Path as stored, newPath as it will be stored.
    Prepared Prepare(const CString& oldPath, const CString& newPath);
    // The target product folder exists already: the move merges into it.
    bool TargetExists() const { return m_targetExisted; }

    enum class Outcome {
        Moved,
        // A step failed; what was done is undone.
        MoveFailed,
        // Everything moved but Path could not be written; undone as well.
        PathNotWritten,
    };
    // Runs the prepared move to its end, Path written.
    Outcome Run();

    // After a failure: what the undo could not put back, for the user; ""
    // when everything is back. The note then stays for the next start.
    const CString& UndoReport() const { return m_undoReport; }
    // After a move: the target's replaced files that could not be deleted,
    // for the user; "" when they are gone.
    const CString& KeptReport() const { return m_keptReport; }

    // Finishes or undoes a move that a note says did not end. True when no
    // note is left; report tells the user what stays where (a failed undo,
    // kept files that could not be deleted), "" when there is nothing to say.
    // A note that cannot be read whole is set aside, and nothing is changed
    // because of it.
    bool Recover(CString& report);

    // Where the note is.
    static CString NotePath(const CString& programDir);

private:
    // Which file a name holds: its volume, its index there and the time it
    // was last written (an index can be given again to a new file once the
    // old one is deleted). A rename on the volume keeps all three; a copy,
    // or another program's file, has others.
    struct FileId {
        DWORD volume = 0;
        DWORD high = 0;
        DWORD low = 0;
        DWORD writtenHigh = 0;
        DWORD writtenLow = 0;
        bool operator==(const FileId& other) const
        {
            return volume == other.volume && high == other.high && low == other.low &&
                   writtenHigh == other.writtenHigh && writtenLow == other.writtenLow;
        }
    };
    struct File {
        CString name; // relative to the product folders
        ULONGLONG size = 0;
        bool keep = false; // the target has a file of that name
        FileId original;   // that file of the target, which is set aside
    };

    static bool Identify(const CString& path, FileId& id);
    bool Collect(const CString& relative);
    bool FitsMaxPath() const;
    std::string NoteText() const;
    bool ReadNote();
    bool NoteIsSound() const;
    bool WriteNote() const;
    bool DeleteNote() const;

    bool MakeFolders() const;
    bool MoveFiles() const;
    bool RemoveSourceFolders() const;
    bool AllAtTarget() const;
    bool WritePath() const;
    void Undo();
    void UndoFile(size_t index) const;
    bool IsOriginal(const CString& path, const File& file) const;
    void RemoveStagingFolder(const CString& folder) const;
    void Finish();
    CString LeftoversText(const std::vector<CString>& inTarget, const std::vector<CString>& kept) const;

    CString m_note;
    CString m_ini;

    CString m_oldPath;
    CString m_newPath;
    CString m_from; // product folders, with a trailing backslash
    CString m_to;
    CString m_kept;                 // beside the target: its replaced files
    CString m_stage;                // beside the target: copies on their way in
    CString m_back;                 // beside the source: copies on their way back
    std::vector<CString> m_roots;   // made above the target, outermost first
    std::vector<CString> m_folders; // of the source, relative, "" first, parents first
    std::vector<CString> m_made;    // to be made in the target, relative, parents first
    std::vector<File> m_files;
    bool m_targetExisted = false;

    CString m_undoReport;
    CString m_keptReport;
};
