#include "document/PropertyTable.h"

#include <QRegularExpression>

#include <type_traits>

#include <cmath>

#include "document/DocStrings.h"
#include "util/StringTable.h"

namespace {

using Def = PropertyDefinition;
using Editor = PropertyEditor;

Def BaseRow(Editor type, int32_t id, int32_t group, int32_t name, int32_t description)
{
    Def d;
    d.type = type;
    d.identifier = id;
    d.group = group;
    d.name = name;
    d.description = description;
    return d;
}

// Row builders: `field` is a generic lambda returning the setting a row edits, so one lambda
// serves reading (const settings) and writing.
template <class Field>
Def NumberRow(Editor type, int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    Def d = BaseRow(type, id, group, name, description);
    d.read = [field](const CTessarixSettings& s) {
        PropertyValue v;
        v.number = int32_t(field(s));
        return v;
    };
    d.write = [field](CTessarixSettings& s, const PropertyValue& v) {
        field(s) = std::remove_reference_t<decltype(field(s))>(v.number);
    };
    return d;
}

template <class Field>
Def ListRow(int32_t id, int32_t group, int32_t name, int32_t description, int32_t choiceBase, int32_t choiceCount,
            Field field)
{
    Def d = NumberRow(Editor::List, id, group, name, description, field);
    d.choiceBase = choiceBase;
    d.choiceCount = choiceCount;
    return d;
}

// A row whose value is one member of PropertyValue, copied as it is both ways.
template <auto Member, class Field>
Def FieldRow(Editor type, int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    Def d = BaseRow(type, id, group, name, description);
    d.read = [field](const CTessarixSettings& s) {
        PropertyValue v;
        v.*Member = field(s);
        return v;
    };
    d.write = [field](CTessarixSettings& s, const PropertyValue& v) { field(s) = v.*Member; };
    return d;
}

template <class Field>
Def RealRow(int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    return FieldRow<&PropertyValue::real>(Editor::Real, id, group, name, description, field);
}

template <class Field>
Def TextRow(Editor type, int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    return FieldRow<&PropertyValue::text>(type, id, group, name, description, field);
}

template <class Font, class Color>
Def FontRow(int32_t id, int32_t group, int32_t description, Font font, Color color)
{
    Def d = BaseRow(Editor::FontColor, id, group, IDS_PROP_FONT, description);
    d.read = [font, color](const CTessarixSettings& s) {
        PropertyValue v;
        v.font = font(s);
        v.color = color(s);
        return v;
    };
    d.write = [font, color](CTessarixSettings& s, const PropertyValue& v) {
        font(s) = v.font;
        color(s) = v.color;
    };
    return d;
}

template <class Field>
Def PenRow(int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    Def d = BaseRow(Editor::Pen, id, group, name, description);
    d.read = [field](const CTessarixSettings& s) {
        PropertyValue v;
        v.pen = field(s);
        return v;
    };
    d.write = [field](CTessarixSettings& s, const PropertyValue& v) {
        PenRecord pen = v.pen;
        pen.reserved = 0;  // the second width word is always 0
        field(s) = pen;
    };
    return d;
}

template <class Field>
Def ColorRow(int32_t id, int32_t group, int32_t name, int32_t description, Field field)
{
    return FieldRow<&PropertyValue::color>(Editor::Color, id, group, name, description, field);
}

Def ColorScaleRow()
{
    Def d = BaseRow(Editor::ColorScale, PropColorScale, IDS_PROP_GROUP_COLOR_SCALE, IDS_PROP_SCALE, IDS_PROP_DESC_SCALE);
    d.read = [](const CTessarixSettings& s) {
        PropertyValue v;
        v.scale = s.colorScale;
        return v;
    };
    // The scale always spans the colour axis; an edited scale keeps only its stops.
    d.write = [](CTessarixSettings& s, const PropertyValue& v) {
        s.colorScale = v.scale;
        s.colorScale.SetRange(s.zAxis.start, s.zAxis.stop);
        s.colorScale.RebuildPalette();
    };
    return d;
}

// The six rows of an axis: start, stop, step, font, label, hidden.
template <class Axis>
void AppendAxisRows(std::vector<Def>& rows, int32_t group, PropertyGroup ids, Axis axis)
{
    const int32_t range = AxisProperty(ids, AxisRowRange);
    Def start = RealRow(range, group, IDS_PROP_START, IDS_PROP_DESC_START, [axis](auto& s) -> auto& { return axis(s).start; });
    Def stop = RealRow(range, group, IDS_PROP_STOP, IDS_PROP_DESC_STOP, [axis](auto& s) -> auto& { return axis(s).stop; });
    if (ids == PropGroupZAxis) {
        start.enabling = PropertyEnabling::WhileScaleNormal;
        stop.enabling = PropertyEnabling::WhileScaleNormal;
    }
    rows.push_back(start);
    rows.push_back(stop);
    rows.push_back(RealRow(range, group, IDS_PROP_STEP, IDS_PROP_DESC_STEP, [axis](auto& s) -> auto& { return axis(s).step; }));
    rows.push_back(FontRow(AxisProperty(ids, AxisRowFont), group, IDS_PROP_DESC_AXIS_FONT,
                           [axis](auto& s) -> auto& { return axis(s).font; },
                           [axis](auto& s) -> auto& { return axis(s).fontColor; }));
    rows.push_back(TextRow(Editor::Text, AxisProperty(ids, AxisRowLabel), group, IDS_PROP_LABEL, IDS_PROP_DESC_AXIS_LABEL,
                           [axis](auto& s) -> auto& { return axis(s).label; }));
    rows.push_back(NumberRow(Editor::Boolean, AxisProperty(ids, AxisRowHidden), group, IDS_PROP_HIDDEN, IDS_PROP_DESC_HIDDEN,
                             [axis](auto& s) -> auto& { return axis(s).hidden; }));
}

std::vector<Def> BuildDefinitions()
{
    std::vector<Def> rows;
    const int32_t general = IDS_PROP_GROUP_GENERAL;
    rows.push_back(PenRow(PropGeneral, general, IDS_PROP_DEFAULT_PEN, IDS_PROP_DESC_DEFAULT_PEN,
                          [](auto& s) -> auto& { return s.contourPen; }));
    rows.push_back(ColorRow(PropGeneral, general, IDS_PROP_WINDOW_COLOR, IDS_PROP_DESC_WINDOW_COLOR,
                            [](auto& s) -> auto& { return s.windowColor; }));
    rows.push_back(ColorRow(PropGeneral, general, IDS_PROP_GRAPH_COLOR, IDS_PROP_DESC_GRAPH_COLOR,
                            [](auto& s) -> auto& { return s.graphColor; }));
    rows.push_back(PenRow(PropGeneral, general, IDS_PROP_BORDER_PEN, IDS_PROP_DESC_BORDER_PEN,
                          [](auto& s) -> auto& { return s.borderPen; }));
    // Edited and saved like the other pens; no drawing uses it.
    rows.push_back(PenRow(PropGeneral, general, IDS_PROP_CURSOR_PEN, IDS_PROP_DESC_CURSOR_PEN,
                          [](auto& s) -> auto& { return s.cursorPen; }));

    AppendAxisRows(rows, IDS_PROP_GROUP_X_AXIS, PropGroupXAxis, [](auto& s) -> auto& { return s.xAxis; });
    AppendAxisRows(rows, IDS_PROP_GROUP_Y_AXIS, PropGroupYAxis, [](auto& s) -> auto& { return s.yAxis; });

    const int32_t z = IDS_PROP_GROUP_Z_AXIS;
    rows.push_back(ListRow(PropZScaleMode, z, IDS_PROP_SCALE_MODE, IDS_PROP_DESC_SCALE_MODE, IDS_PROP_SCALE_NORMAL, 2,
                           [](auto& s) -> auto& { return s.scaleMode; }));
    Def amplitude = RealRow(PropZScaleMode, z, IDS_PROP_FIXED_AMPLITUDE, IDS_PROP_DESC_FIXED_AMPLITUDE,
                            [](auto& s) -> auto& { return s.fixedAmplitude; });
    amplitude.enabling = PropertyEnabling::WhileScaleFixed;
    rows.push_back(amplitude);
    AppendAxisRows(rows, z, PropGroupZAxis, [](auto& s) -> auto& { return s.zAxis; });

    rows.push_back(ColorScaleRow());
    rows.push_back(NumberRow(Editor::Boolean, PropColorScale, IDS_PROP_GROUP_COLOR_SCALE, IDS_PROP_USE_ON_MAP,
                             IDS_PROP_DESC_USE_ON_MAP, [](auto& s) -> auto& { return s.useColorScaleOnMap; }));

    const int32_t labels = IDS_PROP_GROUP_CONTOUR_LABELS;
    rows.push_back(NumberRow(Editor::Boolean, PropContourLabels, labels, IDS_PROP_SHOW_LABELS, IDS_PROP_DESC_SHOW_LABELS,
                             [](auto& s) -> auto& { return s.showLabels; }));
    rows.push_back(NumberRow(Editor::Integer, PropContourLabels, labels, IDS_PROP_LABEL_DISTANCE,
                             IDS_PROP_DESC_LABEL_DISTANCE, [](auto& s) -> auto& { return s.labelDistance; }));
    rows.push_back(NumberRow(Editor::Integer, PropContourLabels, labels, IDS_PROP_EDGE_DISTANCE,
                             IDS_PROP_DESC_EDGE_DISTANCE, [](auto& s) -> auto& { return s.edgeDistance; }));
    rows.push_back(FontRow(PropContourLabels, labels, IDS_PROP_DESC_LABEL_FONT, [](auto& s) -> auto& { return s.labelFont; },
                           [](auto& s) -> auto& { return s.labelFontColor; }));
    rows.push_back(ColorRow(PropContourLabels, labels, IDS_PROP_BK_COLOR, IDS_PROP_DESC_LABEL_BK_COLOR,
                            [](auto& s) -> auto& { return s.labelBkColor; }));
    rows.push_back(ListRow(PropContourLabels, labels, IDS_PROP_BK_MODE, IDS_PROP_DESC_LABEL_BK_MODE, IDS_PROP_BK_TRANSPARENT,
                           2, [](auto& s) -> auto& { return s.labelBkMode; }));

    const int32_t positions = IDS_PROP_GROUP_POSITIONS;
    rows.push_back(NumberRow(Editor::Boolean, PropPositions, positions, IDS_PROP_SHOW_POSITIONS,
                             IDS_PROP_DESC_SHOW_POSITIONS, [](auto& s) -> auto& { return s.showPositions; }));
    rows.push_back(TextRow(Editor::SymbolSet, PropPositions, positions, IDS_PROP_SYMBOL_SET, IDS_PROP_DESC_SYMBOL_SET,
                           [](auto& s) -> auto& { return s.symbolSet; }));
    rows.push_back(NumberRow(Editor::Symbol, PropPositions, positions, IDS_PROP_SYMBOL, IDS_PROP_DESC_SYMBOL,
                             [](auto& s) -> auto& { return s.symbol; }));
    rows.push_back(NumberRow(Editor::Integer, PropPositions, positions, IDS_PROP_SYMBOL_SIZE, IDS_PROP_DESC_SYMBOL_SIZE,
                             [](auto& s) -> auto& { return s.symbolSize; }));
    rows.push_back(NumberRow(Editor::Boolean, PropPositions, positions, IDS_PROP_SHOW_VALUES, IDS_PROP_DESC_SHOW_VALUES,
                             [](auto& s) -> auto& { return s.showValues; }));
    rows.push_back(FontRow(PropPositions, positions, IDS_PROP_DESC_VALUE_FONT, [](auto& s) -> auto& { return s.valueFont; },
                           [](auto& s) -> auto& { return s.valueFontColor; }));
    rows.push_back(ColorRow(PropPositions, positions, IDS_PROP_BK_COLOR, IDS_PROP_DESC_VALUE_BK_COLOR,
                            [](auto& s) -> auto& { return s.valueBkColor; }));
    rows.push_back(ListRow(PropPositions, positions, IDS_PROP_BK_MODE, IDS_PROP_DESC_VALUE_BK_MODE, IDS_PROP_BK_TRANSPARENT,
                           2, [](auto& s) -> auto& { return s.valueBkMode; }));
    rows.push_back(ListRow(PropPositions, positions, IDS_PROP_RELATIVE_POSITION, IDS_PROP_DESC_RELATIVE_POSITION,
                           IDS_PROP_POS_CENTERED, 9, [](auto& s) -> auto& { return s.relativePosition; }));

    // The energy option changes what the surface is computed from: every map is made again.
    Def energy = NumberRow(Editor::Boolean, PropInterpolation, IDS_PROP_GROUP_INTERPOLATION, IDS_PROP_ENERGY,
                           IDS_PROP_DESC_ENERGY, [](auto& s) -> auto& { return s.energyInterpolation; });
    energy.keyName = IDS_PROP_KEY_ENERGY;
    energy.recalc = RECALC_ALL;
    rows.push_back(energy);
    return rows;
}

QString KeyPart(const QString& text)
{
    QString out = text;
    out.remove(u' ');
    return out;
}

// "True"/"False" as shown, "1"/"0", "yes"/"no" and "on"/"off" for scripts.
bool ParseBoolean(const QString& text, int32_t* out)
{
    const QString t = text.trimmed();
    if (t.compare(TxString(IDS_PROP_TRUE), Qt::CaseInsensitive) == 0 || t == u"1" ||
        t.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0 ||
        t.compare(QStringLiteral("on"), Qt::CaseInsensitive) == 0) {
        *out = 1;
        return true;
    }
    if (t.compare(TxString(IDS_PROP_FALSE), Qt::CaseInsensitive) == 0 || t == u"0" ||
        t.compare(QStringLiteral("no"), Qt::CaseInsensitive) == 0 ||
        t.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0) {
        *out = 0;
        return true;
    }
    return false;
}

bool ParseInteger(const QString& text, int32_t* out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        *out = v;
    return ok;
}

bool ParseReal(const QString& text, float* out)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

bool ParsePen(const QString& text, PenRecord* out)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 3)
        return false;
    const int style = PenStyleNames().indexOf(parts[0].trimmed());
    int32_t width = 0;
    TxColor color = 0;
    if (style < 0 || !ParseInteger(parts[1], &width) || width < 1 || !ParseColorText(parts[2], &color))
        return false;
    *out = PenRecord{uint32_t(style), width, 0, color};
    return true;
}

constexpr const char* kFontFlags[] = {"bold", "italic", "underline", "strikeout"};
constexpr int32_t kBoldWeight = 700;

bool ParseFont(const QString& text, FontRecord* font, TxColor* color)
{
    const QStringList parts = text.split(u',');
    if (parts.size() < 3)
        return false;
    const QByteArray face = parts.first().trimmed().toLatin1();
    float points = 0.0f;
    if (face.isEmpty() || face.size() >= int(sizeof font->faceName) || !ParseReal(parts[1], &points) ||
        points <= 0.0f || points > 1000.0f)
        return false;
    FontRecord f;
    f.SetFace(face.constData());
    f.height = int32_t(std::lround(points * 10.0f));
    for (int i = 2; i < parts.size() - 1; ++i) {
        const QString flag = parts[i].trimmed().toLower();
        if (flag == QLatin1String(kFontFlags[0]))
            f.weight = kBoldWeight;
        else if (flag == QLatin1String(kFontFlags[1]))
            f.italic = 1;
        else if (flag == QLatin1String(kFontFlags[2]))
            f.underline = 1;
        else if (flag == QLatin1String(kFontFlags[3]))
            f.strikeOut = 1;
        else
            return false;
    }
    TxColor c = 0;
    if (!ParseColorText(parts.last(), &c))
        return false;
    *font = f;
    *color = c;
    return true;
}

QString FontText(const FontRecord& f, TxColor color)
{
    QStringList parts{QString::fromLatin1(f.Face()), ShortFloatText(float(f.height) / 10.0f)};
    if (f.weight >= kBoldWeight)
        parts << QLatin1String(kFontFlags[0]);
    if (f.italic)
        parts << QLatin1String(kFontFlags[1]);
    if (f.underline)
        parts << QLatin1String(kFontFlags[2]);
    if (f.strikeOut)
        parts << QLatin1String(kFontFlags[3]);
    parts << ColorText(color);
    return parts.join(u',');
}

}  // namespace

const std::vector<int32_t>& PropertyGroups()
{
    static const std::vector<int32_t> groups{IDS_PROP_GROUP_GENERAL,      IDS_PROP_GROUP_X_AXIS,
                                             IDS_PROP_GROUP_Y_AXIS,       IDS_PROP_GROUP_Z_AXIS,
                                             IDS_PROP_GROUP_COLOR_SCALE,  IDS_PROP_GROUP_CONTOUR_LABELS,
                                             IDS_PROP_GROUP_POSITIONS,    IDS_PROP_GROUP_INTERPOLATION};
    return groups;
}

const std::vector<PropertyDefinition>& PropertyDefinitions()
{
    static const std::vector<PropertyDefinition> rows = BuildDefinitions();
    return rows;
}

SymbolRange SymbolSetRange(const SymbolRangeLookup& installed, const QString& set)
{
    if (set.isEmpty())
        return kDefaultSetRange;
    return installed ? installed(set) : kMissingSetRange;
}

QStringList PropertyChoices(const PropertyDefinition& d)
{
    QStringList choices;
    for (int i = 0; i < d.choiceCount; ++i)
        choices << TxString(d.choiceBase + i);
    return choices;
}

QString PropertyKey(const PropertyDefinition& d)
{
    return KeyPart(TxString(d.group)) + u'.' + KeyPart(TxString(d.keyName != 0 ? d.keyName : d.name));
}

int FindPropertyByKey(const QString& key)
{
    const QString wanted = KeyPart(key.trimmed());
    const auto& rows = PropertyDefinitions();
    for (size_t i = 0; i < rows.size(); ++i)
        if (PropertyKey(rows[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int FindProperty(int32_t group, int32_t name)
{
    const auto& rows = PropertyDefinitions();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].group == group && rows[i].name == name)
            return int(i);
    return -1;
}

QString ShortFloatText(float v)
{
    // Whole numbers up to nine digits are written out ("20", not "2e+01").
    const double magnitude = std::fabs(double(v));
    const int integerDigits = magnitude >= 1.0 && magnitude < 1e9 ? int(std::floor(std::log10(magnitude))) + 1 : 1;
    for (int precision = integerDigits; precision <= 9; ++precision) {
        const QString text = QString::number(double(v), 'g', precision);
        if (text.toFloat() == v)
            return text;
    }
    return QString::number(double(v), 'g', 9);
}

QString ColorText(TxColor c)
{
    return QStringLiteral("#%1%2%3")
        .arg(TxRed(c), 2, 16, QChar(u'0'))
        .arg(TxGreen(c), 2, 16, QChar(u'0'))
        .arg(TxBlue(c), 2, 16, QChar(u'0'))
        .toUpper();
}

bool ParseColorText(const QString& text, TxColor* out)
{
    static const QRegularExpression pattern(QStringLiteral("^#([0-9A-Fa-f]{6})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const uint rgb = m.captured(1).toUInt(nullptr, 16);
    *out = TxRgb(int(rgb >> 16), int(rgb >> 8), int(rgb));
    return true;
}

QStringList PenStyleNames()
{
    QStringList names;
    for (int id = IDS_PEN_STYLE_SOLID; id <= IDS_PEN_STYLE_INVISIBLE; ++id)
        names << TxString(id);
    return names;
}

QString PropertyValueText(const PropertyDefinition& d, const PropertyValue& v)
{
    switch (d.type) {
    case Editor::Integer:
    case Editor::Symbol:
        return QString::number(v.number);
    case Editor::Boolean:
        return TxString(v.number ? IDS_PROP_TRUE : IDS_PROP_FALSE);
    case Editor::List:
        return v.number >= 0 && v.number < d.choiceCount ? TxString(d.choiceBase + v.number) : QString::number(v.number);
    case Editor::Text:
        return v.text;
    case Editor::Real:
        return ShortFloatText(v.real);
    case Editor::FontColor:
        return FontText(v.font, v.color);
    case Editor::Pen: {
        const QStringList styles = PenStyleNames();
        const QString style = v.pen.style < uint32_t(styles.size()) ? styles[int(v.pen.style)] : QString::number(v.pen.style);
        return style + u',' + QString::number(v.pen.width) + u',' + ColorText(v.pen.color);
    }
    case Editor::Color:
        return ColorText(v.color);
    case Editor::ColorScale:
        return {};  // no text form: a scale comes from a ".csc" file
    case Editor::SymbolSet:
        return v.text.isEmpty() ? TxString(IDS_PROP_DEFAULT_SET) : v.text;
    }
    return {};
}

bool ParsePropertyValue(const PropertyDefinition& d, const QString& text, PropertyValue* out, TxColor defaultColor)
{
    PropertyValue v = *out;
    bool ok = false;
    switch (d.type) {
    case Editor::Integer:
    case Editor::Symbol:
        ok = ParseInteger(text, &v.number);
        break;
    case Editor::Boolean:
        ok = ParseBoolean(text, &v.number);
        break;
    case Editor::List: {
        const QStringList choices = PropertyChoices(d);
        for (int i = 0; i < choices.size() && !ok; ++i)
            if (choices[i].compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
                v.number = i;
                ok = true;
            }
        break;
    }
    case Editor::Text:
        v.text = text;
        ok = true;
        break;
    case Editor::Real:
        ok = ParseReal(text, &v.real);
        break;
    case Editor::FontColor:
        ok = ParseFont(text, &v.font, &v.color);
        break;
    case Editor::Pen:
        ok = ParsePen(text, &v.pen);
        break;
    case Editor::Color:
        if (text.trimmed().compare(TxString(IDS_PROP_COLOR_DEFAULT), Qt::CaseInsensitive) == 0) {
            v.color = defaultColor;
            ok = true;
        } else {
            ok = ParseColorText(text, &v.color);
        }
        break;
    case Editor::ColorScale:
        ok = false;
        break;
    case Editor::SymbolSet:
        v.text = text.trimmed().compare(TxString(IDS_PROP_DEFAULT_SET), Qt::CaseInsensitive) == 0 ? QString() : text.trimmed();
        ok = true;
        break;
    }
    if (ok)
        *out = v;
    return ok;
}
