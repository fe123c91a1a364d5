#pragma once

#include <optional>
#include <string>

// What stands at a port's path, asked only after opening it failed, so that the message says
// what is wrong instead of a generic reason. Neither function opens the port: opening resets
// some readers, and one held by another transfer must not be disturbed.

// Why the path cannot be a serial port (a regular file, a folder, a device that is no terminal),
// or nothing when it may well be one or cannot be told.
std::optional<std::string> NotASerialPort(const std::string& port);

// True when this user's permissions allow reading and writing the device: a refusal then means
// another program holds the port.
bool MayOpenDevice(const std::string& port);
