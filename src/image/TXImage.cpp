#include "image/TXImage.h"

#include "util/Archive.h"

CTXImage::CTXImage() = default;
CTXImage::~CTXImage() = default;
CTXImage::CTXImage(const CTXImage& other) = default;
CTXImage& CTXImage::operator=(const CTXImage& other) = default;

void CTXImage::DrawInto(QPainter&, const QRectF&) const {}

void CTXImage::Clear()
{
    m_kind = None;
    m_data.clear();
}

void CTXImage::Serialize(CTXArchive& ar, bool withVersion)
{
    if (withVersion) {
        int32_t version = 0;
        ar.Int32(version);
        if (ar.IsLoading() && version != 0)
            CTXArchive::FailFormat("unknown picture version");
    }
    int32_t kind = m_kind;
    int32_t length = int32_t(m_data.size());
    ar.Int32(kind);
    ar.Count(length, 1);
    if (ar.IsStoring()) {
        if (length > 0) {
            ar.Bytes(m_data.data(), length);
            ar.String(m_sourcePath);
        }
        return;
    }
    QByteArray bytes(length, Qt::Uninitialized);
    QString path = m_sourcePath;
    if (length > 0) {
        ar.Bytes(bytes.data(), length);
        ar.String(path);
    }
    Clear();
    m_kind = length > 0 ? kind : None;
    m_data = bytes;
    m_sourcePath = path;
    RebuildDecodedForms();
}
