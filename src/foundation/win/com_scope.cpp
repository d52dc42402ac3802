#include "foundation/win/com_scope.h"

#include <objbase.h>
#include <ole2.h>

bool VoComScope::SetKind(Kind kind) {
  if (kind == kind_) return true;
  if (kind_ == kCom) CoUninitialize();
  else if (kind_ == kOle) OleUninitialize();
  kind_ = kNone;
  // S_FALSE (already initialised on this thread) still counts and must be undone.
  if (kind == kCom && SUCCEEDED(CoInitialize(nullptr))) kind_ = kCom;
  else if (kind == kOle && SUCCEEDED(OleInitialize(nullptr))) kind_ = kOle;
  return kind_ == kind;
}
