// The event types of the HID layer: method pointers with fixed shapes.
#pragma once

#include <cstdint>

#include "hid/component.h"
#include "hid/method_pointer.h"

class TJvHidDevice;

// A device has appeared, gone, or been unplugged.
using TJvHidPlugEvent = TMethod<void(TJvHidDevice* HidDev)>;
// One device offered by an enumeration with its list index; false stops the enumeration.
using TJvHidEnumerateEvent = TMethod<bool(TJvHidDevice* HidDev, const std::int32_t Idx)>;
// An input report: its ID, the data after the ID byte (valid during the call only) and their size.
using TJvHidDataEvent =
    TMethod<void(TJvHidDevice* HidDev, std::uint8_t ReportID, const void* Data, std::uint16_t Size)>;
// A background read could not be started; Error is the system error code.
using TJvHidDataErrorEvent = TMethod<void(TJvHidDevice* HidDev, std::uint32_t Error)>;
// Something happened to Sender.
using TNotifyEvent = TMethod<void(TObject* Sender)>;
