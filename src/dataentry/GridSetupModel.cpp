#include "dataentry/GridSetupModel.h"

#include <algorithm>

#include "util/StringTable.h"

namespace {

// Reads one field into `target`; a field that is not a number is the answer when none came
// before it.
template <typename T, typename Reader>
void ReadField(const QString& text, T* target, Reader reader, GridField field, int promptId,
               SetupProblem* first)
{
    if (const auto v = reader(text)) {
        *target = *v;
    } else if (!*first) {
        first->field = field;
        first->message = TxString(promptId);
    }
}

void ReadReal(const QString& text, float* target, GridField field, SetupProblem* first)
{
    ReadField(text, target, ReadRealText, field, IDP_PARSE_REAL, first);
}

void ReadInteger(const QString& text, int32_t* target, GridField field, SetupProblem* first)
{
    ReadField(text, target, ReadIntegerText, field, IDP_PARSE_INT, first);
}

SetupProblem Problem(GridField field, QString message)
{
    return SetupProblem{field, std::move(message)};
}

}  // namespace

CGridSetupModel::CGridSetupModel(const CTessarixDoc& doc)
{
    const CTessarixSettings& s = doc.Settings();
    m_values.extent = s.extent;
    m_values.countX = s.gridCountX;
    m_values.countY = s.gridCountY;
    m_values.function = std::clamp(s.interpFunction, int32_t(RbfMultiquadric), int32_t(RbfThinPlateSpline));
    m_values.parameter = s.interpParameter;
    m_values.input = doc.InputGrid();
}

GridSetupTexts CGridSetupModel::Texts() const
{
    const GridDefinition& v = m_values;
    GridSetupTexts t;
    t.x0 = RealText(v.extent.x0);
    t.x1 = RealText(v.extent.x1);
    t.y0 = RealText(v.extent.y0);
    t.y1 = RealText(v.extent.y1);
    t.countX = IntegerText(v.countX);
    t.countY = IntegerText(v.countY);
    t.function = v.function;
    t.parameter = RealText(v.parameter);
    t.snap = v.input.snapMouse != 0;
    t.snapX = RealText(v.input.snapX);
    t.snapY = RealText(v.input.snapY);
    t.round = v.input.roundKeyboard != 0;
    t.roundX = RealText(v.input.roundX);
    t.roundY = RealText(v.input.roundY);
    return t;
}

QStringList CGridSetupModel::FunctionNames()
{
    return {TxString(IDS_FUNCTION_MULTIQUADRIC), TxString(IDS_FUNCTION_MADYCH_NELSON),
            TxString(IDS_FUNCTION_THIN_PLATE)};
}

std::optional<ParameterRange> CGridSetupModel::RangeOf(int function)
{
    switch (function) {
    case RbfMultiquadric:
        return ParameterRange{0.0f, 1.0f, 0.333f};
    case RbfThinPlateSpline:
        return ParameterRange{0.01f, 1.0f, 0.5f};
    default:
        return std::nullopt;
    }
}

int CGridSetupModel::SpinCount(int count, int delta)
{
    const long long next = static_cast<long long>(count) + delta;
    return int(std::clamp<long long>(next, kMinCount, kMaxCount));
}

SetupProblem CGridSetupModel::Read(const GridSetupTexts& t)
{
    SetupProblem first;
    GridDefinition& v = m_values;
    ReadReal(t.x0, &v.extent.x0, GridField::X0, &first);
    ReadReal(t.x1, &v.extent.x1, GridField::X1, &first);
    ReadReal(t.y0, &v.extent.y0, GridField::Y0, &first);
    ReadReal(t.y1, &v.extent.y1, GridField::Y1, &first);
    ReadInteger(t.countX, &v.countX, GridField::CountX, &first);
    ReadInteger(t.countY, &v.countY, GridField::CountY, &first);
    if (ParameterEnabled(v.function))
        ReadReal(t.parameter, &v.parameter, GridField::Parameter, &first);
    v.input.snapMouse = t.snap ? 1 : 0;
    if (t.snap) {
        ReadReal(t.snapX, &v.input.snapX, GridField::SnapX, &first);
        ReadReal(t.snapY, &v.input.snapY, GridField::SnapY, &first);
    }
    v.input.roundKeyboard = t.round ? 1 : 0;
    if (t.round) {
        ReadReal(t.roundX, &v.input.roundX, GridField::RoundX, &first);
        ReadReal(t.roundY, &v.input.roundY, GridField::RoundY, &first);
    }
    return first;
}

SetupProblem CGridSetupModel::CheckExtent() const
{
    const MapExtent& e = m_values.extent;
    if (!(e.x0 < e.x1))
        return Problem(GridField::X0, TxString(IDS_INVALID_MAP_EXTENT));
    if (!(e.y0 < e.y1))
        return Problem(GridField::Y0, TxString(IDS_INVALID_MAP_EXTENT));
    return {};
}

SetupProblem CGridSetupModel::ChangeFunction(const GridSetupTexts& texts, int function)
{
    Read(texts);
    m_values.function = std::clamp(function, int(RbfMultiquadric), int(RbfThinPlateSpline));
    if (SetupProblem p = CheckExtent())
        return p;
    if (const auto range = RangeOf(m_values.function)) {
        if (!(m_values.parameter >= range->low && m_values.parameter <= range->high))
            m_values.parameter = range->defaultValue;
    }
    return {};
}

SetupProblem CGridSetupModel::Validate() const
{
    const GridDefinition& v = m_values;
    const QString countRange =
        TxFormat(IDP_PARSE_INT_RANGE, QString::number(kMinCount), QString::number(kMaxCount));
    if (v.countX < kMinCount || v.countX > kMaxCount)
        return Problem(GridField::CountX, countRange);
    if (v.countY < kMinCount || v.countY > kMaxCount)
        return Problem(GridField::CountY, countRange);
    if (SetupProblem p = CheckExtent())
        return p;
    if (const auto range = RangeOf(v.function)) {
        if (!(v.parameter >= range->low && v.parameter <= range->high))
            return Problem(GridField::Parameter,
                           FormatPercentG(TxString(IDS_PARAMETER_ERROR), range->low, range->high));
    }
    const QString positive = TxFormat(IDS_VALUE_GREATER_THAN, QStringLiteral("0"));
    if (v.input.snapMouse) {
        if (!(v.input.snapX > 0.0f))
            return Problem(GridField::SnapX, positive);
        if (!(v.input.snapY > 0.0f))
            return Problem(GridField::SnapY, positive);
    }
    if (v.input.roundKeyboard) {
        if (!(v.input.roundX > 0.0f))
            return Problem(GridField::RoundX, positive);
        if (!(v.input.roundY > 0.0f))
            return Problem(GridField::RoundY, positive);
    }
    return {};
}

SetupProblem CGridSetupModel::ReadForOk(const GridSetupTexts& texts)
{
    if (SetupProblem p = Read(texts))
        return p;
    return Validate();
}

bool CGridSetupModel::Apply(CTessarixDoc& doc) const
{
    return doc.SetGridDefinition(m_values);
}
