#include "foundation/win/log_scope.h"

#include "foundation/string_format.h"
#include "tools/vo_tools.h"

VoLogScope::VoLogScope(const wchar_t* title, int category, bool enabled)
    : category_(category), title_(title), enabled_(enabled) {
  if (enabled_) vo::Log(title_, VoString(L"Start"), category_);
}

VoLogScope::~VoLogScope() {
  if (!enabled_) return;
  const uint32_t ms = timer_.Elapsed();
  if (result_) vo::Log(title_, VoFormat(L"Finish (result: %d) (%d ms)", *result_, ms), category_);
  else vo::Log(title_, VoFormat(L"Finish (%d ms)", ms), category_);
}

void VoLogScope::Log(const VoString& text) {
  if (enabled_) vo::Log(title_, text, category_);
}
