// SPDX-License-Identifier: MIT
#pragma once

#include "rows.h"

namespace nconvert {

/// The cores this process may run on (its affinity mask), at least 1.
int usableCores();

/// Feeds every row of `source` (all frames) to `sink`, then finishes it. With more than one
/// core the source (decoding) runs on a thread of its own a few rows ahead of the sink
/// (scaling and encoding), so the two overlap; the rows in flight are bounded, not the
/// picture. An error on either side stops both and is rethrown here.
void pumpRows(RowSource& source, RowSink& sink, int cores = usableCores());

} // namespace nconvert
