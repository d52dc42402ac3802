#pragma once
namespace vo {

// Reads "Install.xml" beside the installer (or one folder above it) into the
// session, after setting the installer's own "Support\" and "Library\"
// folders. Missing or broken files change nothing else. Returns true always.
bool ReadInstallFile();

}  // namespace vo
