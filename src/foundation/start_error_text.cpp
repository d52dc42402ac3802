#include "start_error_text.h"

namespace vo {

const wchar_t* StartErrorFormat(int code) {
  switch (code) {
    case 2: return L"File '%s' is not found.";
    case 3: return L"The specified path to file '%s' was not found.";
    case 11: return L"File '%s' is invalid.";
    default: return L"Can not start program '%s'.  Error unknown.  (%d)";
  }
}

}  // namespace vo
