// How fast XmlDocument parses and walks a large catalogue-like document,
// beside a reference parser (xml_peer.h) measured in the same run on the same
// text. Throughput is always given in MB of the document's UTF-8 form
// (1 MB = 10^6 bytes), whatever form a parser takes as input.
//
//   xml_parse_bench [--smoke] [--mb N] [--runs N] [--save FILE]
//
// --smoke: a ~1 MB document and one run; still checks every result.
// --save: also writes the generated document to FILE, to look at.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/vo_string.h"
#include "foundation/xml_document.h"
#include "xml_peer.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// splitmix64: the same document on every compiler and platform (so each
// statement below draws at most one number, in a fixed order).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  uint32_t Between(uint32_t low, uint32_t high) { return low + Below(high - low + 1); }
  bool Percent(uint32_t p) { return Below(100) < p; }

 private:
  uint64_t state_;
};

// UTF-16 code units of a UTF-8 text: one per lead byte, two for 4-byte forms.
uint64_t Utf16Units(std::string_view utf8) {
  uint64_t n = 0;
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b & 0xC0) != 0x80) n += b >= 0xF0 ? 2 : 1;
  }
  return n;
}

// The generated text and what a reader must find in it.
struct Document {
  std::string utf8;
  uint64_t elements = 0;
  uint64_t name_units = 0;  // decoded "name" attribute values, in UTF-16 units
  uint64_t text_units = 0;  // decoded text of elements without child elements
  uint32_t depth = 0;
};

// Words of the texts and names; some need escaping, some are non-ASCII, one
// is outside the BMP, and "©" and "€" go out as character references.
constexpr std::string_view kWords[] = {
    "install", "package", "update", "media", "player", "codec", "audio", "video", "library", "driver",
    "service", "component", "shared", "runtime", "plug-in", "settings", "language", "version", "support",
    "files", "registry", "shortcut", "and", "for", "with", "the", "of", "to", "Größe", "café", "naïve",
    "Ελληνικά", "日本語", "R&D", "<beta>", "\"quoted\"", "it's", "©", "€", "🎵", "x64", "Kelvane", "Halvora",
};

constexpr std::string_view kScripts[] = {
    "if (version < 23 && !silent) { ask(\"Replace <older> files?\"); }",
    "for (i = 0; i < count; i++) { register(files[i]); } // a > b & c",
    "RegWrite(\"HKLM\\Software\\Kelvane\", \"Path\", \"<InstallDir>\");",
};

class Generator {
 public:
  Generator(uint64_t seed, size_t target) : rng_(seed), target_(target) { doc_.utf8.reserve(target + 4096); }

  Document Run() {
    Out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    Out("<!-- Package catalogue for the XML parse benchmark -->");
    Start("Catalogue");
    Attr("xmlns:k", "urn:kelvane:catalogue");
    Attr("version", "3");
    Attr("name", "Halvora 23 \"Media\" catalogue");
    EndStart();
    uint32_t group = 0;
    while (doc_.utf8.size() < target_) Group(++group);
    End("Catalogue");
    Out("\n");
    return std::move(doc_);
  }

 private:
  void Out(std::string_view s) { doc_.utf8 += s; }

  void NewLine() {
    doc_.utf8 += '\n';
    doc_.utf8.append(2 * level_, ' ');
  }

  void Start(std::string_view tag, bool new_line = true) {
    if (new_line) NewLine();
    doc_.utf8 += '<';
    doc_.utf8 += tag;
    ++doc_.elements;
    ++level_;
    doc_.depth = std::max(doc_.depth, level_);
  }

  // Escapes for content, or for an attribute value in `quote`.
  void Escaped(std::string_view raw, char quote) {
    for (size_t i = 0; i < raw.size(); ++i) {
      const char c = raw[i];
      if (c == '&') Out("&amp;");
      else if (c == '<') Out("&lt;");
      else if (c == '>') Out("&gt;");
      else if (c == '"' && quote == '"') Out("&quot;");
      else if (c == '\'' && quote == '\'') Out("&apos;");
      else if (raw.compare(i, 2, "\xC2\xA9") == 0) { Out("&#169;"); i += 1; }
      else if (raw.compare(i, 3, "\xE2\x82\xAC") == 0) { Out("&#x20AC;"); i += 2; }
      else doc_.utf8 += c;
    }
  }

  void Attr(std::string_view name, std::string_view value, char quote = '"') {
    doc_.utf8 += ' ';
    doc_.utf8 += name;
    doc_.utf8 += '=';
    doc_.utf8 += quote;
    Escaped(value, quote);
    doc_.utf8 += quote;
    if (name == "name") doc_.name_units += Utf16Units(value);
  }

  void EndStart() { doc_.utf8 += '>'; }
  void EndEmpty() {
    Out("/>");
    --level_;
  }
  void End(std::string_view tag) {
    --level_;
    NewLine();
    Out("</");
    Out(tag);
    doc_.utf8 += '>';
  }

  // Text of an element without child elements, which a reader gets back.
  void Text(std::string_view raw) {
    Escaped(raw, 0);
    doc_.text_units += Utf16Units(raw);
  }
  void CData(std::string_view raw) {
    Out("<![CDATA[");
    Out(raw);
    Out("]]>");
    doc_.text_units += Utf16Units(raw);
  }
  void EndLeaf(std::string_view tag) {
    --level_;
    Out("</");
    Out(tag);
    doc_.utf8 += '>';
  }
  void Leaf(std::string_view tag, std::string_view text) {
    EndStart();
    Text(text);
    EndLeaf(tag);
  }

  std::string_view Word() { return kWords[rng_.Below(std::size(kWords))]; }
  std::string Phrase(uint32_t low, uint32_t high) {
    std::string s;
    for (uint32_t n = rng_.Between(low, high); n > 0; --n) {
      if (!s.empty()) s += ' ';
      s += Word();
    }
    return s;
  }
  std::string Number(uint64_t n) { return std::to_string(n); }
  std::string Hex(int digits) {
    static const char kHex[] = "0123456789abcdef";
    std::string s;
    uint64_t bits = rng_.Next();
    for (int i = 0; i < digits; ++i, bits >>= 4) {
      if (i % 16 == 0 && i > 0) bits = rng_.Next();
      s += kHex[bits & 15];
    }
    return s;
  }
  std::string FileName() {
    std::string s(Word());
    for (char& c : s) if (c == ' ' || c == '<' || c == '>' || c == '"' || c == '&') c = '_';
    static constexpr std::string_view kExt[] = {".dll", ".exe", ".ax", ".xml", ".png", ".dat"};
    s += "_" + Number(rng_.Below(1000));
    s += kExt[rng_.Below(std::size(kExt))];
    return s;
  }

  void Group(uint32_t number) {
    Start("Group");
    Attr("id", "g" + Number(number));
    Attr("name", Phrase(1, 3));
    EndStart();
    for (uint32_t n = rng_.Between(20, 60); n > 0 && doc_.utf8.size() < target_; --n) Package();
    End("Group");
  }

  void Package() {
    ++packages_;
    Start("Package");
    Attr("id", "p" + Number(packages_));
    Attr("name", Phrase(2, 4));
    std::string version = Number(rng_.Below(30));
    version += "." + Number(rng_.Below(10));
    version += "." + Number(rng_.Below(5000));
    Attr("version", version);
    Attr("size", Number(rng_.Below(80000000)));
    if (rng_.Percent(40)) Attr("k:signed", rng_.Percent(50) ? "yes" : "no");
    EndStart();

    Start("Title");
    Attr("lang", "en");
    Leaf("Title", Phrase(2, 6));
    Start("Description");
    Attr("lang", rng_.Percent(70) ? "en" : "de");
    Leaf("Description", Phrase(8, 30));
    if (rng_.Percent(30)) {
      // Mixed content: only the inner element's text is leaf text.
      Start("Notes");
      EndStart();
      Escaped(Phrase(3, 8), 0);
      Out(" ");
      Start("b", false);
      Leaf("b", Phrase(1, 2));
      Out(" ");
      Escaped(Phrase(3, 8), 0);
      End("Notes");
    }

    Start("Files");
    Attr("root", "[ProgramFiles]\\Kelvane\\" + std::string(Word()));
    EndStart();
    for (uint32_t n = rng_.Between(2, 8); n > 0; --n) {
      Start("File");
      Attr("name", FileName());
      Attr("size", Number(rng_.Below(5000000)));
      Attr("hash", "sha1:" + Hex(40));
      if (rng_.Percent(20)) Attr("attributes", "readonly \"system\" it's", '\'');
      if (rng_.Percent(25)) {
        EndStart();
        Start("Shortcut");
        Attr("name", Phrase(1, 3));
        Attr("folder", rng_.Percent(50) ? "StartMenu" : "Desktop");
        Attr("args", "/open \"%1\" /lang=" + std::string(Word()));
        EndEmpty();
        End("File");
      } else {
        EndEmpty();
      }
    }
    End("Files");

    if (rng_.Percent(60)) {
      Start("Registry");
      EndStart();
      for (uint32_t k = rng_.Between(1, 3); k > 0; --k) {
        Start("Key");
        std::string path = "Software\\Kelvane\\" + std::string(Word());
        path += "\\" + Number(rng_.Below(100));
        Attr("path", path);
        EndStart();
        for (uint32_t v = rng_.Between(1, 4); v > 0; --v) {
          Start("Value");
          Attr("name", Word());
          Attr("type", rng_.Percent(70) ? "REG_SZ" : "REG_DWORD");
          Leaf("Value", Phrase(1, 6));
        }
        End("Key");
      }
      End("Registry");
    }
    if (rng_.Percent(35)) {
      NewLine();
      Out("<!-- disabled: <File name=\"old_" + Number(rng_.Below(100)) + ".dll\"/> & its shortcut -->");
    }
    if (rng_.Percent(25)) {
      Start("Script");
      Attr("when", rng_.Percent(50) ? "install" : "remove");
      EndStart();
      CData(kScripts[rng_.Below(std::size(kScripts))]);
      EndLeaf("Script");
    }
    End("Package");
  }

  Rng rng_;
  size_t target_;
  Document doc_;
  uint32_t level_ = 0;
  uint64_t packages_ = 0;
};

// What one walk over every element read.
struct WalkTotals {
  uint64_t elements = 0;
  uint64_t name_units = 0;
  uint64_t text_units = 0;
};

// Visits the siblings from the cursor on and, depth first, their children.
void WalkLevel(XmlDocument& doc, WalkTotals& totals) {
  while (doc.FindElement()) {
    ++totals.elements;
    totals.name_units += doc.GetAttribute(L"name").Length();
    totals.text_units += doc.GetElementText().Length();
    doc.EnterElement();
    WalkLevel(doc, totals);
    doc.LeaveElement();
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Options {
  bool smoke = false;
  double mb = 40.0;
  int runs = 5;
  std::string save;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  bool mb_given = false, runs_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--smoke") {
      o.smoke = true;
    } else if (a == "--mb" && i + 1 < argc) {
      o.mb = std::atof(argv[++i]);
      mb_given = true;
      if (!(o.mb > 0.0 && o.mb <= 1500.0)) return false;  // positions are 32-bit
    } else if (a == "--runs" && i + 1 < argc) {
      o.runs = std::atoi(argv[++i]);
      runs_given = true;
      if (o.runs < 1) return false;
    } else if (a == "--save" && i + 1 < argc) {
      o.save = argv[++i];
    } else {
      return false;
    }
  }
  if (o.smoke) {
    if (!mb_given) o.mb = 1.0;
    if (!runs_given) o.runs = 1;
  }
  return true;
}

int failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  ++failures;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!ParseOptions(argc, argv, opt)) {
    std::fprintf(stderr, "usage: xml_parse_bench [--smoke] [--mb N (0 < N <= 1500)] [--runs N] [--save FILE]\n");
    return 2;
  }

  const Document doc = Generator(0x5EED0F1E5ull, static_cast<size_t>(opt.mb * 1e6)).Run();
  const VoString wide = VoString::FromUtf8(doc.utf8);
  const double mb = static_cast<double>(doc.utf8.size()) / 1e6;
  const double elements = static_cast<double>(doc.elements);
  std::printf("document: %.1f MB UTF-8, %zu UTF-16 units, %llu elements, depth %u; %d run%s, median\n", mb,
              wide.Length(), static_cast<unsigned long long>(doc.elements), doc.depth, opt.runs,
              opt.runs == 1 ? "" : "s");

  if (!opt.save.empty()) {
    std::ofstream out(opt.save, std::ios::binary);
    out.write(doc.utf8.data(), static_cast<std::streamsize>(doc.utf8.size()));
    out.close();
    if (!out) Fail("cannot write " + opt.save);
  }
  // LoadFile reads the same bytes from a file (warm in the cache after the
  // first run); the clock in the name keeps runs at the same time apart.
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("xml_parse_bench_" + std::to_string(Clock::now().time_since_epoch().count()) + ".xml");
  {
    std::ofstream out(file, std::ios::binary);
    out.write(doc.utf8.data(), static_cast<std::streamsize>(doc.utf8.size()));
    out.close();
    if (!out) Fail("cannot write " + file.string());
  }
  const VoString file_path(file.wstring());

  const std::unique_ptr<XmlPeer> peer = MakeXmlPeer(doc.utf8, wide.View());
  std::string peer_missing = peer->Unavailable();

  std::vector<double> parse_s, load_s, peer_s, walk_s;
  for (int run = 0; run < opt.runs; ++run) {
    // Ours and the peer's alternate, so a busy machine slows both alike.
    {
      XmlDocument x;
      const Clock::time_point t0 = Clock::now();
      const bool well_formed = x.SetDocumentText(wide.View());
      const uint64_t count = x.GetElementCount() - 1;
      parse_s.push_back(SecondsSince(t0));
      if (!well_formed) Fail("SetDocumentText: not well formed: " + x.GetParseError().ToUtf8());
      if (count != doc.elements) Fail("SetDocumentText found " + std::to_string(count) + " elements");
    }
    if (peer_missing.empty()) {
      std::string error;
      uint64_t count = 0;
      if (!peer->Begin(error)) {
        peer_missing = error;
      } else {
        const Clock::time_point t0 = Clock::now();
        peer->Run();
        peer_s.push_back(SecondsSince(t0));
        if (!peer->End(count, error)) Fail("peer " + peer->Name() + ": " + error);
        else if (count != doc.elements) Fail("peer " + peer->Name() + " found " + std::to_string(count) + " elements");
      }
    }
    {
      XmlDocument x;
      const Clock::time_point t0 = Clock::now();
      const bool read = x.LoadFile(file_path);
      const uint64_t count = x.GetElementCount() - 1;
      load_s.push_back(SecondsSince(t0));
      if (!read || !x.IsWellFormed()) Fail("LoadFile: " + (read ? x.GetParseError().ToUtf8() : "cannot read"));
      if (count != doc.elements) Fail("LoadFile found " + std::to_string(count) + " elements");
    }
  }
  std::error_code ignored;
  std::filesystem::remove(file, ignored);

  {
    XmlDocument x(wide.View());
    for (int run = 0; run < opt.runs; ++run) {
      WalkTotals totals;
      x.ResetCursor();
      const Clock::time_point t0 = Clock::now();
      WalkLevel(x, totals);
      walk_s.push_back(SecondsSince(t0));
      if (totals.elements != doc.elements || totals.name_units != doc.name_units ||
          totals.text_units != doc.text_units) {
        Fail("walk read " + std::to_string(totals.elements) + " elements, " + std::to_string(totals.name_units) +
             " name units, " + std::to_string(totals.text_units) + " text units; expected " +
             std::to_string(doc.elements) + ", " + std::to_string(doc.name_units) + ", " +
             std::to_string(doc.text_units));
      }
    }
  }

  const double peer_rate = peer_s.empty() ? 0.0 : mb / Median(peer_s);
  auto peer_note = [&](double ours_rate) {
    char buf[160];
    if (peer_s.empty()) return std::string();
    std::snprintf(buf, sizeof buf, "; peer %s %.0f MB/s, ratio %.2f", peer->Name().c_str(), peer_rate,
                  ours_rate / peer_rate);
    return std::string(buf);
  };
  auto report = [&](const char* what, const char* input, const std::vector<double>& seconds, bool with_peer) {
    const double s = Median(seconds);
    std::printf("%s: %.1f MB in %.3f s = %.0f MB/s, %.2f M elements/s (%s%s)\n", what, mb, s, mb / s,
                elements / s / 1e6, input, with_peer ? peer_note(mb / s).c_str() : "");
  };

  if (peer_missing.empty()) {
    report(("peer " + peer->Name()).c_str(), peer->Input().c_str(), peer_s, false);
  } else {
    std::printf("peer: unavailable (%s)\n", peer_missing.c_str());
  }
  report("xml parse", "SetDocumentText of the wide text in memory", parse_s, true);
  report("xml load", "LoadFile: read the UTF-8 file, decode, parse", load_s, true);
  report("xml navigate", "FindElement/EnterElement/LeaveElement over every element, name attribute and text",
         walk_s, false);

  if (failures) std::printf("%d check%s failed\n", failures, failures == 1 ? "" : "s");
  return failures ? 1 : 0;
}
