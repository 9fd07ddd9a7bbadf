#pragma once

#include "core/serial/serialdevice.h"

// The devices the program opens: the simulated module for its address, one
// for the whole run; a real adapter for every other address.
SerialDeviceFactory systemSerialDeviceFactory();
