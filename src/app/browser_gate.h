#pragma once
// The facts the browser gate decides on: whether the web browser control can
// be created and which Internet Explorer version the registry names.

#include <cstdint>

#include "foundation/vo_string.h"

class CBrowserGateFacts {
 public:
  // Gathers the facts; shows nothing. COM must be initialised on the thread
  // for the browser control to be found.
  CBrowserGateFacts();

  bool BrowserControlAvailable() const { return browser_control_available_; }
  const VoString& InstalledVersionText() const { return installed_version_text_; }
  uint64_t InstalledVersion() const;

  // Available, and the installed version is at least the configured minimum
  // ("/*/SpecialFeatures/MinIEVersion", 5.0.0.0 when empty).
  bool Passes() const;

  // Creates the web browser control in process and releases it at once.
  static bool CanCreateBrowserControl();
  // HKEY_LOCAL_MACHINE "Software\Microsoft\Internet Explorer" value
  // "Version": a text value as it is, a number as its signed decimal text,
  // "1.0.0.0" when there is no key, no value or a value of another type.
  static VoString ReadInstalledVersionText();

 private:
  bool browser_control_available_ = false;
  VoString installed_version_text_;
};
