// allowed
#include "slip/Currency.h"
