// Element search by name or path for XmlDocument::FindElement and
// FindChildElement.

#include "xml_document.h"

namespace {

constexpr std::wstring_view kStepEnds = L" =/[]";

struct Step {
  size_t name = 0;            // where the step's name starts in the path
  size_t predicate = 0;       // after "[", or 0
  size_t predicate_end = 0;   // at "]"
  size_t next = 0;            // at "/" or the end of the path
  bool valid = true;
};

Step ReadStep(std::wstring_view path, size_t at) {
  Step s;
  s.name = at;
  size_t i = at;
  while (i < path.size() && path[i] != L'[' && path[i] != L'/') ++i;
  if (i < path.size() && path[i] == L'[') {
    s.predicate = i + 1;
    const size_t close = path.find(L']', s.predicate);
    if (close == std::wstring_view::npos) {
      s.valid = false;
      return s;
    }
    s.predicate_end = close;
    i = close + 1;
    if (i < path.size() && path[i] != L'/') s.valid = false;  // nothing may stand between "]" and "/"
  }
  s.next = i;
  return s;
}

// A number predicate: n from 1, else 0.
uint32_t PredicateNumber(std::wstring_view path, const Step& s) {
  if (!s.predicate || s.predicate_end == s.predicate) return 0;
  uint64_t n = 0;
  for (size_t i = s.predicate; i < s.predicate_end; ++i) {
    if (path[i] < L'0' || path[i] > L'9') return 0;
    n = n * 10 + static_cast<uint64_t>(path[i] - L'0');
    if (n > 0xFFFFFFFFu) return 0;
  }
  return static_cast<uint32_t>(n);
}

bool IsNumberPredicate(std::wstring_view path, const Step& s) {
  return s.predicate && s.predicate < s.predicate_end && path[s.predicate] >= L'0' && path[s.predicate] <= L'9';
}

}  // namespace

// The step name standing at `at` matches when it equals the tag name and is
// followed by the end of the path or one of " =/[]"; "*" and an empty name
// match every element.
bool XmlDocument::NameMatches(std::wstring_view path, uint32_t element) const {
  if (path.empty() || path[0] == L'*' || path[0] == L'/' || path[0] == L'[') return true;
  const std::wstring_view tag = GetTagName(element);
  if (path.size() < tag.size() || !vo::EqualsNoCase(path.substr(0, tag.size()), tag)) return false;
  return path.size() == tag.size() || kStepEnds.find(path[tag.size()]) != std::wstring_view::npos;
}

bool XmlDocument::HasChildNamed(uint32_t element, std::wstring_view name) const {
  for (uint32_t c = table_[element].first_child; c != 0; c = table_[c].next_sibling) {
    if (NameMatches(name, c)) return true;
  }
  return false;
}

uint32_t XmlDocument::NextInDocumentOrder(uint32_t element) const {
  while (element != 0) {
    if (table_[element].next_sibling != 0) return table_[element].next_sibling;
    element = table_[element].parent;
  }
  return 0;
}

uint32_t XmlDocument::NextDescending(uint32_t element) const {
  const uint32_t child = table_[element].first_child;
  return child != 0 ? child : NextInDocumentOrder(element);
}

// `level_parent` and `after` give the relative start: the sibling after
// `after`, else the first child of `level_parent`. `origin` is where a
// "//" search starts (0: the root element itself).
uint32_t XmlDocument::SearchPath(std::wstring_view path, uint32_t level_parent, uint32_t after,
                                 uint32_t origin) const {
  const uint32_t root = table_[0].first_child;

  auto step_matches = [&](const Step& s, uint32_t element) {
    if (!NameMatches(path.substr(s.name), element)) return false;
    if (!s.predicate || IsNumberPredicate(path, s)) return true;
    const std::wstring_view inner = path.substr(s.predicate, s.predicate_end - s.predicate);
    if (!inner.empty() && inner[0] == L'@') {
      size_t n = 1;
      while (n < inner.size() && inner[n] != L' ' && inner[n] != L'=') ++n;
      const ElementRecord& r = table_[element];
      Attribute a;
      return n > 1 && FindAttribute(r.start, r.start + r.start_tag_length, inner.substr(1, n - 1), a);
    }
    return HasChildNamed(element, path.substr(s.predicate));
  };
  // With a number predicate the n-th match counts along the siblings of the first.
  auto nth = [&](const Step& s, uint32_t first) -> uint32_t {
    if (!IsNumberPredicate(path, s)) return first;
    uint32_t n = PredicateNumber(path, s);
    if (n == 0) return 0;
    uint32_t e = first;
    while (--n > 0) {
      do e = table_[e].next_sibling;
      while (e != 0 && !step_matches(s, e));
      if (e == 0) return 0;
    }
    return e;
  };

  if (path.size() >= 2 && path[0] == L'/' && path[1] == L'/') {
    const Step s = ReadStep(path, 2);
    if (!s.valid || s.next < path.size()) return 0;  // nothing may follow a "//" step
    uint32_t e = origin == 0 ? root : NextDescending(origin);
    while (e != 0 && !step_matches(s, e)) e = NextDescending(e);
    return e == 0 ? 0 : nth(s, e);
  }

  size_t at = 0;
  uint32_t e;
  if (!path.empty() && path[0] == L'/') {
    e = root;
    at = 1;
  } else {
    e = after != 0 ? table_[after].next_sibling : table_[level_parent].first_child;
  }
  while (true) {
    const Step s = ReadStep(path, at);
    if (!s.valid) return 0;
    while (e != 0 && !step_matches(s, e)) e = table_[e].next_sibling;
    if (e == 0) return 0;
    e = nth(s, e);
    if (e == 0 || s.next >= path.size()) return e;
    at = s.next + 1;  // a slash descends to the first child
    e = table_[e].first_child;
  }
}
