// A screen may use the port seam below it.
#include "ports/port.h"
