// The computer clock's local date and time, as records and reports are stamped.
#pragma once

#include "reception/reception_host.h"

namespace zeblon {

reception::LocalTime ComputerClockNow();

}  // namespace zeblon
