#pragma once
// The compression service: gzip files decoded with zlib.

#include "tools/vo_tools.h"

class VoGzipDecoder final : public IVoCompression {
 public:
  bool GzipDecodeFile(const wchar_t* source, const wchar_t* target, const std::atomic<bool>* cancel) override;
};
