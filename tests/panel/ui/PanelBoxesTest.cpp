// The board panel's pin captions and the key classes of its entry boxes,
// every member of each.

#include "panel/ui/PanelWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

using namespace kvb;

namespace {

using PanelBoxes = test::PanelWindowTest;

TEST_F(PanelBoxes, OutputModeCaptionsMarkThePinsTheMultiplexerTakes)
{
    const char* captions[5][8] = {
        {"P0.0", "P0.1", "P0.2", "PO.3 A", "P0.4 A", "P0.5", "P0.6", "P0.7"},
        {"P1.0", "P1.1 A", "P1.2 A", "P1.3", "P1.4", "P1.5", "P1.6", "P1.7"},
        {"P2.0 A", "P2.1 A", "P2.2 A", "P2.3 A", "P2.4", "P2.5 A", "P2.6 A", "P2.7"},
        {"P3.0", "P3.1", "P3.2", "P3.3", "P3.4", "P3.5", "P3.6", "P3.7"},
        {"P4.0", "P4.1", "P4.2", "P4.3", "P4.4", "P4.5", "P4.6", "P4.7"}};
    for (int port = 0; port < 5; ++port) {
        for (int bit = 0; bit < 8; ++bit) {
            auto* mode = find<QCheckBox>(QString("chkOpenCollectorP%1_%2").arg(port).arg(bit));
            ASSERT_NE(mode, nullptr);
            EXPECT_EQ(mode->text().toStdString(), captions[port][bit]);
            auto* analog = find<QCheckBox>(QString("chkDINP%1_%2").arg(port).arg(bit));
            ASSERT_NE(analog, nullptr);
            EXPECT_EQ(analog->text(), "") << port << "." << bit;
        }
    }
}

// Each typed character alone into an empty box: the hexadecimal boxes take
// 0-9 and a-f in either case, upper-cased; the decimal boxes 0-9; the boxes
// without a filter everything. Backspace passes in all of them.
TEST_F(PanelBoxes, EveryFilteredBoxTakesExactlyItsKeyClass)
{
    enum class Class { Hex, Dec, Any };
    struct Box {
        const char* name;
        Class keys;
    };
    const Box boxes[] = {{"txtSFRAddress", Class::Hex},
                         {"txtPBuf_0", Class::Hex},
                         {"txtPBuf_25", Class::Hex},
                         {"txtWriteVal_0", Class::Hex},
                         {"txtWriteVal_63", Class::Hex},
                         {"txtRegister", Class::Hex},
                         {"txtWriteIndividual_0", Class::Hex},
                         {"txtWriteIndividual_1", Class::Hex},
                         {"txtNumToRead", Class::Dec},
                         {"txtNumToWrite", Class::Dec},
                         {"txtADCLoopCount", Class::Dec},
                         {"txtSFRWRData", Class::Any},
                         {"txtStartRegRD", Class::Any},
                         {"txtStartRegWr", Class::Any},
                         {"txtADOSC", Class::Any}};
    const std::string typed = "0123456789abcdefABCDEFgGxXzZ .-+";
    for (const Box& b : boxes) {
        auto* box = find<QLineEdit>(b.name);
        ASSERT_NE(box, nullptr);
        for (char c : typed) {
            box->clear();
            type(box, std::toupper(static_cast<unsigned char>(c)), QString(QChar(c)));
            std::string expected;
            const auto u = static_cast<unsigned char>(c);
            if (b.keys == Class::Any || std::isdigit(u))
                expected = std::string(1, c);
            else if (b.keys == Class::Hex && std::isxdigit(u))
                expected = std::string(1, static_cast<char>(std::toupper(u)));
            EXPECT_EQ(box->text().toStdString(), expected) << b.name << " '" << c << "'";
        }
        box->setText("12");
        box->end(false);
        type(box, Qt::Key_Backspace, "\b");
        EXPECT_EQ(box->text(), "1") << b.name;
    }
}

// Ctrl+V replaces the whole text, unfiltered, in every box that has the
// edit keys; Ctrl with Shift does nothing there.
TEST_F(PanelBoxes, EveryBoxWithTheEditKeysPastesOverItsWholeText)
{
    for (const char* name : {"txtNumToRead", "txtNumToWrite", "txtRegister", "txtWriteVal_0",
                             "txtWriteVal_63", "txtWriteIndividual_0", "txtWriteIndividual_1"}) {
        auto* box = find<QLineEdit>(name);
        ASSERT_NE(box, nullptr);
        box->setText("12");
        QApplication::clipboard()->setText("zq");
        type(box, Qt::Key_V, "\x16", Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(box->text(), "12") << name;
        type(box, Qt::Key_V, "\x16", Qt::ControlModifier);
        EXPECT_EQ(box->text(), "zq") << name;
    }
}

// The ADC frame's lists, every entry, and the entry each starts on.
TEST_F(PanelBoxes, AdcListsHoldTheirEntriesAndStartOnTheDefaults)
{
    auto entries = [](QComboBox* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(list->itemText(i).toStdString());
        return texts;
    };
    const std::vector<std::string> common{
        "00 - P2.0", "01 - P2.1", "02 - P2.2", "03 - P2.3", "04 - P2.5", "05 - P2.6", "06 - P3.0",
        "07 - P3.1", "08 - P3.4", "09 - P3.5", "0A - P3.7", "0B - P4.0", "0C - P4.3", "0D - P4.4",
        "0E - P4.5", "0F - P4.6", "10 - RSVD", "11 - P0.3", "12 - P0.4", "13 - P1.1", "14 - P1.2"};
    std::vector<std::string> positive = common;
    positive.insert(positive.end(), {"1E - Temp Sensor", "1F - VDD"});
    std::vector<std::string> negative = common;
    negative.insert(negative.end(), {"1E - VREF", "1F - GND"});
    struct List {
        const char* name;
        std::vector<std::string> texts;
        int selected;
    };
    for (const List& l :
         {List{"cboADCReadMode_0", {"0: Single", "1: Continuous 1", "2: Continuous 2"}, 0},
          List{"cboADCReadMode_1", {"0: 31 Sample", "1:  1 Sample"}, 0},
          List{"cboAnamux_0", positive, 11}, List{"cboAnamux_1", negative, 22}}) {
        auto* list = find<QComboBox>(l.name);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(entries(list), l.texts) << l.name;
        EXPECT_EQ(list->currentIndex(), l.selected) << l.name;
    }
}

}  // namespace
