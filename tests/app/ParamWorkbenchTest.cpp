// The parameter workbench against the in-process simulated module: all 18 fields round
// trip, a field the module does not keep, values that cannot be written, and snapshots
// saved, restored with a backup, and refused when they are no snapshots.
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <algorithm>

#include <cstring>

#include "MainWindowFixture.h"
#include "ParamWorkbench.h"
#include "ParamWorkbenchTable.h"
#include "ParameterTable.h"
#include "StringTable.h"

namespace {

using Table = CParamWorkbenchTable;

class ParamWorkbenchTest : public MainWindowFixture {
protected:
    void StartConnected()
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(ConnectToSimulatedModule());
        m_window->OpenParamWorkbench();
        m_bench = m_window->ParamWorkbench();
        ASSERT_NE(m_bench, nullptr);
    }
    void SetNew(const char* name, const QString& text)
    {
        const ModuleParams::ParameterInfo* field = ModuleParams::FindParameter(std::string_view(name));
        m_bench->Table()->item(field->id, Table::kNew)->setText(text);
    }
    QString Cell(const char* name, int column) const
    {
        const ModuleParams::ParameterInfo* field = ModuleParams::FindParameter(std::string_view(name));
        return m_bench->Table()->item(field->id, column)->text();
    }
    CParamWorkbench* m_bench = nullptr;
};

TEST_F(ParamWorkbenchTest, AllEighteenFieldsGoToTheModuleAndComeBackBitForBit)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    // The parameter dialog's way in: inside the dialog, below its own controls.
    const QList<QPushButton*> buttons = m_window->ParamDialog().findChildren<QPushButton*>();
    const auto open = std::find_if(buttons.begin(), buttons.end(), [](QPushButton* button) {
        return button->text() == StringTable::load(50200);
    });
    ASSERT_NE(open, buttons.end());
    EXPECT_TRUE(m_window->ParamDialog().rect().contains((*open)->geometry())) << "the dialog grew to hold it";
    ASSERT_TRUE(m_bench->ReadAll()) << m_bench->StatusText().toStdString();
    EXPECT_EQ(Cell("fKalman3", Table::kModule), QStringLiteral("0.85"));
    SetNew("nMotionRangeMax", QStringLiteral("650"));
    SetNew("nMotionIIR", QStringLiteral("7"));
    SetNew("fKalman3", QStringLiteral("0.8125"));
    SetNew("fMotionNearEndCoef", QStringLiteral("-1.5e-3"));
    SetNew("nDistanceCalibration", QStringLiteral("-12"));
    ASSERT_TRUE(m_bench->WriteAll()) << m_bench->StatusText().toStdString();
    const DetectionParams& record = m_window->Settings().params;
    EXPECT_EQ(record.nMotionRangeMax, 650);
    EXPECT_EQ(record.nMotionIIR, 7);
    EXPECT_EQ(record.fKalman3, 0.8125f);
    const float expected = -1.5e-3f;
    EXPECT_EQ(std::memcmp(&record.fMotionNearEndCoef, &expected, sizeof expected), 0);
    EXPECT_EQ(record.nDistanceCalibration, -12);
    ASSERT_TRUE(m_bench->ReadAll());
    EXPECT_EQ(Cell("fMotionNearEndCoef", Table::kModule), QStringLiteral("-0.0015"));
    EXPECT_TRUE(m_bench->Table()->ChangedRows().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ParamWorkbenchTest, AFieldTheModuleDoesNotKeepIsAFailureAndTheRecordHoldsWhatItKept)
{
    m_simOptions.ignoredParameterIds = {ModuleParams::FindParameter(std::string_view("nOffTime"))->id};
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_TRUE(m_bench->ReadAll());
    SetNew("nOffTime", QStringLiteral("45"));
    SetNew("nMotionRangeMin", QStringLiteral("40"));
    EXPECT_FALSE(m_bench->WriteChanged());
    EXPECT_TRUE(m_bench->StatusText().contains(QStringLiteral("nOffTime"))) << m_bench->StatusText().toStdString();
    EXPECT_FALSE(m_bench->StatusText().contains(QStringLiteral("nMotionRangeMin")));
    EXPECT_EQ(m_window->Settings().params.nOffTime, 20) << "what the module holds, not what was sent";
    EXPECT_EQ(m_window->Settings().params.nMotionRangeMin, 40);
}

TEST_F(ParamWorkbenchTest, AValueThatCannotBeWrittenNamesItsFieldAndNothingIsSent)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_TRUE(m_bench->ReadAll());
    const struct {
        const char* field;
        const char* text;
    } cases[] = {{"nOffTime", "70000"}, {"nMotionIIR", "256"}, {"fKalman1", "0,5"}, {"nMotionRangeMin", "abc"}};
    for (const auto& c : cases) {
        m_watcher->Clear();
        SetNew("nMotionRangeMax", QStringLiteral("600"));
        SetNew(c.field, QString::fromLatin1(c.text));
        EXPECT_FALSE(m_bench->WriteChanged()) << c.field;
        ASSERT_EQ(Boxes().size(), 1u) << c.field;
        EXPECT_TRUE(Boxes()[0].text.contains(QLatin1String(c.field))) << Boxes()[0].text.toStdString();
        EXPECT_EQ(m_window->Settings().params.nMotionRangeMax, 717) << c.field << ": nothing sent";
        m_bench->Table()->SetNewValues(m_window->Settings().params);
    }
}

TEST_F(ParamWorkbenchTest, ARestoreLeavesABackupAndPutsTheSnapshotBack)
{
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    const std::string snapshot = FolderPath(QStringLiteral("known-good.json")).toStdString();
    ASSERT_TRUE(m_bench->SaveSnapshotTo(snapshot)) << m_bench->StatusText().toStdString();
    SetNew("nMotionlessRangeMax", QStringLiteral("300"));
    SetNew("fKalman4", QStringLiteral("0.25"));
    ASSERT_TRUE(m_bench->WriteChanged());
    ASSERT_EQ(m_window->Settings().params.nMotionlessRangeMax, 300);

    // An edit not written before the restore must not undo it at the next write.
    SetNew("nMotionlessRangeMax", QStringLiteral("350"));
    ASSERT_TRUE(m_bench->RestoreSnapshotFrom(snapshot)) << m_bench->StatusText().toStdString();
    EXPECT_EQ(m_window->Settings().params.nMotionlessRangeMax, 425);
    EXPECT_EQ(m_window->Settings().params.fKalman4, 0.15f);
    EXPECT_EQ(Cell("nMotionlessRangeMax", Table::kNew), QStringLiteral("425"));
    EXPECT_TRUE(m_bench->Table()->ChangedRows().empty());
    const QStringList backups = QDir(FolderPath(QStringLiteral("Log"))).entryList({QStringLiteral("*.json")});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(m_bench->StatusText().contains(backups[0])) << m_bench->StatusText().toStdString();
    ASSERT_TRUE(m_bench->WriteChanged());
    ASSERT_TRUE(m_bench->ReadAll());
    EXPECT_EQ(Cell("nMotionlessRangeMax", Table::kModule), QStringLiteral("425")) << "the restore was undone";

    // Files that are no snapshot: a box naming the fault, nothing sent.
    const QString bad = FolderPath(QStringLiteral("bad.json"));
    for (const QByteArray& text : {QByteArray("not json"), QByteArray("{\"format\":\"something-else\"}")}) {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        m_watcher->Clear();
        EXPECT_FALSE(m_bench->RestoreSnapshotFrom(bad.toStdString()));
        EXPECT_EQ(Boxes().size(), 1u);
    }
    EXPECT_EQ(QDir(FolderPath(QStringLiteral("Log"))).entryList({QStringLiteral("*.json")}).size(), 1)
        << "no backup for a restore that sent nothing";
}

}  // namespace
