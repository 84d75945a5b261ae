#include "workers/BatchMapRun.h"
#include "workers/WorkerStrings.h"

#include "util/StringTable.h"

CBatchMapRun::CBatchMapRun(int activeColumn) : m_notify(activeColumn)
{
    auto maps = std::make_unique<CMapComputationSet>();
    m_maps = maps.get();
    m_doc = std::make_unique<CTessarixDoc>(std::move(maps));
    m_doc->SetNotify(&m_notify);
}

CBatchMapRun::~CBatchMapRun()
{
    m_doc.reset();
}

bool CBatchMapRun::WaitForColumn(int column, int readyBefore, int timeoutMs)
{
    if (!m_notify.WaitForMapReady(column, readyBefore + 1, timeoutMs))
        return false;
    m_maps->WaitUntilIdle(column);
    return true;
}

QString CBatchMapRun::OpenAndCompute(const QString& path, int column)
{
    const int before = m_notify.Count(column);
    const DocFileStatus status = m_doc->OnOpenDocument(path);
    if (status != DocFileStatus::Ok)
        return DocFileMessage(status, path, m_doc->LoadFailureReason());
    if (column < 0 || column >= m_doc->ColumnCount() || !m_doc->Column(column).enabled)
        return TxFormat(IDS_COLUMN_NOT_ENABLED, QString::number(column));
    WaitForColumn(column, before);
    return {};
}

QString CBatchMapRun::SurfaceProblem(int column) const
{
    const CContourMapThread& t = Thread(column);
    if (t.Surface().IsValid() && t.LastSurfaceStatus() == SurfaceStatus::Computed)
        return {};
    switch (t.LastSurfaceStatus()) {
    case SurfaceStatus::TooFewPoints:
        return TxString(IDS_SURFACE_TOO_FEW_POINTS);
    case SurfaceStatus::Singular:
    case SurfaceStatus::OutOfMemory:
    case SurfaceStatus::GridTooLarge:
    case SurfaceStatus::TooManyPoints:
        return t.SurfaceFailureText();  // the same text the map shows
    case SurfaceStatus::Cancelled:
    case SurfaceStatus::NotComputed:
    case SurfaceStatus::Computed:
        break;
    }
    return TxString(IDS_MAP_NOT_FINISHED);
}

QString CBatchMapRun::ContourProblem(int column) const
{
    const QString surface = SurfaceProblem(column);
    if (!surface.isEmpty())
        return surface;
    return Thread(column).LevelRefusalText();
}
