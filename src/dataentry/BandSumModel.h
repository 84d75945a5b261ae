#pragma once
// CBandSumModel: what the "Band Sum" dialog decides and shows. It holds the target column, the
// band columns and the A-weighting choice; the check table compares the level measured in the
// target column with the band sum, point by point, before OK overwrites it.

#include <QString>

#include <array>
#include <vector>

#include "document/AcousticEdits.h"
#include "document/TessarixDataColumn.h"

class CTessarixDoc;

class CBandSumModel {
public:
    enum CheckColumn { CheckPoint, CheckX, CheckY, CheckMeasured, CheckBandSum, CheckDifference, CheckColumnCount };

    // Starts with the first column as target and the default bands, unweighted.
    explicit CBandSumModel(const CTessarixDoc& doc);

    int Target() const { return m_target; }
    void SetTarget(int column);
    bool IsBand(int column) const;
    // Only columns 1..11 can be bands; other requests are ignored.
    void SetBand(int column, bool band);
    bool AWeighted() const { return m_aWeighted; }
    void SetAWeighted(bool on);
    std::vector<int> Bands() const;

    // The identifier of the text that says why OK cannot apply, 0 when it can.
    int Refusal() const;
    bool CanApply() const { return Refusal() == 0; }

    // The check of the target column's measured level against the band sum (empty while the
    // choice is refused).
    const std::vector<BandCheckRow>& CheckRows() const { return m_rows; }
    QString CheckCell(int row, int column) const;
    static QString CheckHeader(int column);
    int OutsideCount() const;
    // The line under the table: the refusal, or how many positions differ by more than 1 dB.
    QString Summary() const;

    // Fills the target as one undo step; false when refused.
    bool Apply(CTessarixDoc& doc) const;

private:
    void Recheck();

    const CTessarixDoc& m_doc;
    int m_target = 0;
    std::array<bool, kColumnCount> m_band{};
    bool m_aWeighted = false;
    std::vector<BandCheckRow> m_rows;
};
