#pragma once
// CMergeReadingsModel: what the "Merge Repeated Readings" dialog shows. For the tolerance the user
// sets it lists the groups of points that lie closer together than the tolerance; OK merges
// each group into one point carrying the energetic mean of its levels.

#include <QString>

#include <vector>

class CTessarixDoc;

class CMergeReadingsModel {
public:
    explicit CMergeReadingsModel(const CTessarixDoc& doc);

    double Tolerance() const { return m_tolerance; }
    // A negative or non-finite tolerance is refused (false, nothing changed).
    bool SetTolerance(double tolerance);

    int GroupCount() const { return int(m_groups.size()); }
    const std::vector<int>& Group(int g) const { return m_groups.at(size_t(g)); }
    // "3, 7, 12": the group's point numbers as the data table shows them, from 1.
    QString PointsText(int g) const;
    // "12.5; 4" : the position of the group's first point.
    QString PositionText(int g) const;
    // How many points a merge removes.
    int RemovedCount() const;

    bool CanApply() const { return !m_groups.empty(); }
    QString Summary() const;

    // Merges as one undo step; returns the number of points removed.
    int Apply(CTessarixDoc& doc) const;

private:
    const CTessarixDoc& m_doc;
    double m_tolerance;
    std::vector<std::vector<int>> m_groups;
};
