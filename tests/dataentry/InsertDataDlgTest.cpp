#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "../support/PromptRecorder.h"
#include "DataEntryTestDoc.h"
#include "dataentry/InsertDataDlg.h"
#include "dataentry/InsertDataModel.h"

namespace {

class InsertDataDlg : public ::testing::Test {
protected:
    CPromptRecorder prompt;
};

TEST_F(InsertDataDlg, CommandTogglesInsertModeAndReportsNoLines)
{
    TestDoc t;
    CInsertDataModel model;
    QGuiApplication::clipboard()->setText(QStringLiteral("no numbers here\r\n"));
    EXPECT_FALSE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    EXPECT_EQ(prompt.Texts(), QStringList{QStringLiteral("WARNING! No valid text lines in clipboard text.")});

    QGuiApplication::clipboard()->setText(QStringLiteral("93.5\r\n88\r\n"));
    EXPECT_TRUE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    EXPECT_EQ(model.Lines().size(), 2u);
    EXPECT_FALSE(CInsertDataDlg::Import(nullptr, model, *t.doc));  // the second time leaves insert mode
    EXPECT_FALSE(model.InsertMode());
    EXPECT_EQ(prompt.Texts().size(), 1);
}

TEST_F(InsertDataDlg, CancelOutsideTheExtentInsertsNothing)
{
    TestDoc t;
    CInsertDataModel model;
    QGuiApplication::clipboard()->setText(QStringLiteral("93.5\r\n"));
    ASSERT_TRUE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    prompt.answer = PromptAnswer::Cancel;
    EXPECT_FALSE(CInsertDataDlg::PlaceAt(nullptr, QPoint(10, 10), model, *t.doc, 5.0f, 0.5f));
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_TRUE(prompt.Texts()[0].startsWith(QStringLiteral("WARNING! The selected point is outside the map extent.")));
    EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(t.doc->PointCount(), 0);
    EXPECT_TRUE(model.InsertMode());
}

}  // namespace
