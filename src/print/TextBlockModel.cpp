#include "print/TextBlockModel.h"

#include <algorithm>
#include <cmath>

#include "print/PrintStrings.h"
#include "util/StringTable.h"

namespace {

// The flag bits the dialogs set: enable, text alignment and, for the footer, the two lines.
constexpr uint32_t kEditedBits = 0x00FFFFF1;

}  // namespace

CTextBlockModel::CTextBlockModel(const CTXPrintSettings& block, int kind)
    : enabled(block.IsEnabled()), text(block.text), align(CTXPrintSettings::TextAlign(block.flags)),
      font(block.font), colour(block.textColor), verticalMargin(block.verticalMargin),
      horizontalMargin(block.horizontalMargin), dateMode(CTXPrintSettings::DateMode(block.flags)),
      dateAlign(CTXPrintSettings::DateLineAlign(block.flags)), titleMode(CTXPrintSettings::TitleMode(block.flags)),
      titleAlign(CTXPrintSettings::TitleLineAlign(block.flags)), m_original(block), m_kind(kind)
{
}

QString CTextBlockModel::Caption() const
{
    switch (m_kind) {
    case PrintTitle:
        return TxString(IDS_DLG_TITLE);
    case PrintTextAbove:
        return TxFormat(IDS_DLG_TEXT, TxString(IDS_DLG_TEXT_ABOVE));
    case PrintTextBelow:
        return TxFormat(IDS_DLG_TEXT, TxString(IDS_DLG_TEXT_BELOW));
    default:
        return TxString(IDS_DLG_FOOTER);
    }
}

bool CTextBlockModel::ParseMargin(const QString& text, const QLocale& locale, float* millimetres)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0.0 || value > kMaxBlockMargin)
        return false;
    *millimetres = float(value);
    return true;
}

void CTextBlockModel::SetFont(const FontRecord& chosen, double pointSize, TxColor chosenColour)
{
    font = chosen;
    const int tenths = int(std::lround(pointSize * 10.0));
    font.height = std::clamp(tenths, kMinBlockFontTenths, kMaxBlockFontTenths);
    colour = chosenColour;
}

CTXPrintSettings CTextBlockModel::Result() const
{
    CTXPrintSettings block = m_original;
    block.text = text;
    block.font = font;
    block.textColor = colour;
    block.verticalMargin = verticalMargin;
    block.horizontalMargin = horizontalMargin;
    const uint32_t edited = IsFooter() ? CTXPrintSettings::MakeFlags(enabled, align, titleAlign, dateAlign, dateMode, titleMode)
                                       : CTXPrintSettings::MakeFlags(enabled, align);
    const uint32_t mask = IsFooter() ? kEditedBits : 0xF1u;
    block.flags = (m_original.flags & ~mask) | (edited & mask);
    return block;
}
