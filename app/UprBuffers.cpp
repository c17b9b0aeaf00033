#include "app/UprBuffers.h"

#include "core/AppInfo.h"
#include "core/UnexpectedError.h"
#include "link/BoardCheck.h"

namespace kvb {

UprBuffers::UprBuffers(link::ChipLink& link, ChipCommands& commands, Services& services)
    : link_(link), commands_(commands), services_(services)
{
}

void UprBuffers::ReadUPRBuffers(int16_t& index)
{
    RunHandler(services_.prompter, "ReadUPRBuffers", [&] {
        readBuffer(index);
    });
}

void UprBuffers::readBuffer(int16_t& index)
{
    if (link_.refuseNested())
        return;
    if (!EvbConnectedOrTell(link_, services_.prompter, "ReadUPRBuffers"))
        return;
    if (!link_.DaisyChainMode) {
        services_.prompter.tell(
            "Programming error. ReadUPRBuffers() should not be called when in non-daisychain mode!",
            kProgramTitle);
        link_.log.AddToEvbLog(
            "ReadUPRBuffers: Was called when in non-daisychain mode. This should not happen.");
        return;
    }
    if (index < 0 || index > 3)
        return;
    const bool readOnly = index > 1;
    if (readOnly)
        index = static_cast<int16_t>(index - 2);

    if (bufferHoldsResponse(index, readOnly))
        responsePending();
}

bool UprBuffers::bufferHoldsResponse(int16_t type, bool readOnly)
{
    // The answer is judged before anything else may use the link.
    link::ChipLink::ExchangeScope exchange(link_);
    // The all-zero message is sent as the type's buffer request alone.
    link::ChipMessage request(0, 0, 0, 0, type);
    if (!link_.SendReceivePipe(request) || readOnly)
        return false;
    const auto answer = link_.answerBytes();
    if (answer.empty())
        return false;
    if (answer.front() == kEmptyBuffer) {
        // Heartbeat: the lamp alternates between green and yellow.
        const bool green = link_.lamps.colour(LampId::UprStatus) == kLampGreen;
        link_.lamps.set(LampId::UprStatus, green ? kLampYellow : kLampGreen);
        return false;
    }
    return true;
}

void UprBuffers::responsePending()
{
    link_.lamps.set(LampId::UprStatus, kLampRed);
    // Polling stays off until the user switches it on again.
    link_.stopPolling();
    services_.pump.yield();
    if (CommandView* view = commands_.view())
        view->selectTab(2);
    const board::PipeLossWatch watch(link_.pipe());
    commands_.cbReadAllFaults_Click();
    if (!watch.lost())
        commands_.cbReadAllVolts_Click();
}

}  // namespace kvb
