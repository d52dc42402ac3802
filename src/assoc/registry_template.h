#pragma once
// The line language of the association registry template: a line is a root
// key name or "key|value name|data|type|action", with placeholders that are
// filled in before the line is split.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/vo_string.h"

namespace vo {

enum class TemplateRoot { kClassesRoot, kCurrentUser, kLocalMachine };
enum class TemplateValueType { kString, kDword };
enum class TemplateAction { kModify, kCreate, kDelete };

struct TemplateEntry {
  VoString key_path;
  VoString value_name;  // empty for the key's default value ("Default")
  TemplateValueType type = TemplateValueType::kString;
  VoString text;        // the data of a text value
  uint32_t number = 0;  // the data of a DWORD value
  TemplateAction action = TemplateAction::kModify;
};

// The root a root line names (case ignored), or nothing for any other line.
std::optional<TemplateRoot> ParseTemplateRootLine(std::wstring_view line);

// An entry line after placeholder replacement; nothing unless it has exactly
// five fields.
std::optional<TemplateEntry> ParseTemplateEntry(std::wstring_view line);

// The values the placeholders stand for. `find_art` maps an art file name to
// its full path (empty when there is none).
struct TemplatePlaceholders {
  VoString install_dir;
  VoString system_dir;
  VoString current_dir;
  VoString product_name;
  VoString progid_stem;
  VoString exe_path;
  VoString launcher_path;
  VoString launcher_name;
  std::function<VoString(std::wstring_view file_name)> find_art;
};

// Replaces every placeholder of `line`. "[CUSTOMART]" takes the file name
// after it, up to the next double quote or the end of the line. The line is
// scanned once, so text that a value brings in (a folder the user chose with
// brackets in its name) is never taken for a placeholder.
VoString ReplaceTemplatePlaceholders(std::wstring_view line, const TemplatePlaceholders& values);

// Whether the line goes to the AutoPlay handlers, which 64-bit Windows reads
// from its 64-bit registry view as well.
bool NeedsBothRegistryViews(std::wstring_view line);

// The product's association entries, in the order they are applied.
const std::vector<VoString>& BuiltInTemplate();

}  // namespace vo
