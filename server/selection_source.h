// Where the selection comes from: the data object's drop list (CF_HDROP), or, when it refuses
// one, a drop list made here from its item list ("Shell IDList Array"), as shells have been
// seen to do for items at paths of 260 characters or more. Either way a short (8.3) name in it
// is replaced by the long one the user knows, so the page reads one drop list of long paths.
#pragma once

#include <windows.h>

#include <ole2.h>

#include "server/unique_stg_medium.h"

// Fills `medium` with the selection's drop list; false when the data object offers neither.
bool TakeSelection(IDataObject* data, UniqueStgMedium& medium);
