// Forgetting the remembered scan results when a new program text is loaded.
#include "flow/scan_memory.h"

#include "flow/flow_state.h"

namespace quillon {

void forget_scans(FlowState& flow) {
    flow.scans = ScanMemory{};
}

}  // namespace quillon
