#pragma once

// The numbers of the program's resources: the resource script that compiles them and the windows
// that load them both take them from here.
#define IDI_QUELM 1
#define IDI_TIP_BULB 2
