#include "bench/InstrumentPanel.h"
#include "sim/SimGpibBus.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace kvb;
using namespace kvb::bench;

namespace {

class InstrumentFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& text)
    {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("kvb_instruments_" + std::to_string(::getpid()) + ".csv"))
                               .string();
        std::ofstream(path, std::ios::binary) << text;
        paths.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const auto& p : paths)
            std::filesystem::remove(p);
    }

    test::TestServices t;
    sim::SimGpibBus bus;
    InstrumentPanel panel{t.services, bus};
    std::vector<std::string> paths;
};

std::string records(int count)
{
    std::string text;
    for (int r = 0; r < count; ++r)
        text += "R" + std::to_string(r) + ", " + std::to_string(r + 1) + " ,x,\"Unit " +
                std::to_string(r) + ", bay\"\r\n";
    return text;
}

}  // namespace

TEST_F(InstrumentFileTest, AppliesAddressesAndNamesOnceTheEndRecordIsRead)
{
    t.files.openAnswers = {write(records(20) + "EOF,,,\r\n")};
    panel.cmdloadInstConfig_Click();
    EXPECT_EQ(panel.lblInstConfigFIle, paths[0]);
    EXPECT_EQ(panel.Grid1[3][0], "R3");
    EXPECT_EQ(panel.Grid1[19][3], "Unit 19, bay");
    EXPECT_EQ(panel.smus.panels[0].txtVIAddress, "4");
    EXPECT_EQ(panel.smus.panels[0].FrVIContol, "VI# 1 Unit 3, bay");
    EXPECT_EQ(panel.smus.panels[4].txtVIAddress, "8");
    EXPECT_EQ(panel.voltmeters.panels[0].txtDVMAddress, "12");
    EXPECT_EQ(panel.voltmeters.panels[8].frDVMSet, "VM# 9 Unit 19, bay");
}

TEST_F(InstrumentFileTest, AFileEndingBeforeTheEndRecordOnlyFillsTheGrid)
{
    t.files.openAnswers = {write(records(20))};
    panel.cmdloadInstConfig_Click();
    EXPECT_EQ(panel.Grid1[19][0], "R19");
    EXPECT_EQ(panel.smus.panels[0].txtVIAddress, "14");
    EXPECT_EQ(panel.voltmeters.panels[0].frDVMSet, "VM Control 1");
}

TEST_F(InstrumentFileTest, AnEndRecordFirstEmptiesTheGridAndThePanelAddresses)
{
    t.files.openAnswers = {write("EOF\r\n")};
    panel.cmdloadInstConfig_Click();
    EXPECT_EQ(panel.Grid1[0][0], "");
    EXPECT_EQ(panel.smus.panels[2].txtVIAddress, "");
    EXPECT_EQ(panel.smus.panels[2].FrVIContol, "VI# 3 ");
    EXPECT_EQ(panel.voltmeters.panels[0].txtDVMAddress, "");
}

TEST_F(InstrumentFileTest, CancellingOrAMissingFileChangesNothing)
{
    panel.Grid1[0][0] = "kept";
    panel.cmdloadInstConfig_Click();  // dialog cancelled
    // The panel's own dialog, with the CSV entry second and chosen.
    ASSERT_EQ(t.files.opened.size(), 1u);
    const FileDialogRequest& asked = t.files.opened[0];
    EXPECT_EQ(asked.owner, DialogOwner::InstrumentPanel);
    EXPECT_EQ(asked.title, "Select Instruments File to Load");
    EXPECT_EQ(asked.filters,
              (std::vector<std::string>{"All Files (*.*)", "Instrument Files(*.csv)"}));
    EXPECT_EQ(asked.chosenFilter, 1u);
    EXPECT_EQ(panel.Grid1[0][0], "kept");
    EXPECT_EQ(panel.lblInstConfigFIle, "");
    panel.Read_Instrument_FIle("/nonexistent/instruments.csv");
    EXPECT_EQ(panel.Grid1[0][0], "kept");
    EXPECT_EQ(panel.smus.panels[0].txtVIAddress, "14");
    EXPECT_TRUE(t.prompter.asked.empty());
}

TEST_F(InstrumentFileTest, AFolderChosenAsTheFileKeepsTheRowsRead)
{
    t.files.openAnswers = {write(records(20) + "EOF,,,\r\n")};
    panel.cmdloadInstConfig_Click();
    ASSERT_EQ(panel.Grid1[19][0], "R19");
    const std::string folder = std::filesystem::temp_directory_path().string();
    t.files.openAnswers = {folder};
    panel.cmdloadInstConfig_Click();
    EXPECT_EQ(panel.lblInstConfigFIle, folder);
    EXPECT_EQ(panel.Grid1[0][0], "R0");
    EXPECT_EQ(panel.Grid1[19][3], "Unit 19, bay");
    EXPECT_EQ(panel.smus.panels[0].txtVIAddress, "4");
    EXPECT_EQ(panel.voltmeters.panels[8].frDVMSet, "VM# 9 Unit 19, bay");
    EXPECT_TRUE(t.prompter.asked.empty());
}
