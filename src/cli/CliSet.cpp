// tessarix-cli set FILE KEY=VALUE... --out F: map settings by the properties pane's names
// ("XAxis.Start=0.6", "ZAxis.ScaleMode=Fixed Amplitude from Max Level", "ColorScale.Scale=hot.csc"),
// applied through the pane's own rules one by one. Every pair is checked before anything is
// applied, so a refused pair leaves no output file.

#include "cli/CliDocument.h"
#include "cli/CliStrings.h"
#include "document/DocStrings.h"
#include "document/PropertiesModel.h"
#include "document/TessarixDoc.h"
#include "render/SymbolSets.h"
#include "util/StringTable.h"

namespace {

struct Assignment {
    int row;
    PropertyValue value;
};

QString AllKeys()
{
    QStringList keys;
    for (const PropertyDefinition& d : PropertyDefinitions())
        keys << QStringLiteral("  ") + PropertyKey(d);
    return keys.join(u'\n');
}

// What a refused value should have looked like: the choices of a list or a boolean, otherwise
// the row's present value.
QString ExampleOf(const PropertyDefinition& d, const PropertyValue& present)
{
    if (d.type == PropertyEditor::List)
        return PropertyChoices(d).join(QStringLiteral(" | "));
    if (d.type == PropertyEditor::Boolean)
        return TxString(IDS_PROP_TRUE) + QStringLiteral(" | ") + TxString(IDS_PROP_FALSE);
    if (d.type == PropertyEditor::ColorScale)
        return QStringLiteral("scale.csc");
    return u'"' + PropertyValueText(d, present) + u'"';
}

// Reads one KEY=VALUE against the model's present values; on refusal writes the message and
// returns the exit status.
int ReadAssignment(CliContext& ctx, const CPropertiesModel& model, const QString& pair, Assignment* out)
{
    const qsizetype eq = pair.indexOf(u'=');
    if (eq <= 0) {
        ctx.err << TxFormat(IDS_CLI_NOT_KEY_VALUE, pair) << "\n";
        return CliUsage;
    }
    const QString key = pair.left(eq);
    const QString text = pair.mid(eq + 1);
    const int row = FindPropertyByKey(key);
    if (row < 0) {
        ctx.err << TxFormat(IDS_CLI_UNKNOWN_PROPERTY, key, AllKeys()) << "\n";
        return CliUsage;
    }
    const PropertyDefinition& d = model.Definition(row);
    PropertyValue value = model.Value(row);
    if (d.type == PropertyEditor::ColorScale) {
        if (!value.scale.LoadFile(text)) {
            ctx.err << TxFormat(IDS_CLI_BAD_COLOR_SCALE_FILE, text) << "\n";
            return CliRefused;
        }
    } else if (!ParsePropertyValue(d, text, &value)) {
        ctx.err << TxString(IDS_CLI_BAD_PROPERTY_VALUE).arg(PropertyKey(d), text, ExampleOf(d, model.Value(row))) << "\n";
        return CliRefused;
    }
    *out = Assignment{row, value};
    return CliOk;
}

int Set(CliContext& ctx)
{
    CliArgs args(ctx.args);
    const QString outPath = args.TakeOption(QStringLiteral("--out"));
    const QStringList positional = args.Positional();
    if (positional.size() < 2 || outPath.isEmpty() || !args.UnknownOption().isEmpty() || args.MissingValue()) {
        ctx.err << CliUsageOf(QStringLiteral("set")) << "\n";
        return CliUsage;
    }
    CTessarixDoc doc;
    if (!CliOpenDocument(ctx, doc, positional.first()))
        return CliRefused;
    CPropertiesModel model(doc, nullptr, SymbolSetLookup(InstalledSymbolSets()));

    std::vector<Assignment> assignments;
    for (const QString& pair : positional.mid(1)) {
        Assignment a;
        if (const int status = ReadAssignment(ctx, model, pair, &a); status != CliOk)
            return status;
        assignments.push_back(a);
    }
    // One at a time, as the pane applies an edit: a later pair sees the earlier ones (a symbol
    // set given before the symbol moves it first).
    for (const Assignment& a : assignments)
        model.Edit(a.row, a.value);
    return CliSaveDocument(ctx, doc, outPath) ? CliOk : CliRefused;
}

const CliRegistration reg("set", "set FILE KEY=VALUE... --out F",
                          "Change map settings by the names of the properties pane (Group.Name=value, spaces "
                          "optional, any case); a colour scale is read from a .csc file.",
                          Set);

}  // namespace
