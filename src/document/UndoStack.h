#pragma once
// CTXUndoStack: one history (undo or redo) of step records in a private temporary file.
//
// File layout: step records, oldest first, no header. A record is, little-endian:
//   int32 kind, int32 recalculation flags, int32 argument, the snapshot bytes, int32 length
// where length counts the bytes from the record start up to the length field (12 + snapshot).
// The trailing length lets the top record be found from the end: it starts at
// size - 4 - length. `size` is the byte length of the valid history; the file is cut to it.
//
// The file is created in the temporary folder as "~TX" + the last five hex digits of a counter
// that starts at the tick count, + ".TMP", exclusively (a name that exists is never reused), and
// deleted with the stack. A stack whose file cannot be created stays closed: it records nothing
// and offers nothing. A read or write error (or a record that does not fit the file) is reported
// once through the error handler, after which the stack is closed and emptied, so the caller
// never works from half a record.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QFile;

class CTXUndoStack {
public:
    using ErrorHandler = std::function<void(const QString& message)>;
    // Makes the file object for a path; tests pass files that fail on demand.
    using FileFactory = std::function<std::unique_ptr<QFile>(const QString& path)>;

    struct Step {
        int32_t kind = 0;
        int32_t recalcFlags = 0;
        int32_t argument = 0;
        QByteArray snapshot;
    };

    // `menuFormatId` is the "&Undo %s..." text, `emptyTextId` the "Can't Undo" text.
    CTXUndoStack(int menuFormatId, int emptyTextId);
    ~CTXUndoStack();
    CTXUndoStack(const CTXUndoStack&) = delete;
    CTXUndoStack& operator=(const CTXUndoStack&) = delete;

    // Creates and opens the temporary file in `folder`; false (the stack stays closed) when no
    // file can be created there.
    bool Create(const QString& folder, const FileFactory& factory = {});
    void SetErrorHandler(ErrorHandler handler) { m_onError = std::move(handler); }

    bool IsOpen() const { return m_open; }
    bool IsEmpty() const { return m_size == 0; }
    qint64 Size() const { return m_size; }
    int Depth() const { return int(m_steps.size()); }
    const QString& Path() const { return m_path; }
    // Kind of the top record, or -1 when the stack is empty.
    int32_t TopKind() const { return m_steps.empty() ? -1 : m_steps.back().kind; }

    // The menu format filled with the name of the top kind, or the empty text.
    QString MenuText() const;

    // Appends a record; false when the stack is closed or the write failed.
    bool Push(const Step& step);
    // Reads the top record from the file; false when empty, closed or on error.
    bool ReadTop(Step* step);
    // Removes the top record (size = its start, file cut to size).
    bool Pop();
    // Empties the history and cuts the file to length 0.
    void Clear();
    // Reports `what` once and closes the stack (used also when a record cannot be restored).
    void Fail(const QString& what);

private:
    struct Entry {
        qint64 start = 0;
        int32_t kind = 0;
    };

    QString m_path;
    std::unique_ptr<QFile> m_file;
    bool m_open = false;
    qint64 m_size = 0;
    std::vector<Entry> m_steps;  // start and kind of every record, oldest first
    int m_menuFormatId;
    int m_emptyTextId;
    ErrorHandler m_onError;
};

// The name of step kind `kind` (text 32552 + kind).
QString UndoStepName(int32_t kind);
