// Radio and network links: the TNC command sets, the packet engine and APRS-IS
// links, the GPS receiver and the own transmissions.
#pragma once
