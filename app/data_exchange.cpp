#include "app/data_exchange.h"

#include "res/resource_ids.h"

namespace app {
namespace {

#define FIELD(name) [](dialog::FieldValues& f) -> std::string& { return f.name; }

// The order matters: a collection stops at the first value over its limit.
const FieldBinding kBindings[] = {
    {res::IDC_FIRMWARE_PATH, FIELD(FirmwarePath), 0, false},
    {res::IDC_DEVICE1_LIST, FIELD(Device1Label), 0, true},
    {res::IDC_NEXT_NAP, FIELD(NextNap), 0, false},
    {res::IDC_NEXT_UAP, FIELD(NextUap), 0, false},
    {res::IDC_NEXT_LAP, FIELD(NextLap), 6, false},
    {res::IDC_BURN_COUNT, FIELD(BurnCount), 0, false},
    {res::IDC_DEVICE_NAME, FIELD(DeviceName), 12, false},
    {res::IDC_DEVICE2_LIST, FIELD(Device2Label), 0, true},
    {res::IDC_START_NAP, FIELD(StartNap), 4, false},
    {res::IDC_START_LAP, FIELD(StartLap), 6, false},
    {res::IDC_START_UAP, FIELD(StartUap), 2, false},
    {res::IDC_CURRENT_NAP, FIELD(CurrentNap), 0, false},
    {res::IDC_CURRENT_UAP, FIELD(CurrentUap), 0, false},
    {res::IDC_CURRENT_LAP, FIELD(CurrentLap), 6, false},
    {res::IDC_PIO1, FIELD(PioText[0]), 0, false},
    {res::IDC_PIO2, FIELD(PioText[1]), 0, false},
    {res::IDC_PIO3, FIELD(PioText[2]), 0, false},
    {res::IDC_PIO4, FIELD(PioText[3]), 0, false},
    {res::IDC_PIO5, FIELD(PioText[4]), 0, false},
    {res::IDC_PIO6, FIELD(PioText[5]), 0, false},
    {res::IDC_PIO7, FIELD(PioText[6]), 0, false},
    {res::IDC_PIO8, FIELD(PioText[7]), 0, false},
};

#undef FIELD

}  // namespace

std::span<const FieldBinding> FieldBindings() { return kBindings; }

}  // namespace app
