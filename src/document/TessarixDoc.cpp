#include "document/TessarixDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "document/DocStrings.h"
#include "document/SettingsCheck.h"
#include "document/MapNotify.h"
#include "document/UndoStack.h"
#include "document/UndoStackSnapshot.h"
#include "util/Archive.h"
#include "util/SafeFileWriter.h"
#include "util/StringTable.h"

namespace {

constexpr char kMagic[4] = {'T', 'S', 'R', 'T'};
// Optional blocks after the reserved words, each a four-letter tag followed by its fields and
// written only when what it holds differs from the defaults, so a file without them is byte for
// byte what earlier versions wrote. A reader stops at the first tag it does not know (a later
// version's block); earlier versions read only the axis labels and only as the first block, so
// that block stays first.
//   "TXAX": the three axis labels (strings).
//   "TXIP": interpolation options: int32 version (1), int32 energy interpolation (0 or 1).
constexpr char kAxisLabelTag[4] = {'T', 'X', 'A', 'X'};
constexpr char kInterpolationTag[4] = {'T', 'X', 'I', 'P'};
constexpr int32_t kInterpolationBlockVersion = 1;

bool IsTag(const char* bytes, const char (&tag)[4])
{
    return std::memcmp(bytes, tag, 4) == 0;
}

void InterpolationBlock(CTXArchive& ar, CTessarixSettings& s)
{
    int32_t version = kInterpolationBlockVersion;
    ar.Int32(version);
    if (version != kInterpolationBlockVersion)
        CTXArchive::FailFormat("unknown interpolation options version");
    // Any nonzero flag is written as 1, so that what is written is always read back.
    int32_t energy = s.energyInterpolation != 0 ? 1 : 0;
    ar.Int32(energy);
    if (energy != 0 && energy != 1)
        CTXArchive::FailFormat("energy interpolation flag neither 0 nor 1");
    if (ar.IsLoading())
        s.energyInterpolation = energy;
}

// More column records than the document has columns: not a format error but a failed open.
struct TooManyColumns {};

}  // namespace

QString DocFileMessage(DocFileStatus status, const QString& path, const QString& reason)
{
    switch (status) {
    case DocFileStatus::Ok:
        return {};
    case DocFileStatus::UnexpectedFormat:
        if (!reason.isEmpty())
            return TxString(IDS_UNEXPECTED_FILE_FORMAT) + QLatin1Char('\n') + reason;
        return TxString(IDS_UNEXPECTED_FILE_FORMAT);
    case DocFileStatus::FileNotFound:
        return TxFormat(IDS_FILE_NOT_FOUND, path);
    case DocFileStatus::AccessDeniedRead:
        return TxFormat(IDS_ACCESS_DENIED_READ, path);
    case DocFileStatus::ReadPermissionDenied:
        return TxFormat(IDS_READ_PERMISSION_DENIED, path);
    case DocFileStatus::AccessDeniedWrite:
        return TxFormat(IDS_ACCESS_DENIED_WRITE, path);
    case DocFileStatus::DiskFull:
        return TxString(IDS_DISK_FULL);
    case DocFileStatus::OpenFailed:
        return TxString(IDS_FAILED_TO_OPEN_DOC);
    case DocFileStatus::SaveFailed:
        return TxString(IDS_FAILED_TO_SAVE_DOC);
    }
    return {};
}

DocFileStatus OpenErrorStatus(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return DocFileStatus::FileNotFound;
    case EACCES:
    case EPERM:
        return DocFileStatus::ReadPermissionDenied;
    case EBUSY:
    case ETXTBSY:
        return DocFileStatus::AccessDeniedRead;
    default:
        return DocFileStatus::OpenFailed;
    }
}

namespace {

// Reads the whole file at `path`. Returns 0, or the system's error number of the failed open
// (through the C library, which keeps errno where QFile reports only OpenError), or EIO when
// reading failed after the open.
int ReadWholeFile(const QString& path, QByteArray* bytes)
{
    errno = 0;
    std::FILE* handle = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!handle)
        return errno != 0 ? errno : EIO;
    QFile file;
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(handle);
        return EIO;
    }
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? 0 : EIO;
}

}  // namespace

CTessarixDoc::CTessarixDoc(std::unique_ptr<IMapComputations> maps)
    : m_maps(maps ? std::move(maps) : std::make_unique<CIdleMapComputations>()), m_image(std::make_unique<CTXImage>()),
      m_undo(std::make_unique<CTXUndoStack>(IDS_UNDO_FORMAT, IDS_UNDO_EMPTY)),
      m_redo(std::make_unique<CTXUndoStack>(IDS_REDO_FORMAT, IDS_REDO_EMPTY))
{
    auto report = [this](const QString& message) {
        if (m_undoError)
            m_undoError(message);
        else
            qWarning("%s", qPrintable(message));
    };
    m_undo->SetErrorHandler(report);
    m_redo->SetErrorHandler(report);
    m_undo->Create(QDir::tempPath());
    m_redo->Create(QDir::tempPath());
    ResetContentsToDefaults();
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        ResetPrintSettings(m_printBlocks[size_t(kind)], kind);
}

CTessarixDoc::~CTessarixDoc()
{
    m_maps.reset();  // stops the workers before anything they were given goes away
}

void CTessarixDoc::AppendDefaultColumns()
{
    for (int c = 0; c < kColumnCount; ++c)
        m_columns.push_back(std::make_unique<CTessarixDataColumn>(c == 0, DefaultColumnName(c)));
}

void CTessarixDoc::ResetContentsToDefaults()
{
    m_pointCount = 0;
    m_x.clear();
    m_y.clear();
    m_columns.clear();
    AppendDefaultColumns();
    m_settings.ResetToDefaults();
    m_inputGrid = CoordinateInputGrid();
    m_image->Clear();
    m_axes[AxisX] = CMapAxis(CMapAxis::BelowHorizontal, {});
    m_axes[AxisY] = CMapAxis(CMapAxis::LeftOfVertical, {});
    m_axes[AxisZ] = CMapAxis(CMapAxis::RightOfVertical, {});
    RefreshAxes(PropAllAxes);
}

void CTessarixDoc::DeleteContents()
{
    m_pointCount = 0;
    m_columns.clear();
    m_x.clear();
    m_y.clear();
    m_maps->Reset();
    // The undo and redo histories belong to the contents and are emptied with them.
    m_undo->Clear();
    m_redo->Clear();
}

void CTessarixDoc::OnNewDocument()
{
    DeleteContents();
    ResetContentsToDefaults();
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        ResetPrintSettings(m_printBlocks[size_t(kind)], kind);
    m_pathName.clear();
    m_modified = false;
    RefreshAxes(PropAllAxes);
    RequestMaps(RECALC_ALL);
    NotifyDocumentChanged(ChangeColumns);
}

QStringList CTessarixDoc::EnabledColumnNames() const
{
    QStringList names;
    for (const auto& c : m_columns)
        if (c->enabled)
            names.append(c->name);
    return names;
}

std::vector<int32_t> CTessarixDoc::EnabledColumnIndices() const
{
    std::vector<int32_t> indices;
    for (int i = 0; i < ColumnCount(); ++i)
        if (m_columns[size_t(i)]->enabled)
            indices.push_back(i);
    return indices;
}

void CTessarixDoc::SetPointTable(int32_t pointCount, CTXFloatArray x, CTXFloatArray y,
                                 const std::array<CTXFloatArray, kColumnCount>& values)
{
    m_pointCount = std::max(0, pointCount);
    m_x = std::move(x);
    m_y = std::move(y);
    m_x.resize(size_t(m_pointCount));
    m_y.resize(size_t(m_pointCount));
    for (int c = 0; c < ColumnCount(); ++c) {
        CTXFloatArray& v = m_columns[size_t(c)]->values;
        v = values[size_t(c)];
        v.resize(size_t(m_pointCount));
    }
}

void CTessarixDoc::InsertPoint(float x, float y, const CTXFloatArray& values)
{
    ApplyChange({StepInsertPoint, RECALC_ALL}, [&] {
        ++m_pointCount;
        m_x.push_back(x);
        m_y.push_back(y);
        size_t k = 0;
        for (auto& column : m_columns) {
            if (column->enabled) {
                column->values.push_back(k < values.size() ? values[k] : 0.0f);
                ++k;
            } else {
                column->values.push_back(0.0f);
            }
        }
    });
}

int CTessarixDoc::SetColumnDefinitions(const std::array<bool, kColumnCount>& enabled,
                                       const std::array<QString, kColumnCount>& names)
{
    int level = ChangeData;
    for (int c = 0; c < kColumnCount; ++c)
        if ((m_columns[size_t(c)]->enabled != 0) != enabled[size_t(c)])
            level = ChangeColumns;
    if (level == ChangeData)
        for (int c = 0; c < kColumnCount; ++c)
            if (m_columns[size_t(c)]->name != names[size_t(c)])
                level = ChangeNames;

    // Names are not drawn on the maps; a newly enabled column needs its whole map.
    const int work = level == ChangeColumns ? RECALC_ALL : 0;
    ApplyChange({StepMapSetup, work, level}, [&] {
        for (int c = 0; c < kColumnCount; ++c) {
            m_columns[size_t(c)]->enabled = (c == 0 || enabled[size_t(c)]) ? 1 : 0;
            m_columns[size_t(c)]->name = names[size_t(c)];
        }
    });
    return level;
}

namespace {

// The drawing axis of an axis property group, or -1 for the other groups.
int AxisOfGroup(int32_t group)
{
    switch (group) {
    case PropGroupXAxis:
        return CTessarixDoc::AxisX;
    case PropGroupYAxis:
        return CTessarixDoc::AxisY;
    case PropGroupZAxis:
        return CTessarixDoc::AxisZ;
    default:
        return -1;
    }
}

}  // namespace

void CTessarixDoc::RefreshAxes(int id)
{
    AxisSettings* source[3] = {&m_settings.xAxis, &m_settings.yAxis, &m_settings.zAxis};
    auto apply = [&](int32_t identifier) {
        const int axis = AxisOfGroup(PropertyGroupOf(identifier));
        if (axis < 0)
            return;
        const AxisSettings& s = *source[axis];
        CMapAxis& a = m_axes[size_t(axis)];
        switch (AxisRowOf(identifier)) {
        case AxisRowFont:
            a.font = s.font;
            a.color = s.fontColor;
            break;
        case AxisRowRange:
            a.SetAxisRange(s.start, s.stop, s.step);
            if (axis == AxisZ)
                m_pendingWork |= RECALC_CONTOURS;
            break;
        case AxisRowLabel:
            a.title = s.label;
            break;
        case AxisRowScaleMode:
            if (axis == AxisZ)
                m_pendingWork |= RECALC_CONTOURS;
            break;
        default:
            break;
        }
    };
    if (id == PropAllAxes) {
        for (int32_t group : {PropGroupXAxis, PropGroupYAxis, PropGroupZAxis})
            for (int32_t row : {AxisRowFont, AxisRowRange, AxisRowLabel})
                apply(group + row);
        return;
    }
    apply(id);
}

void CTessarixDoc::MoveColorScale(bool up)
{
    // The levels are the multiples of the step inside the new range, so the contours are traced
    // again along with the picture.
    ApplyChange({StepMoveColorScale, RECALC_CONTOURS | RECALC_BITMAP}, [&] { m_settings.ShiftColourRange(up); });
}

bool CTessarixDoc::AutoScaleColor(int column)
{
    // The range of what the map was interpolated from: the measured values together with the
    // boundary and conditioning points, whose levels the map shows as well.
    float lo = 0.0f, hi = 0.0f;
    const bool hasValues = m_maps->InputValueRange(column, &lo, &hi);
    CTessarixSettings trial = m_settings;
    if (!trial.AutoRangeColour(lo, hi, hasValues))
        return false;
    ApplyChange({StepAutoScaleColor, RECALC_CONTOURS}, [&] { m_settings.AutoRangeColour(lo, hi, true); });
    return true;
}

bool CTessarixDoc::SetMapMode(int mode)
{
    mode = std::clamp(mode, int(MapModeNormal), int(MapModeImageColorMap));
    if (m_settings.mapMode == mode)
        return false;
    ApplyChange({StepMapMode, RECALC_BITMAP}, [&] { m_settings.mapMode = mode; });
    return true;
}

void CTessarixDoc::OnViewSizeChanged(const TxRect& client)
{
    if (client.Height() == m_clientRect.Height() &&
        (m_clientRect.Width() == client.Width() || m_clientRect.Width() == client.Width() + 1))
        return;
    m_clientRect = client;
    RequestMaps(RECALC_CONTOURS | RECALC_BITMAP);
}

void CTessarixDoc::SetScreenResolution(int dpiX, int dpiY)
{
    m_dpiX = std::max(1, dpiX);
    m_dpiY = std::max(1, dpiY);
}

void CTessarixDoc::RequestMaps(int work)
{
    m_layout = ComputeMapLayout(m_clientRect, m_dpiX, m_dpiY, m_axes[AxisX], m_axes[AxisY],
                                m_axes[AxisZ], m_settings.xAxis.hidden, m_settings.yAxis.hidden,
                                m_settings.zAxis.hidden, m_settings.borderPen.width);
    m_axes[AxisX].SetAxisRect(m_layout.graph);
    m_axes[AxisY].SetAxisRect(m_layout.graph);

    work |= m_pendingWork;
    m_pendingWork = 0;
    const int active = m_notify ? int(m_notify->SendMapNotify(MapNotifyActiveColumn, 0)) : 0;
    std::vector<int> enabled;
    for (int i = 0; i < ColumnCount(); ++i)
        if (m_columns[size_t(i)]->enabled)
            enabled.push_back(i);
    // Counted only when it makes a map outstanding, so that every count is answered by exactly
    // one MapReady, whichever of the two reaches the frame first.
    const int requests = m_maps->RequestColumns(*this, enabled, active, work);
    if (m_notify)
        m_notify->PostMapNotify(MapNotifyMapsRequested, requests);
}

void CTessarixDoc::BeginUndoableChange(const DocChange& change)
{
    m_redo->Clear();
    if (m_undo->IsOpen())
        m_undo->Push({change.kind, change.recalcFlags, change.argument,
                      UndoSnapshotBytes(*this, change.kind, change.argument)});
}

void CTessarixDoc::FinishChange(const DocChange& change)
{
    // The document now differs from what was saved, so closing must ask before discarding it.
    SetModifiedFlag();
    if (change.kind == StepProperty)
        RefreshAxes(change.argument == 0 ? PropAllAxes : change.argument);
    else if (change.kind == StepAutoScaleColor || change.kind == StepMoveColorScale)
        RefreshAxes(PropZRange);
    NotifyDocumentChanged(ChangeLevelOf(change));
    if (change.recalcFlags != 0)
        RequestMaps(change.recalcFlags);
}

bool CTessarixDoc::CanUndo() const
{
    return m_undo->IsOpen() && !m_undo->IsEmpty();
}

bool CTessarixDoc::CanRedo() const
{
    return m_redo->IsOpen() && !m_redo->IsEmpty();
}

QString CTessarixDoc::UndoMenuText() const
{
    return m_undo->MenuText();
}

QString CTessarixDoc::RedoMenuText() const
{
    return m_redo->MenuText();
}

void CTessarixDoc::Undo()
{
    TransferStep(*m_undo, *m_redo);
}

void CTessarixDoc::Redo()
{
    TransferStep(*m_redo, *m_undo);
}

void CTessarixDoc::SetUndoErrorHandler(std::function<void(const QString&)> handler)
{
    m_undoError = std::move(handler);
}

void CTessarixDoc::TransferStep(CTXUndoStack& from, CTXUndoStack& to)
{
    CTXUndoStack::Step step;
    if (!from.ReadTop(&step))
        return;
    // The snapshot is read into a copy first: a damaged record must not touch the document.
    CTXUndoDocumentState restored;
    try {
        restored = RestoreUndoSnapshot(*this, step.kind, step.argument, step.snapshot);
    } catch (const CTXArchiveError& e) {
        from.Fail(QString::fromLatin1(e.what()));
        return;
    } catch (const std::bad_alloc&) {
        from.Fail(QStringLiteral("out of memory"));
        return;
    }
    // The present state goes onto the other stack before it is replaced.
    to.Push({step.kind, step.recalcFlags, step.argument, UndoSnapshotBytes(*this, step.kind, step.argument)});
    ApplyUndoState(*this, std::move(restored));
    from.Pop();
    // Undoing a Map Setup changes the names or the set of enabled columns back: the same level
    // as the change itself, so the tabs follow.
    FinishChange({UndoStepKind(step.kind), step.recalcFlags, step.argument});
}

bool CTessarixDoc::ImportImage(const QString& path, int filterIndex)
{
    CTXImage picture;
    if (!picture.Import(path, filterIndex))
        return false;
    ReplaceImage(picture);
    return true;
}

void CTessarixDoc::ReplaceImage(const CTXImage& picture)
{
    // Undo and redo run while the map mode is what it is now (a later mode change is undone
    // first), so the flags decided here hold for them too.
    const bool shown = m_settings.mapMode == MapModeImage || m_settings.mapMode == MapModeImageColorMap;
    ApplyChange({StepImage, shown ? RECALC_BITMAP : 0}, [&] { *m_image = picture; });
}

QString CTessarixDoc::Title() const
{
    if (m_pathName.isEmpty())
        return TxString(IDS_UNTITLED);
    return QFileInfo(m_pathName).fileName();
}

void CTessarixDoc::NotifyDocumentChanged(int level)
{
    if (m_notify)
        m_notify->SendMapNotify(MapNotifyDocumentChanged, level);
}

// ---- document file ----

void CoordinateInputGrid::Serialize(CTXArchive& ar)
{
    ar.Int32(snapMouse);
    ar.Float(snapX);
    ar.Float(snapY);
    ar.Int32(roundKeyboard);
    ar.Float(roundX);
    ar.Float(roundY);
}

QByteArray CTessarixDoc::WriteFileBytes()
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    SerializeFile(ar);
    return bytes;
}

void CTessarixDoc::SerializeFile(CTXArchive& ar)
{
    char magic[4];
    std::memcpy(magic, kMagic, 4);
    ar.Bytes(magic, 4);
    if (std::memcmp(magic, kMagic, 4) != 0)
        CTXArchive::FailFormat("not a document file");
    int32_t version = 0;
    ar.Int32(version);
    if (version != 0)
        CTXArchive::FailFormat("unknown document version");
    int32_t n = m_pointCount;
    ar.Count(n, 8);  // the X and Y lists alone need 8 bytes a point
    int32_t columns = ColumnCount();
    ar.Int32(columns);
    if (ar.IsLoading()) {
        if (columns < 0)
            CTXArchive::FailFormat("negative column count");
        m_pointCount = n;
        m_columns.clear();
        AppendDefaultColumns();
        if (columns > kColumnCount)
            throw TooManyColumns{};
    }
    for (int i = 0; i < columns; ++i)
        m_columns[size_t(i)]->Serialize(ar, n);
    // Columns an older file does not hold keep their defaults, padded to the point count.
    for (int i = columns; i < kColumnCount; ++i)
        m_columns[size_t(i)]->values.assign(size_t(n), 0.0f);
    ar.Floats(m_x, n);
    ar.Floats(m_y, n);
    m_settings.Serialize(ar);
    if (ar.IsLoading())
        m_loadNotes = CheckLoadedSettings(m_settings);
    m_inputGrid.Serialize(ar);
    m_image->Serialize(ar, true);
    for (int i = 0; i < 10; ++i) {
        int32_t reserved = 0;
        ar.Int32(reserved);
    }
    SerializeOptionalBlocks(ar);
}

void CTessarixDoc::SerializeOptionalBlocks(CTXArchive& ar)
{
    AxisSettings* axes[3] = {&m_settings.xAxis, &m_settings.yAxis, &m_settings.zAxis};
    auto axisLabels = [&] {
        for (AxisSettings* a : axes)
            ar.String(a->label);
    };
    if (ar.IsStoring()) {
        bool customLabels = false;
        for (int i = 0; i < 3; ++i)
            customLabels |= axes[i]->label != QLatin1String(kDefaultAxisLabels[i]);
        if (customLabels) {
            ar.Bytes(const_cast<char*>(kAxisLabelTag), 4);
            axisLabels();
        }
        if (m_settings.energyInterpolation != 0) {
            ar.Bytes(const_cast<char*>(kInterpolationTag), 4);
            InterpolationBlock(ar, m_settings);
        }
        return;
    }
    // A file without a block has its defaults.
    for (int i = 0; i < 3; ++i)
        axes[i]->label = QString::fromLatin1(kDefaultAxisLabels[i]);
    m_settings.energyInterpolation = 0;
    while (ar.Remaining() >= 4) {
        char tag[4];
        ar.Bytes(tag, 4);
        if (IsTag(tag, kAxisLabelTag))
            axisLabels();
        else if (IsTag(tag, kInterpolationTag))
            InterpolationBlock(ar, m_settings);
        else
            return;
    }
}

DocFileStatus CTessarixDoc::ReadFileBytes(const QByteArray& bytes)
{
    DeleteContents();
    m_loadNotes.clear();
    m_loadFailureReason.clear();
    DocFileStatus status = DocFileStatus::Ok;
    try {
        CTXArchive ar(bytes);
        SerializeFile(ar);
    } catch (const CTXArchiveError& e) {
        status = DocFileStatus::UnexpectedFormat;
        m_loadFailureReason = e.UserReason();
    } catch (const TooManyColumns&) {
        status = DocFileStatus::OpenFailed;
    } catch (const std::bad_alloc&) {
        status = DocFileStatus::OpenFailed;
    }
    if (status != DocFileStatus::Ok) {
        DeleteContents();
        ResetContentsToDefaults();
    }
    return status;
}

DocFileStatus CTessarixDoc::OnOpenDocument(const QString& path)
{
    DocFileStatus status = DocFileStatus::Ok;
    QByteArray bytes;
    if (!QFileInfo::exists(path)) {
        status = DocFileStatus::FileNotFound;
    } else if (const int error = ReadWholeFile(path, &bytes)) {
        status = OpenErrorStatus(error);
    }
    if (status == DocFileStatus::Ok)
        status = ReadFileBytes(bytes);
    if (status != DocFileStatus::Ok) {
        OnNewDocument();
        return status;
    }
    m_pathName = QFileInfo(path).absoluteFilePath();
    m_modified = false;
    RefreshAxes(PropAllAxes);
    RequestMaps(RECALC_ALL);
    NotifyDocumentChanged(ChangeLoaded);
    return DocFileStatus::Ok;
}

DocFileStatus CTessarixDoc::OnSaveDocument(const QString& path, IFileWriteFaults* faults)
{
    switch (WriteFileSafely(path, WriteFileBytes(), faults)) {
    case FileWriteStatus::Ok:
        break;
    case FileWriteStatus::AccessDenied:
        return DocFileStatus::AccessDeniedWrite;
    case FileWriteStatus::DiskFull:
        return DocFileStatus::DiskFull;
    case FileWriteStatus::Failed:
        return DocFileStatus::SaveFailed;
    }
    m_pathName = QFileInfo(path).absoluteFilePath();
    m_modified = false;
    return DocFileStatus::Ok;
}
