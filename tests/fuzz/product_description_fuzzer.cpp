// Reads arbitrary UTF-8 as a product description and asks it everything the
// tools library passes on; a refused text must leave an error and keep the
// description read before.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolslib/product_description.h"

namespace {

const VoString kSource(L"Product.xml");

const wchar_t* const kConfigPaths[] = {
    L"/*/General/MegaSkin",        L"/*/Installer/PromoCount",      L"/*/SpecialFeatures/MinIEVersion",
    L"/*/Product/InstallToPath",   L"/*/Product/ObsoleteFiles",     L"/*/DefaultSettings/MAKEDEFAULTPLAYER",
    L"/*/Information/Links/Link",  L"//Link[2]",                    L"/*/Product[@x]/InstallToPath",
};

// A small valid description read first, so a refused input can be checked
// to keep it.
constexpr std::wstring_view kValid =
    L"<VoProduct version='1'><Information><ShortName>A</ShortName><DisplayName>A 1</DisplayName>"
    L"<FamilyName>A</FamilyName><EditionName>A 1</EditionName><MainProgram>a.exe</MainProgram>"
    L"<Launcher>b.exe</Launcher><StartMenuGroup>A</StartMenuGroup><StartMenuVersion>1</StartMenuVersion>"
    L"<Version>1.0</Version><MajorVersion>1</MajorVersion></Information></VoProduct>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ProductDescription description;
  VoString error;
  if (!description.Read(VoString(kValid), kSource, error)) __builtin_trap();

  if (!description.Read(VoString::FromUtf8(bytes), kSource, error)) {
    if (error.IsEmpty() || description.Information().names[0] != L"A") __builtin_trap();
  } else {
    const ProductInformation& info = description.Information();
    if (!error.IsEmpty() || info.major_version <= 0) __builtin_trap();
    for (const VoString& name : info.names) {
      if (name.IsEmpty()) __builtin_trap();
    }
    if (!info.own_extension.IsEmpty() && info.own_extension[0] != L'.') __builtin_trap();
    for (const VoString* program : {&info.main_program, &info.launcher}) {
      if (program->Find(L'\\') != VoString::npos || program->Find(L'/') != VoString::npos) __builtin_trap();
    }
  }
  for (const wchar_t* path : kConfigPaths) {
    (void)description.ConfigString(path, L"default");
    (void)description.ConfigInt(path, -7);
  }
  // The first line, when short, doubles as a configuration path.
  const size_t line = bytes.find('\n');
  if (line != std::string_view::npos && line < 64) {
    const VoString path = VoString::FromUtf8(bytes.substr(0, line));
    VoString text;
    if (!description.FindConfigText(path.View(), text) && !text.IsEmpty()) __builtin_trap();
    (void)description.ConfigInt(path.View(), 0);
  }
  return 0;
}
