#pragma once
// Text search and sort comparison. Texts are compared code unit by code unit
// (after case folding when asked), which is this library's "whole text
// units" rule, so flag 2 is always honoured.

#include "tools/vo_tools.h"

class VoTextUtilities final : public IVoTextUtilities {
 public:
  int Find(const wchar_t* text, const wchar_t* what, int from, unsigned flags) override;
  int Compare(const wchar_t* a, const wchar_t* b, unsigned options) override;
};
