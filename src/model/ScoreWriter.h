#pragma once

#include <string>

#include "base/Host.h"
#include "model/CItemStore.h"
#include "model/RunRecord.h"

namespace velmora {

// Removes trailing 0.0 parameters from every item, lowering the header word
// by one for each. 0 when the user cancels.
int trimTrailingZeros(IHost& host, CItemStore& store);

class ByteWriter;

// The plain writer's bytes without the file; `outputPath` names it in messages.
int encodePlain(IHost& host, CItemStore& store, const std::string& outputPath, ByteWriter& out);

// The plain writer: trims, then writes lists 0..250 in order. 1 written, 0 not.
// With a record, the output is compared with the current input; a dry run
// stops there and reports it written.
int writePlain(IHost& host, CItemStore& store, const std::string& outputPath, CRunRecord* run = nullptr);

// The stave writer: flagged lists 0..249 with P2 lowered by the number of
// unflagged staves below, then the placed list. Nothing is trimmed.
int writeStaves(IHost& host, CItemStore& store, const std::string& outputPath, CRunRecord* run = nullptr);

} // namespace velmora
