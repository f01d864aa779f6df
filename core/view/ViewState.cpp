#include "core/view/ViewState.h"

bool Busy = false;
