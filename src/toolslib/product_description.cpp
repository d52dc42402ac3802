#include "toolslib/product_description.h"

#include <utility>

#include "foundation/number_text.h"
#include "foundation/text_file.h"

namespace {

constexpr std::wstring_view kRootName = L"VoProduct";
constexpr std::wstring_view kInformationName = L"Information";

// Element names of the four name forms, in form order.
constexpr std::wstring_view kNameElements[4] = {L"ShortName", L"DisplayName", L"FamilyName", L"EditionName"};

VoString Quoted(std::wstring_view text) { return VoString(L"\"") + text + L"\""; }

// "The product description "<source>" <what>"
VoString Fault(const VoString& source, std::wstring_view what) {
  return VoString(L"The product description ") + Quoted(source).View() + L" " + what;
}

// A whole text of decimal digits, at least one.
bool AllDigits(std::wstring_view text) {
  if (text.empty()) return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// A number with nothing else around it but white space; false for other text.
bool ReadWholeNumber(std::wstring_view text, int& value) {
  const VoString trimmed = VoString(text).Trimmed();
  size_t consumed = 0;
  value = vo::ParseInt(trimmed.View(), &consumed);
  if (trimmed.IsEmpty() || consumed != trimmed.Length()) return false;
  return vo::DecimalDigitValue(trimmed[trimmed.Length() - 1]) >= 0;  // not a sign alone
}

// The format's major version from a "major[.minor...]" text; -1 when the
// text is not a version number.
int FormatMajor(const VoString& version) {
  const VoString v = version.Trimmed();
  const std::wstring_view all = v.View();
  const size_t dot = all.find(L'.');
  const std::wstring_view major = all.substr(0, dot);
  if (!AllDigits(major) || major.size() > 6) return -1;
  if (dot != std::wstring_view::npos) {
    std::wstring_view rest = all.substr(dot + 1);
    while (true) {
      const size_t next = rest.find(L'.');
      if (!AllDigits(rest.substr(0, next))) return -1;
      if (next == std::wstring_view::npos) break;
      rest = rest.substr(next + 1);
    }
  }
  return vo::ParseInt(major);
}

// Program files are joined to folders by the installer: only a plain name
// may stand here, never a path that leads elsewhere.
bool IsPlainFileName(const VoString& name) {
  if (name.IsEmpty() || name == L"." || name == L"..") return false;
  for (wchar_t c : name.View()) {
    if (c == L'\\' || c == L'/' || c == L':' || c < 32) return false;
  }
  return true;
}

// The entries of a ";" list, each trimmed, empty ones dropped.
VoStringArray ListEntries(const VoString& text) {
  VoStringArray entries;
  for (const VoString& part : VoStringArray::Split(text.View(), L";")) {
    VoString entry = part.Trimmed();
    if (!entry.IsEmpty()) entries.Add(std::move(entry));
  }
  return entries;
}

class InformationReader {
 public:
  InformationReader(XmlDocument& doc, const VoString& source, VoString& error)
      : doc_(doc), source_(source), error_(error) {}

  bool Read(ProductInformation& info) {
    if (!SelectInformation()) return Fail(VoString(L"has no <") + kInformationName + L"> element.");
    for (int form = 0; form < 4; ++form) {
      if (!Required(kNameElements[form], info.names[form])) return false;
    }
    if (!Required(L"MainProgram", info.main_program) || !PlainName(L"MainProgram", info.main_program)) {
      return false;
    }
    if (!Required(L"Launcher", info.launcher) || !PlainName(L"Launcher", info.launcher)) return false;
    for (const VoString& program : ListEntries(Text(L"ServerPrograms"))) {
      if (!PlainName(L"ServerPrograms", program)) return false;
      info.server_programs.Add(program);
    }
    if (!Required(L"StartMenuGroup", info.start_menu_group) ||
        !Required(L"StartMenuVersion", info.start_menu_version) ||
        !Required(L"Version", info.version_text)) {
      return false;
    }
    VoString major;
    if (!Required(L"MajorVersion", major)) return false;
    if (!ReadWholeNumber(major.View(), info.major_version) || info.major_version <= 0) {
      return Fail(VoString(L"gives the MajorVersion ") + Quoted(major).View() + L", which is not a positive number.");
    }
    info.web_address = Text(L"WebAddress");
    if (!ReadLinks(info.links) || !ReadFeatures(info.features)) return false;
    info.mime_types = Text(L"MimeTypes");
    info.protocols = Text(L"Protocols");
    info.own_extension = Text(L"OwnExtension");
    if (!info.own_extension.IsEmpty() && info.own_extension[0] != L'.') info.own_extension.Insert(0, L".");
    return true;
  }

 private:
  bool Fail(std::wstring_view what) {
    error_ = Fault(source_, what);
    return false;
  }

  // The trimmed text of the first child `name` of <Information>; empty when absent.
  VoString Text(std::wstring_view name) {
    SelectInformation();
    return doc_.GetChildText(name).Trimmed();
  }

  bool Required(std::wstring_view name, VoString& out) {
    out = Text(name);
    if (out.IsEmpty()) {
      return Fail(VoString(L"does not give the product's <") + name + L"> in <" + kInformationName + L">.");
    }
    return true;
  }

  bool PlainName(std::wstring_view element, const VoString& name) {
    if (IsPlainFileName(name)) return true;
    return Fail(VoString(L"gives the ") + element + L" " + Quoted(name).View() + L", which is not a plain file name.");
  }

  bool ReadLinks(std::map<int, VoString>& links) {
    SelectInformation();
    if (!doc_.FindChildElement(L"Links", true)) return true;
    // Into <Information>, then into <Links>: the search below runs over its children.
    doc_.EnterElement();
    doc_.EnterElement();
    while (doc_.FindElement(L"Link")) {
      const VoString number_text = doc_.GetAttribute(L"Number");
      int number = 0;
      if (!ReadWholeNumber(number_text.View(), number) || number < 0) {
        return Fail(VoString(L"has a <Link> whose Number ") + Quoted(number_text).View() + L" is not a number.");
      }
      links.emplace(number, doc_.GetElementText().Trimmed());  // the first link of a number counts
    }
    return true;
  }

  bool ReadFeatures(std::set<int>& features) {
    for (const VoString& entry : ListEntries(Text(L"Features"))) {
      int feature = 0;
      if (!ReadWholeNumber(entry.View(), feature) || feature < 0) {
        return Fail(VoString(L"lists the feature ") + Quoted(entry).View() + L", which is not a number.");
      }
      features.insert(feature);
    }
    return true;
  }

  // Makes <Information> the cursor's current element.
  bool SelectInformation() {
    doc_.ResetCursor();
    return doc_.FindElement(VoString(L"/*/") + kInformationName);
  }

  XmlDocument& doc_;
  const VoString& source_;
  VoString& error_;
};

}  // namespace

bool ProductDescription::Read(VoString text, const VoString& source, VoString& error) {
  error.Clear();
  XmlDocument doc;
  if (!doc.SetDocumentText(std::move(text))) {
    const VoString& fault = doc.GetParseError();
    error = Fault(source, fault.IsEmpty() ? VoString(L"is not well-formed XML.")
                                          : VoString(L"is not well-formed XML: ") + fault.View() + L".");
    return false;
  }
  const std::wstring_view root = doc.GetTagName(doc.GetRecord(0).first_child);
  if (!vo::EqualsNoCase(root, kRootName)) {
    error = Fault(source, VoString(L"has the root element <") + root + L">; a product description has <" + kRootName +
                              L">.");
    return false;
  }
  doc.ResetCursor();
  doc.FindElement();
  const VoString version = doc.GetAttribute(L"version");
  if (version.IsEmpty()) {
    error = Fault(source, VoString(L"has no version attribute on <") + kRootName + L">.");
    return false;
  }
  const int major = FormatMajor(version);
  if (major < 0) {
    error = Fault(source, VoString(L"has the version ") + Quoted(version).View() + L", which is not a version number.");
    return false;
  }
  if (major != kProductDescriptionFormat) {
    error = Fault(source, VoString(L"has the version ") + Quoted(version).View() +
                              L"; this library reads version " + vo::FormatInt(kProductDescriptionFormat).View() +
                              L" descriptions only.");
    return false;
  }

  ProductInformation info;
  if (!InformationReader(doc, source, error).Read(info)) return false;
  info_ = std::move(info);
  config_ = std::move(doc);
  config_.ResetCursor();
  loaded_ = true;
  return true;
}

bool ProductDescription::Load(const VoString& path, VoString& error) {
  VoString text;
  if (!vo::ReadTextFile(path, vo::kTextUtf8, text)) {
    error = Fault(path, L"is missing or cannot be read.");
    return false;
  }
  return Read(std::move(text), path, error);
}

bool ProductDescription::FindConfigText(std::wstring_view path, VoString& out) {
  out.Clear();
  if (!loaded_) return false;
  config_.ResetCursor();
  if (path.empty() || !config_.FindElement(path)) return false;
  out = config_.GetElementText();
  config_.ResetCursor();
  return true;
}

VoString ProductDescription::ConfigString(std::wstring_view path, std::wstring_view default_value) {
  VoString text;
  return FindConfigText(path, text) ? text : VoString(default_value);
}

int ProductDescription::ConfigInt(std::wstring_view path, int default_value) {
  VoString text;
  return FindConfigText(path, text) ? vo::ParseInt(text.View()) : default_value;
}
