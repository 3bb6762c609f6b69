// A printer file that is not one of the CUPS files.
#include <cups/cups.h>
