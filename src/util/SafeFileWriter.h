#pragma once
// Saving without ever damaging the file that is there. The new content goes to a temporary file
// in the target's folder, is flushed to the disk, and only then renamed over the target; a
// failure at any step removes the temporary file and leaves the previous file byte for byte as it
// was. The reason of a failure is kept (a full disk is told apart from a refused folder), which
// QSaveFile does not report.

#include <QByteArray>
#include <QString>

enum class FileWriteStatus {
    Ok,
    AccessDenied,  // the folder or the file may not be written (permissions, read-only medium)
    DiskFull,      // no space left (or the user's quota is used up)
    Failed,        // any other input/output error
};

// The system calls of one save, in the order they happen; a test makes any of them fail.
enum class FileWriteStep { Open, Write, Sync, Close, Rename };

class IFileWriteFaults {
public:
    virtual ~IFileWriteFaults() = default;
    // Called before each step; a non-zero errno value makes that step fail with it.
    virtual int Before(FileWriteStep step) = 0;
};

// Each write hands the system at most this many bytes, so a large file takes several writes.
constexpr qsizetype kSafeWriteChunk = 64 * 1024;

FileWriteStatus WriteFileSafely(const QString& path, const QByteArray& bytes, IFileWriteFaults* faults = nullptr);
