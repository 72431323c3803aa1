// MINIMAL printing (see Printing.h).
#include "host/Printing.h"

void FreePrintRecord() {}
