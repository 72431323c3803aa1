// New stacks and the id counters of the open stack's header. For now only the object-id
// counter that every new object, pasted object and stored action takes its id from.
#pragma once

#include <cstdint>

// The header's next object id (+12), which is then incremented (past 65535 to 1); 0 when no
// stack is open.
uint16_t NewUniqueObjectId();
