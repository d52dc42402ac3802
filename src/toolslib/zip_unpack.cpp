#include "toolslib/zip_unpack.h"

#include <set>

#include "foundation/contained_path.h"
#include "foundation/string_format.h"
#include "foundation/vo_string_array.h"
#include "toolslib/zip_entry_data.h"

namespace {

struct NoCaseLess {
  bool operator()(const VoString& a, const VoString& b) const { return a.CompareNoCase(b.View()) < 0; }
};

}  // namespace

bool PlanZipUnpack(const std::vector<ZipEntry>& entries, bool keep_structure, std::vector<ZipUnpackStep>& steps,
                   VoString& failure) {
  steps.clear();
  std::vector<ZipUnpackStep> plan;
  std::set<VoString, NoCaseLess> folders;
  const auto add_folder = [&](const VoString& folder) {
    if (folders.insert(folder).second) plan.push_back({folder, nullptr});
  };
  for (const ZipEntry& entry : entries) {
    VoStringArray names;
    if (!vo::SplitContainedPath(entry.name.View(), names)) {
      failure = VoFormat(L"The archive entry '%s' would be unpacked outside the target folder.", entry.name);
      return false;
    }
    const bool folder = entry.IsFolder();
    if (!folder && !CanExtractZipEntry(entry, failure)) return false;
    if (!keep_structure) {
      if (!folder) plan.push_back({names[names.GetCount() - 1], &entry});
      continue;
    }
    VoString path;
    const size_t parents = folder ? names.GetCount() : names.GetCount() - 1;
    for (size_t i = 0; i < parents; ++i) {
      path += names[i].View();
      path += L'\\';
      add_folder(path);
    }
    if (!folder) plan.push_back({path + names[names.GetCount() - 1].View(), &entry});
  }
  steps = std::move(plan);
  return true;
}

bool WriteZipSteps(ZipSource& source, const std::vector<ZipUnpackStep>& steps, ZipUnpackTarget& target,
                   VoString& failure) {
  failure.Clear();
  for (const ZipUnpackStep& step : steps) {
    if (!step.entry) {
      if (!target.CreateFolder(step.relative, failure)) return false;
      continue;
    }
    if (!target.BeginFile(step.relative, failure)) return false;
    VoString write_failure;
    const bool extracted = ExtractZipEntry(
        source, *step.entry,
        [&](const char* data, size_t size) { return target.Write(data, size, write_failure); }, failure);
    if (!extracted) {
      if (failure.IsEmpty()) failure = write_failure;
      VoString ignored;
      target.EndFile(false, ignored);
      return false;
    }
    if (!target.EndFile(true, failure)) return false;
  }
  return true;
}

bool UnpackZip(ZipSource& source, bool keep_structure, ZipUnpackTarget& target, VoString& failure) {
  failure.Clear();
  std::vector<ZipEntry> entries;
  std::vector<ZipUnpackStep> steps;
  return ReadZipDirectory(source, entries, failure) && PlanZipUnpack(entries, keep_structure, steps, failure) &&
         WriteZipSteps(source, steps, target, failure);
}
