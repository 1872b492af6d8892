#include "core/storage.h"

namespace qp {

void reportStorageAllocationFailure(FaultHeader& storage) { report(storage, Severity::Error, 14); }

}  // namespace qp
