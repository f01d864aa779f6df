#include "app/ViewState.h"

bool Busy = false;
