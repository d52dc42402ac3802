#include "app/command_line.h"

#include <cstddef>

#include "foundation/vo_string.h"

namespace vo {

VoStringArray SplitArguments(std::wstring_view text) {
  VoStringArray arguments;
  VoString current;
  bool quoting = false;
  size_t backslashes = 0;  // run of backslashes just before the current character
  for (const wchar_t c : text) {
    if (c == L'"' && backslashes % 2 == 1) {
      current += c;
    } else if (c == L'"') {
      if (quoting) {
        arguments.Add(current);  // a closing quote ends the argument, even an empty one
        current.Clear();
      }
      quoting = !quoting;
    } else if (c == L' ' && !quoting) {
      if (!current.IsEmpty()) arguments.Add(current);
      current.Clear();
    } else {
      current += c;
    }
    backslashes = c == L'\\' ? backslashes + 1 : 0;
  }
  if (!current.IsEmpty()) arguments.Add(current);
  return arguments;
}

VoString JoinArguments(const VoStringArray& arguments) {
  VoString joined;
  for (size_t i = 0; i < arguments.GetCount(); ++i) {
    VoString argument;
    for (const wchar_t c : arguments[i].View()) {
      if (c == L'"') argument += L'\\';
      argument += c;
    }
    if (argument.Find(L' ') != VoString::npos || argument.Find(L'\'') != VoString::npos) {
      argument = L"\"" + argument + L'"';
    }
    if (i > 0) joined += L' ';
    joined += argument.View();
  }
  return joined;
}

namespace {

enum class Switch { kDistributorId, kSilent, kUpgrade, kNoAssociations, kNoDependencies, kNoUpgrade, kNoDriver, kNoRun };

struct Keyword {
  std::wstring_view text;
  Switch which;
};

// Tried in this order; the first keyword the piece begins with wins.
constexpr Keyword kKeywords[] = {
    {L"DistributorID", Switch::kDistributorId}, {L"Silent", Switch::kSilent},
    {L"Upgrade", Switch::kUpgrade},             {L"NoAssociations", Switch::kNoAssociations},
    {L"NoDependencies", Switch::kNoDependencies}, {L"NoUpgrade", Switch::kNoUpgrade},
    {L"NoDriver", Switch::kNoDriver},           {L"NoRun", Switch::kNoRun},
};

void ApplySwitch(std::wstring_view piece, InstallSession& session) {
  for (const Keyword& keyword : kKeywords) {
    if (!vo::StartsWithNoCase(piece, keyword.text)) continue;
    switch (keyword.which) {
      case Switch::kDistributorId:
        session.DistributorID = VoString(piece.substr(keyword.text.size())).Trimmed();
        break;
      case Switch::kSilent: session.Silent = true; break;
      case Switch::kUpgrade: session.Upgrade = true; break;
      case Switch::kNoAssociations: session.NoAssociations = true; break;
      case Switch::kNoDependencies: session.NoDependencies = true; break;
      case Switch::kNoUpgrade: session.NoUpgrade = true; break;
      case Switch::kNoDriver: session.NoDriver = true; break;
      case Switch::kNoRun: session.NoRun = true; break;
    }
    return;
  }
}

}  // namespace

bool ParseCommandLine(std::wstring_view text, InstallSession& session) {
  size_t slash = text.find(L'/');
  while (slash != std::wstring_view::npos) {
    const size_t next = text.find(L'/', slash + 1);
    const size_t end = next == std::wstring_view::npos ? text.size() : next;
    ApplySwitch(text.substr(slash + 1, end - slash - 1), session);
    slash = next;
  }
  return true;
}

bool ParseCommandLine(std::wstring_view text) { return ParseCommandLine(text, Session()); }

}  // namespace vo
