// Splits arbitrary UTF-8 as a command line, joins the arguments and parses
// the switches. Arguments the joining keeps apart come back from a second
// split unchanged, and a parsed distributor identifier holds no slash and no
// white space at its ends.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/command_line.h"
#include "app/session.h"

namespace {

// Joining escapes quotes, so they come back with a backslash; a quoted
// argument that ends in a backslash escapes its own closing quote; empty
// arguments vanish between spaces.
bool JoinsBackExactly(const VoString& argument) {
  if (argument.IsEmpty() || argument.Find(L'"') != VoString::npos) return false;
  const bool quoted = argument.Find(L' ') != VoString::npos || argument.Find(L'\'') != VoString::npos;
  return !(quoted && argument.EndsWith(L'\\'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const VoString text = VoString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const VoStringArray arguments = vo::SplitArguments(text.View());
  const VoString joined = vo::JoinArguments(arguments);

  VoStringArray plain;
  for (const VoString& argument : arguments) {
    if (JoinsBackExactly(argument)) plain.Add(argument);
  }
  if (!(vo::SplitArguments(vo::JoinArguments(plain).View()) == plain)) __builtin_trap();

  InstallSession session;
  vo::ParseCommandLine(joined.View(), session);
  vo::ParseCommandLine(text.View(), session);
  const VoString& id = session.DistributorID;
  if (id.Find(L'/') != VoString::npos || !(id.Trimmed() == id)) __builtin_trap();
  return 0;
}
