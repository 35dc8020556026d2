// Wraps libUEMF's record checks.
#include "platform/metafile_records.h"

#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

namespace kelpo::metafile_records {

bool enhancedRecordSound(const char* record) { return U_emf_record_safe(record) != 0; }

bool oldRecordSound(const char* record, const char* limit) {
  return U_WMRRECSAFE_get(record, limit) != 0;
}

}  // namespace kelpo::metafile_records
