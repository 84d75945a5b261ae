// The energy option in the document file and through the change path: a file without the
// option is written byte for byte as before; with it, an optional block follows the reserved
// words (after the axis-label block, which earlier readers expect first); an older file opens
// with the option off; a damaged block is refused as an unexpected format; and changing the
// option is one undo step that recomputes every map.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "../support/Recorders.h"
#include "document/DocStrings.h"
#include "document/PropertiesModel.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"

namespace {

// The size of a new document's file (twelve empty columns, default settings, empty picture, the
// reserved words): where the optional blocks begin.
constexpr qsizetype kNewDocumentSize = 1030;

const QByteArray kEnergyBlock("TXIP\x01\0\0\0\x01\0\0\0", 12);

QByteArray Word(int32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    return b;
}

class EnergyOptionFile : public ::testing::Test {
protected:
    EnergyOptionFile()
    {
        auto recorder = std::make_unique<RequestRecorder>();
        requests = recorder.get();
        doc = std::make_unique<CTessarixDoc>(std::move(recorder));
        doc->OnNewDocument();
        model = std::make_unique<CPropertiesModel>(*doc, nullptr);
        energyRow = FindProperty(IDS_PROP_GROUP_INTERPOLATION, IDS_PROP_ENERGY);
    }
    // Sets the option through the properties pane's model, as the user does.
    void SetEnergy(bool on)
    {
        PropertyValue v = model->Value(energyRow);
        v.number = on ? 1 : 0;
        model->Edit(energyRow, v);
    }
    static QByteArray NewDocumentBytes()
    {
        CTessarixDoc fresh;
        fresh.OnNewDocument();
        return fresh.WriteFileBytes();
    }

    RequestRecorder* requests = nullptr;
    std::unique_ptr<CTessarixDoc> doc;
    std::unique_ptr<CPropertiesModel> model;
    int energyRow = -1;
};

TEST_F(EnergyOptionFile, OffByDefaultAndWrittenExactlyAsBefore)
{
    ASSERT_GE(energyRow, 0);
    EXPECT_EQ(doc->Settings().energyInterpolation, 0);
    const QByteArray before = doc->WriteFileBytes();
    ASSERT_EQ(before.size(), kNewDocumentSize);
    EXPECT_EQ(before, NewDocumentBytes());
    // Switched on and off again, the option leaves no trace in the file.
    SetEnergy(true);
    SetEnergy(false);
    EXPECT_EQ(doc->WriteFileBytes(), before);
}

TEST_F(EnergyOptionFile, OnAddsItsBlockAfterTheReservedWordsAndReadsBack)
{
    SetEnergy(true);
    const QByteArray bytes = doc->WriteFileBytes();
    EXPECT_EQ(bytes, NewDocumentBytes() + kEnergyBlock);

    CTessarixDoc reader;
    ASSERT_EQ(reader.ReadFileBytes(bytes), DocFileStatus::Ok);
    EXPECT_EQ(reader.Settings().energyInterpolation, 1);
    EXPECT_EQ(reader.WriteFileBytes(), bytes);
}

// A flag set to another nonzero value by code was written as it was, and the file then refused.
TEST_F(EnergyOptionFile, AnyNonzeroFlagIsWrittenAsOneAndReadsBack)
{
    doc->Settings().energyInterpolation = 5;
    const QByteArray bytes = doc->WriteFileBytes();
    EXPECT_EQ(bytes.right(12), kEnergyBlock);
    CTessarixDoc reader;
    EXPECT_EQ(reader.ReadFileBytes(bytes), DocFileStatus::Ok);
    EXPECT_EQ(reader.Settings().energyInterpolation, 1);
}

TEST_F(EnergyOptionFile, AxisLabelBlockStaysFirstForEarlierReaders)
{
    doc->Settings().zAxis.label = QStringLiteral("dB(A)");
    SetEnergy(true);
    const QByteArray bytes = doc->WriteFileBytes();
    const QByteArray labels = QByteArray("TXAX\x01X\x01Y\x05" "dB(A)", 14);
    EXPECT_EQ(bytes.mid(kNewDocumentSize), labels + kEnergyBlock);

    CTessarixDoc reader;
    ASSERT_EQ(reader.ReadFileBytes(bytes), DocFileStatus::Ok);
    EXPECT_EQ(reader.Settings().zAxis.label, QStringLiteral("dB(A)"));
    EXPECT_EQ(reader.Settings().energyInterpolation, 1);
}

// Reading used to leave options that the file does not hold as the previous document had them.
TEST_F(EnergyOptionFile, OlderFileOpensWithTheOptionOffWhateverWasOpenBefore)
{
    SetEnergy(true);
    ASSERT_EQ(doc->ReadFileBytes(NewDocumentBytes()), DocFileStatus::Ok);
    EXPECT_EQ(doc->Settings().energyInterpolation, 0);
}

struct TailCase {
    const char* name;
    QByteArray tail;  // appended to a new document's file
    DocFileStatus expected;
    int32_t energy;   // the option after an accepted read
};

void PrintTo(const TailCase& row, std::ostream* os)
{
    *os << row.name;
}

class OptionalBlockTail : public ::testing::TestWithParam<TailCase> {};

TEST_P(OptionalBlockTail, IsReadOrRefusedAsAWhole)
{
    const TailCase& c = GetParam();
    CTessarixDoc reader;
    reader.OnNewDocument();
    reader.Settings().energyInterpolation = 1;
    CTessarixDoc fresh;
    fresh.OnNewDocument();
    const DocFileStatus status = reader.ReadFileBytes(fresh.WriteFileBytes() + c.tail);
    ASSERT_EQ(status, c.expected);
    if (status == DocFileStatus::Ok) {
        EXPECT_EQ(reader.Settings().energyInterpolation, c.energy);
        return;
    }
    // Refused: the plain message, and a new document in place of the half-read one.
    EXPECT_EQ(DocFileMessage(status, QStringLiteral("f.Tsrix"), reader.LoadFailureReason()),
              QStringLiteral("Unexpected file format."));
    EXPECT_EQ(reader.Settings().energyInterpolation, 0);
    EXPECT_EQ(reader.PointCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, OptionalBlockTail,
    ::testing::Values(
        TailCase{"tag_without_fields", QByteArray("TXIP"), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"cut_in_the_version", QByteArray("TXIP\x01\0", 6), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"cut_before_the_flag", QByteArray("TXIP\x01\0\0\0", 8), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"cut_in_the_flag", QByteArray("TXIP\x01\0\0\0\x01\0", 10), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"unknown_version", QByteArray("TXIP") + Word(2) + Word(1), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"flag_two", QByteArray("TXIP") + Word(1) + Word(2), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"flag_negative", QByteArray("TXIP") + Word(1) + Word(-1), DocFileStatus::UnexpectedFormat, 0},
        TailCase{"label_block_cut_before_the_option", QByteArray("TXAX\x01X\x01Y\x05" "dB", 11),
                 DocFileStatus::UnexpectedFormat, 0},
        TailCase{"option_off_written_out", QByteArray("TXIP") + Word(1) + Word(0), DocFileStatus::Ok, 0},
        TailCase{"option_on", QByteArray("TXIP") + Word(1) + Word(1), DocFileStatus::Ok, 1},
        // A later version's block: what follows is not this reader's to read.
        TailCase{"unknown_block_is_left_alone", QByteArray("TXZZ\x07\x07\x07", 7), DocFileStatus::Ok, 0},
        TailCase{"option_before_an_unknown_block", QByteArray("TXIP") + Word(1) + Word(1) + "TXZZ", DocFileStatus::Ok, 1},
        TailCase{"stray_bytes_shorter_than_a_tag", QByteArray("TX"), DocFileStatus::Ok, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EnergyOptionFile, ChangingItIsOneUndoStepThatRecomputesEveryMap)
{
    const QByteArray before = doc->WriteFileBytes();
    requests->requests.clear();
    SetEnergy(true);
    EXPECT_EQ(doc->Settings().energyInterpolation, 1);
    EXPECT_EQ(doc->UndoHistory().Depth(), 1);
    EXPECT_EQ(doc->UndoMenuText(), doc->UndoHistory().MenuText());
    ASSERT_EQ(requests->requests.size(), 1u);
    EXPECT_EQ(requests->requests.back().flags, RECALC_ALL);
    const QByteArray after = doc->WriteFileBytes();

    requests->requests.clear();
    doc->Undo();
    EXPECT_EQ(doc->Settings().energyInterpolation, 0);
    EXPECT_EQ(doc->WriteFileBytes(), before);
    ASSERT_EQ(requests->requests.size(), 1u);
    EXPECT_EQ(requests->requests.back().flags & RECALC_SURFACE, RECALC_SURFACE);
    doc->Redo();
    EXPECT_EQ(doc->WriteFileBytes(), after);
}

// "Apply Changes" records the whole settings record: the option travels with it.
TEST_F(EnergyOptionFile, DelayedApplyRecomputesAndUndoesTheOption)
{
    model->SetDelayUpdate(true);
    const QByteArray before = doc->WriteFileBytes();
    SetEnergy(true);
    EXPECT_EQ(doc->Settings().energyInterpolation, 0) << "held back until applied";
    requests->requests.clear();
    ASSERT_TRUE(model->ApplyChanges());
    EXPECT_EQ(doc->Settings().energyInterpolation, 1);
    ASSERT_FALSE(requests->requests.empty());
    EXPECT_EQ(requests->requests.back().flags & RECALC_SURFACE, RECALC_SURFACE);
    doc->Undo();
    EXPECT_EQ(doc->Settings().energyInterpolation, 0);
    EXPECT_EQ(doc->WriteFileBytes(), before);
}

}  // namespace
