// Each communication-error logger: its line in the error window and the one
// bit it adds to the chart sample being gathered, against the values the
// chart export decodes (0x02 CRC, 0x04 unusable answer, 0x08 NACK, 0x10
// short identification answer).

#include "link/LinkLog.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace kvb;

namespace {

struct FlagHost final : link::LinkHost {
    int16_t flags = 0;
    bool loggingActive() const override { return false; }
    void logEvent(const std::string&) override {}
    void addSampleFlags(int16_t bits) override { flags = static_cast<int16_t>(flags | bits); }
    bool pauseOnNack() const override { return false; }
    bool holdPollTimer() const override { return false; }
};

}  // namespace

TEST(LoggerFlagBits, EachLoggerAddsItsOwnBitAndLine)
{
    struct Logger {
        std::function<void(link::LinkLog&)> log;
        int16_t bit;
        std::string line;
    };
    const std::vector<Logger> loggers = {
        {[](link::LinkLog& l) { l.LogCrc4Error(); }, 0x02, "    CRC4 Error \r\n"},
        {[](link::LinkLog& l) { l.LogUnrecognizedResponse(); }, 0x04,
         "    Unrecognized Response \r\n"},
        {[](link::LinkLog& l) { l.LogNackResponse(); }, 0x08, "    NACK Response   \r\n"},
        {[](link::LinkLog& l) { l.LogPipeError(); }, 0x10, "    Pipe Communication Error\r\n"},
    };
    for (const Logger& logger : loggers) {
        test::TestServices t;
        FlagHost host;
        const std::string part = "KVB71853";
        const link::LinkViewOptions options;
        link::LinkLog log(t.services, host, part, options);
        logger.log(log);
        EXPECT_EQ(host.flags, logger.bit) << logger.line;
        const std::string& text = log.comErrors.text();
        ASSERT_GE(text.size(), logger.line.size());
        EXPECT_EQ(text.substr(text.size() - logger.line.size()), logger.line);
        // A second event of the same kind adds nothing new to the word.
        logger.log(log);
        EXPECT_EQ(host.flags, logger.bit) << logger.line;
    }
}
