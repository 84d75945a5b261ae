#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "DataEntryTestDoc.h"
#include "dataentry/InsertDataDlg.h"
#include "dataentry/InsertDataModel.h"
#include "dataentry/TxMessageDlg.h"

namespace {

class InsertDataDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTxMessageHook([this](const QString& text, TxMessageButtons buttons) {
            messages << text;
            okCancel << (buttons == TxMessageButtons::OkCancel);
            return answer;
        });
    }
    void TearDown() override { SetTxMessageHook({}); }
    QStringList messages;
    QList<bool> okCancel;
    bool answer = true;
};

TEST_F(InsertDataDlg, CommandTogglesInsertModeAndReportsNoLines)
{
    TestDoc t;
    CInsertDataModel model;
    QGuiApplication::clipboard()->setText(QStringLiteral("no numbers here\r\n"));
    EXPECT_FALSE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    EXPECT_EQ(messages, QStringList{QStringLiteral("WARNING! No valid text lines in clipboard text.")});

    QGuiApplication::clipboard()->setText(QStringLiteral("93.5\r\n88\r\n"));
    EXPECT_TRUE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    EXPECT_EQ(model.Lines().size(), 2u);
    EXPECT_FALSE(CInsertDataDlg::Import(nullptr, model, *t.doc));  // the second time leaves insert mode
    EXPECT_FALSE(model.InsertMode());
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(InsertDataDlg, CancelOutsideTheExtentInsertsNothing)
{
    TestDoc t;
    CInsertDataModel model;
    QGuiApplication::clipboard()->setText(QStringLiteral("93.5\r\n"));
    ASSERT_TRUE(CInsertDataDlg::Import(nullptr, model, *t.doc));
    answer = false;
    EXPECT_FALSE(CInsertDataDlg::PlaceAt(nullptr, QPoint(10, 10), model, *t.doc, 5.0f, 0.5f));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("WARNING! The selected point is outside the map extent.")));
    EXPECT_TRUE(okCancel[0]);
    EXPECT_EQ(t.doc->PointCount(), 0);
    EXPECT_TRUE(model.InsertMode());
}

}  // namespace
