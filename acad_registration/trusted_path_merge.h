// The text of one profile's TRUSTEDPATHS: the bytes read from the registry
// taken as a list, and the list with the target folder added. Both walk
// double-byte text byte by byte, and touch nothing but their buffers.
#pragma once

#include "format_buffers.h"

// The text of a value whose data are the first size bytes of data (a buffer
// of kTextBufferSize bytes). False when the bytes are more than their text:
// text that fills the buffer without a terminating zero, or bytes after the
// zero (the further strings of a REG_MULTI_SZ, text behind a stray zero),
// which a value written back as the text alone would lose.
bool TrustedPathsText(const char (&data)[kTextBufferSize], unsigned long size, CString& text);

// The list that adds folder to current, formatted into merged. A list of at
// most two characters is replaced by the folder; a longer one is upper-cased
// and gains ";FOLDER" unless it holds the folder already, compared without
// case. False (merged empty) when the result would not fit the buffer.
bool MergeTrustedPaths(const CString& current, const CString& folder, char (&merged)[kTextBufferSize]);
