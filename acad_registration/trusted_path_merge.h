// A profile's TRUSTEDPATHS with the target folder added: it walks
// double-byte text byte by byte, and touches nothing but its buffer.
#pragma once

#include "format_buffers.h"

// The list that adds folder to current, formatted into merged. A list of at
// most two characters, or the folder alone in any case (with or without one
// trailing backslash), is replaced by the folder; a longer one is upper-cased
// and gains ";FOLDER" unless one of its entries is the folder already,
// compared without case. False (merged empty) when the result would not fit
// the buffer.
bool MergeTrustedPaths(const CString& current, const CString& folder, char (&merged)[kTextBufferSize]);
