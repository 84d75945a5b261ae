#include "image/ImageClipGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Truncating a coordinate that went through single precision can fall a hair short of the pixel
// it came from (0.29f * 100 = 28.99999); this much is added so a pixel maps back to itself.
constexpr double kPixelTolerance = 1e-3;

int TruncatePixel(double v)
{
    return int(v >= 0.0 ? v + kPixelTolerance : v - kPixelTolerance);
}

bool Between(int a, int b, int v)
{
    return std::min(a, b) <= v && v <= std::max(a, b);
}

// r lies on the segment p-q, given that the three are collinear.
bool WithinSegment(QPoint p, QPoint q, QPoint r)
{
    return Between(p.x(), q.x(), r.x()) && Between(p.y(), q.y(), r.y());
}

// The ends a, b of one segment straddle the segment p-q, or one of them lies on it.
bool Straddles(QPoint p, QPoint q, QPoint a, QPoint b)
{
    const int oa = Orientation(p, q, a);
    const int ob = Orientation(p, q, b);
    if (oa * ob < 0)
        return true;
    return (oa == 0 && WithinSegment(p, q, a)) || (ob == 0 && WithinSegment(p, q, b));
}

}  // namespace

CImageClipGeometry::CImageClipGeometry(QSize client, QSize picture)
{
    double left = 0.0;
    double top = 0.0;
    double width = client.width();
    double height = client.height();
    if (picture.width() > 0 && picture.height() > 0 && width > 0 && height > 0) {
        const double aspect = double(picture.width()) / double(picture.height());
        if (width / height > aspect) {
            const double shrunk = height * aspect;
            left = (width - shrunk) / 2.0;
            width = shrunk;
        } else {
            const double shrunk = width / aspect;
            top = (height - shrunk) / 2.0;
            height = shrunk;
        }
    }
    m_rect.left = int(left) + kPictureInset;
    m_rect.top = int(top) + kPictureInset;
    m_rect.right = std::max(m_rect.left, int(left + width) - kPictureInset);
    m_rect.bottom = std::max(m_rect.top, int(top + height) - kPictureInset);
}

QPoint CImageClipGeometry::Clamp(QPoint p) const
{
    return {std::clamp(p.x(), m_rect.left, m_rect.right), std::clamp(p.y(), m_rect.top, m_rect.bottom)};
}

KW_FPOINT CImageClipGeometry::ToPicture(QPoint p) const
{
    // A window too small to hold a picture puts every point on its bottom-left corner.
    const double w = m_rect.Width();
    const double h = m_rect.Height();
    return {w > 0 ? float((p.x() - m_rect.left) / w) : 0.0f, h > 0 ? float((m_rect.bottom - p.y()) / h) : 0.0f};
}

QPoint CImageClipGeometry::ToPixel(KW_FPOINT v) const
{
    return {m_rect.left + TruncatePixel(double(v.x) * m_rect.Width()),
            m_rect.bottom - TruncatePixel(double(v.y) * m_rect.Height())};
}

std::vector<QPoint> CImageClipGeometry::ToPixels(const std::vector<KW_FPOINT>& vertices) const
{
    std::vector<QPoint> pixels;
    pixels.reserve(vertices.size());
    for (const KW_FPOINT& v : vertices)
        pixels.push_back(ToPixel(v));
    return pixels;
}

std::vector<KW_FPOINT> CImageClipGeometry::RectangleVertices(QPoint a, QPoint b) const
{
    const int left = std::min(a.x(), b.x());
    const int right = std::max(a.x(), b.x());
    const int top = std::min(a.y(), b.y());
    const int bottom = std::max(a.y(), b.y());
    return {ToPicture({left, top}), ToPicture({right, top}), ToPicture({right, bottom}), ToPicture({left, bottom})};
}

std::vector<KW_FPOINT> CImageClipGeometry::EllipseVertices(QPoint a, QPoint b) const
{
    const KW_FPOINT centre = ToPicture({(a.x() + b.x()) / 2, (a.y() + b.y()) / 2});
    const KW_FPOINT pa = ToPicture(a);
    const KW_FPOINT pb = ToPicture(b);
    const double rx = std::fabs(double(pa.x) - double(pb.x)) / 2.0;
    const double ry = std::fabs(double(pa.y) - double(pb.y)) / 2.0;
    std::vector<KW_FPOINT> vertices;
    vertices.reserve(kEllipseVertices);
    for (int i = 0; i < kEllipseVertices; ++i) {
        const double t = 2.0 * std::numbers::pi * i / kEllipseVertices;
        // The angle that puts vertex i where a circle's would land after the stretch.
        const double angle = (rx != 0.0 && ry != 0.0) ? std::atan2(rx * std::sin(t), ry * std::cos(t)) : t;
        // Rounding must not carry a vertex on the picture's edge past it.
        vertices.push_back({std::clamp(float(centre.x + rx * std::cos(angle)), 0.0f, 1.0f),
                            std::clamp(float(centre.y + ry * std::sin(angle)), 0.0f, 1.0f)});
    }
    return vertices;
}

int Orientation(QPoint p, QPoint q, QPoint r)
{
    const long long cross = (long long)(q.x() - p.x()) * (r.y() - p.y()) - (long long)(q.y() - p.y()) * (r.x() - p.x());
    return cross > 0 ? 1 : (cross < 0 ? -1 : 0);
}

bool SegmentsIntersect(QPoint p1, QPoint p2, QPoint q1, QPoint q2)
{
    return Straddles(p1, p2, q1, q2) && Straddles(q1, q2, p1, p2);
}

int SegmentNear(const std::vector<QPoint>& outline, QPoint click, int reach)
{
    const QPoint corners[4] = {{click.x() - reach, click.y() - reach},
                               {click.x() + reach, click.y() - reach},
                               {click.x() + reach, click.y() + reach},
                               {click.x() - reach, click.y() + reach}};
    const int n = int(outline.size());
    for (int i = 0; i < n; ++i) {
        const QPoint a = outline[size_t(i)];
        const QPoint b = outline[size_t((i + 1) % n)];
        for (int edge = 0; edge < 4; ++edge)
            if (SegmentsIntersect(a, b, corners[edge], corners[(edge + 1) % 4]))
                return i;
    }
    return -1;
}

int VertexNear(const std::vector<QPoint>& outline, QPoint click, int reach)
{
    for (size_t i = 0; i < outline.size(); ++i)
        if (std::abs(outline[i].x() - click.x()) <= reach && std::abs(outline[i].y() - click.y()) <= reach)
            return int(i);
    return -1;
}
