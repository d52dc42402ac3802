#pragma once
// The product's shortcuts: the Start Menu group, the Quick Launch shortcut
// and the desktop shortcut.

#include <windows.h>

#include "foundation/vo_string.h"

struct ShortcutChoices {
  bool start_menu = false;
  bool quick_launch = false;
  bool desktop = false;
};

namespace vo {

// Creates the chosen shortcuts (Start Menu group, Quick Launch, desktop, in
// that order); nothing in a portable installation. Returns true.
bool CreateShortcuts(const ShortcutChoices& choices);

// Stores the Start Menu version, empties the group folder and makes the
// product, server, uninstall and companion-tool shortcuts in it.
void CreateStartMenuShortcuts();
void CreateQuickLaunchShortcut();
void CreateDesktopShortcut();

// Makes one shortcut, but only when `target` exists. `icon` may be empty.
void CreateShortcutIfTargetExists(const VoString& link, const VoString& target, const VoString& arguments,
                                  const VoString& icon);

// Writes one link file through the shell's link object: the wide interface,
// or the ANSI one where that is missing. A null `icon` sets no icon; an
// empty one is set as empty. Returns the last HRESULT.
HRESULT CreateShellLink(const VoString& target, const VoString& link, const VoString& arguments,
                        const VoString* icon);
// The ANSI path of CreateShellLink on its own, every text converted to the
// ANSI code page.
HRESULT CreateShellLinkAnsi(const VoString& target, const VoString& link, const VoString& arguments,
                            const VoString* icon);

// Where the shortcuts go, each with one trailing backslash.
struct ShortcutFolders {
  VoString common_programs;  // the all-users programs folder of the Start Menu
  VoString quick_launch;
  VoString common_desktop;
};
ShortcutFolders GetShortcutFolders();
// Points the shortcut folders elsewhere (tests use scratch folders); null
// goes back to the system's folders.
void OverrideShortcutFolders(const ShortcutFolders* folders);

}  // namespace vo
