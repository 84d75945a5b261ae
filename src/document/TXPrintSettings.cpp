#include "document/TXPrintSettings.h"

#include "util/Archive.h"

void CTXPrintSettings::Serialize(CTXArchive& ar)
{
    int32_t schema = 0;
    ar.Int32(schema);
    if (ar.IsLoading() && schema != 0)
        CTXArchive::FailFormat("unknown print block schema");
    ar.String(text);
    ar.Raw(font);
    ar.UInt32(textColor);
    ar.UInt32(flags);
    ar.Float(verticalMargin);
    ar.Float(horizontalMargin);
}

void ResetPrintSettings(CTXPrintSettings& block, int kind)
{
    block = CTXPrintSettings();
    switch (kind) {
    case PrintTitle:
        block.text = QStringLiteral("$");
        block.flags = CTXPrintSettings::MakeFlags(true, AlignCenter);
        break;
    case PrintFooter:
        block.flags = CTXPrintSettings::MakeFlags(true, AlignCenter, AlignLeft, AlignRight, 1, 1);
        break;
    default:
        block.flags = CTXPrintSettings::MakeFlags(false, AlignLeft);
        break;
    }
}
