#pragma once
// The bytes of one zip entry: stored entries as they are, deflated ones
// through zlib's raw inflate, both checked against the recorded size and
// CRC-32. Memory stays bounded whatever the archive claims: the data is
// handed on in pieces.

#include <cstddef>
#include <functional>

#include "foundation/vo_string.h"
#include "toolslib/zip_directory.h"
#include "toolslib/zip_source.h"

// Receives the entry's bytes piece by piece; false stops the extraction.
using ZipSink = std::function<bool(const char* data, size_t size)>;

// Whether the entry's data can be read here (stored or deflated, not
// encrypted); false with the reason.
bool CanExtractZipEntry(const ZipEntry& entry, VoString& failure);

// False with the reason in `failure` when the data is damaged or does not
// match its recorded size or checksum. When `sink` refuses a piece, the
// extraction stops and `failure` is left for the sink's owner to fill.
bool ExtractZipEntry(ZipSource& source, const ZipEntry& entry, const ZipSink& sink, VoString& failure);
