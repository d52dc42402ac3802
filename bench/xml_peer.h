#pragma once
// The reference parser that the XML benchmark measures beside XmlDocument:
// expat in the native build, MSXML through COM in the Windows build. Kept free
// of platform headers so the benchmark itself stays portable.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class XmlPeer {
 public:
  virtual ~XmlPeer() = default;

  // What was measured, e.g. "expat 2.5.0".
  virtual std::string Name() const = 0;
  // The form of the document the peer parses, for the report.
  virtual std::string Input() const = 0;
  // Empty when the peer can run, else why it cannot.
  virtual std::string Unavailable() const = 0;

  // One measured run is Begin (not timed: a fresh parser or document), Run
  // (timed: the parse of the whole document) and End (not timed: the element
  // count of the run, then everything the run built is released).
  virtual bool Begin(std::string& error) = 0;
  virtual bool Run() = 0;
  virtual bool End(uint64_t& elements, std::string& error) = 0;
};

// `utf8` and `wide` (UTF-16 code units in wchar_t) hold the same document and
// must outlive the peer; each peer reads the form it takes as input.
std::unique_ptr<XmlPeer> MakeXmlPeer(std::string_view utf8, std::wstring_view wide);
