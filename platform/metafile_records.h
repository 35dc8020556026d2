// libUEMF's checks of single metafile records, kept apart from the converters because its
// old-style metafile header clashes with libwmf's declarations.
#pragma once

namespace kelpo::metafile_records {

// An enhanced-metafile record whose size field has been checked to lie within the data: true
// when its own counts and offsets stay inside it. The record must be 4-byte aligned.
bool enhancedRecordSound(const char* record);
// An old-style metafile record starting at `record`, the data ending at `limit`: true when it
// is whole and sound.
bool oldRecordSound(const char* record, const char* limit);

}  // namespace kelpo::metafile_records
