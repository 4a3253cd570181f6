#include "engine/szdd_expander.h"
