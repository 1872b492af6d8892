#include "core/storage.h"

namespace qp {

void reportStorageAllocationFailure(FaultHeader& storage) { report(storage, ErrorCode::StorageAllocationFailed); }

}  // namespace qp
