#pragma once

#include <memory>

#include "readers/usb_calls.h"

// The real USB calls, over libusb-1.0.
std::unique_ptr<UsbCalls> MakeLibusbCalls();
