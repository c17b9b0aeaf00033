#pragma once
// The board layer's user as the program shows it: message boxes through the
// prompter, with the board's texts, titles, buttons and icons, and the
// program's orderly end.

#include "board/BoardUser.h"
#include "core/Services.h"

namespace kvb {

class BoardPrompter final : public board::BoardUser {
public:
    explicit BoardPrompter(Services& services) : services_(services) {}

    Answer askBoardNotFound(const std::string& deviceName, const std::string& boardTitle) override;
    Answer askConnectionLost(board::ConnectionFault fault, const std::string& boardTitle) override;
    Answer askI2cAddressRefused() override;
    Answer askI2cAddressNotFound() override;

    void pipeOutOfStep() override;
    void pipeLost() override;
    void sdaError() override;
    void notOffered() override;
    void registersFileRefused() override;
    void hexByteRefused(const std::string& boxName) override;
    void numberRefused(const std::string& boxName, unsigned low, unsigned high) override;

    void endProgram() override { services_.programEnd.end(); }
    bool programEnding() const override { return services_.programEnd.ending(); }

private:
    void tell(const std::string& text);

    Services& services_;
};

}  // namespace kvb
