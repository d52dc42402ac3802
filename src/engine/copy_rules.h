#pragma once
// The decisions of copying install files, free of the platform: which files
// are compared by version, which need registration, which are meant for
// 64-bit Windows, and how far the progress bar has come.

#include <cstdint>
#include <string_view>

namespace vo {

// Files whose version is compared before a version-checked copy: the source
// path contains ".dll", ".exe", ".ocx" or ".ax", exactly as written.
bool HasVersionedExtension(std::wstring_view source);

// Files that register themselves: the source path contains ".dll", ".ocx" or
// ".ax", exactly as written.
bool NeedsSelfRegistration(std::wstring_view source);

// The shell extension, registered later by the integration step.
bool IsShellExtension(std::wstring_view source);

// A file for 64-bit Windows: below the install folder's "x64\" or the 64-bit
// audio driver, in any case.
bool IsSixtyFourBitFile(std::wstring_view destination, std::wstring_view install_folder);

// Whether the destination lies in the Windows font folder, where a pending
// replacement needs no restart of its own.
bool IsInFontsFolder(std::wstring_view destination);

// The server component that must be stopped before it is overwritten.
bool IsServerProgram(std::wstring_view destination);

// The bar's position 0..100 after `files_done` of `file_count` files with
// `bytes_done` of `total_bytes`. Without any bytes to count the files count
// instead, so a folder of empty files still ends at 100.
int CopyProgress(uint64_t bytes_done, uint64_t total_bytes, size_t files_done, size_t file_count);

}  // namespace vo
