#include "document/UndoStack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <chrono>
#include <cstring>

#include "document/DocStrings.h"
#include "util/StringTable.h"

namespace {

constexpr qint64 kRecordHead = 12;  // kind, flags, argument
// Names tried before giving up on a folder (a full folder of ~TX files, or one we cannot write).
constexpr int kNameAttempts = 4096;

uint32_t TickCount()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QString TempName(uint32_t counter)
{
    QString name = QString::asprintf("%08X", counter);
    name.replace(0, 3, QStringLiteral("~TX"));
    return name + QStringLiteral(".TMP");
}

int32_t ReadLe32(const char* p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

void AppendLe32(QByteArray& out, int32_t v)
{
    const int32_t le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

}  // namespace

QString UndoStepName(int32_t kind)
{
    return TxString(IDS_STEP_NAME_BASE + kind);
}

CTXUndoStack::CTXUndoStack(int menuFormatId, int emptyTextId)
    : m_menuFormatId(menuFormatId), m_emptyTextId(emptyTextId)
{
}

CTXUndoStack::~CTXUndoStack()
{
    if (m_file) {
        m_file->close();
        QFile::remove(m_path);
    }
}

bool CTXUndoStack::Create(const QString& folder, const FileFactory& factory)
{
    // An empty folder name would put the file into the working folder.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    const QDir dir(folder);
    uint32_t counter = TickCount();
    for (int attempt = 0; attempt < kNameAttempts; ++attempt, ++counter) {
        const QString path = dir.absoluteFilePath(TempName(counter));
        if (QFileInfo::exists(path))
            continue;
        std::unique_ptr<QFile> file = factory ? factory(path) : std::make_unique<QFile>(path);
        // NewOnly fails when another process took the name between the check and the open.
        if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            m_path = path;
            m_file = std::move(file);
            m_open = true;
            m_size = 0;
            m_steps.clear();
            return true;
        }
        if (!dir.exists())
            break;
    }
    return false;
}

QString CTXUndoStack::MenuText() const
{
    if (!m_open || m_steps.empty())
        return TxString(m_emptyTextId);
    QString text = TxString(m_menuFormatId);
    text.replace(QLatin1String("%s"), UndoStepName(m_steps.back().kind));
    return text;
}

void CTXUndoStack::Fail(const QString& what)
{
    if (!m_open)
        return;
    m_open = false;
    m_size = 0;
    m_steps.clear();
    if (m_file) {
        m_file->resize(0);
        m_file->close();
        QFile::remove(m_path);
        m_file.reset();
    }
    if (m_onError)
        m_onError(TxFormat(IDS_UNDO_FILE_ERROR, m_path, what));
}

bool CTXUndoStack::Push(const Step& step)
{
    if (!m_open)
        return false;
    const qint64 length = kRecordHead + step.snapshot.size();
    if (length > INT32_MAX - 4) {
        Fail(QStringLiteral("step too large"));
        return false;
    }
    QByteArray record;
    record.reserve(qsizetype(length + 4));
    AppendLe32(record, step.kind);
    AppendLe32(record, step.recalcFlags);
    AppendLe32(record, step.argument);
    record.append(step.snapshot);
    AppendLe32(record, int32_t(length));

    if (!m_file->seek(m_size) || m_file->write(record) != record.size() || !m_file->flush()) {
        Fail(m_file->errorString());
        return false;
    }
    m_steps.push_back({m_size, step.kind});
    m_size += record.size();
    return true;
}

bool CTXUndoStack::ReadTop(Step* step)
{
    if (!m_open || m_steps.empty())
        return false;
    char tail[4];
    if (!m_file->seek(m_size - 4) || m_file->read(tail, 4) != 4) {
        Fail(m_file->errorString());
        return false;
    }
    const qint64 length = ReadLe32(tail);
    const qint64 start = m_size - 4 - length;
    // The length must lead back to where the top record was written.
    if (length < kRecordHead || start != m_steps.back().start) {
        Fail(QStringLiteral("damaged step record"));
        return false;
    }
    QByteArray record(qsizetype(length), Qt::Uninitialized);
    if (!m_file->seek(start) || m_file->read(record.data(), length) != length) {
        Fail(m_file->errorString());
        return false;
    }
    step->kind = ReadLe32(record.constData());
    step->recalcFlags = ReadLe32(record.constData() + 4);
    step->argument = ReadLe32(record.constData() + 8);
    if (step->kind != m_steps.back().kind) {
        Fail(QStringLiteral("damaged step record"));
        return false;
    }
    step->snapshot = record.mid(kRecordHead);
    return true;
}

bool CTXUndoStack::Pop()
{
    if (!m_open || m_steps.empty())
        return false;
    const qint64 start = m_steps.back().start;
    if (!m_file->resize(start)) {
        Fail(m_file->errorString());
        return false;
    }
    m_steps.pop_back();
    m_size = start;
    return true;
}

void CTXUndoStack::Clear()
{
    if (!m_open)
        return;
    m_steps.clear();
    m_size = 0;
    if (!m_file->resize(0))
        Fail(m_file->errorString());
}
