// An upward include: the check must refuse it.
#include "screens/screen.h"
