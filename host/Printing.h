// Printing cards.
#pragma once

// MINIMAL until printing is built (Printing_win.cpp): no print record exists to free.
void FreePrintRecord();
