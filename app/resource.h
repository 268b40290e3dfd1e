#pragma once

// Resource IDs, shared by the resource script and the code.
#define IDI_QUELM 1
#define IDI_TIP_BULB 2
